// A thin RAII layer over the MSXML DOM: the few document, node and attribute operations the
// disabled-entry store needs. Text crosses as 8-bit active-code-page strings. COM must be
// initialised on the calling thread. No call throws; failures show in the return values.
#pragma once

#include <msxml2.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/com_ptr.h"

// One node of a document (element or other); empty when a lookup found nothing.
class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}

  explicit operator bool() const { return static_cast<bool>(node_); }
  IXMLDOMNode* Raw() const { return node_.Get(); }

  // The attribute's value; nullopt when the node has no such attribute or is no element.
  std::optional<std::string> Attribute(const std::string& name) const;
  // Sets (adds or replaces in place) the attribute. False when the node is no element or the
  // DOM refuses.
  bool SetAttribute(const std::string& name, const std::string& value);
  // Removes the attribute; true also when there was none.
  bool RemoveAttribute(const std::string& name);
  bool AppendChild(const XmlNode& child);
  bool RemoveChild(const XmlNode& child);
  XmlNode Parent() const;

 private:
  ComPtr<IXMLDOMNode> node_;
};

// The result of a selection, walked once in document order.
class XmlNodeList {
 public:
  XmlNodeList() = default;
  explicit XmlNodeList(ComPtr<IXMLDOMNodeList> list) : list_(std::move(list)) {}
  // The next node, or an empty node at the end.
  XmlNode Next();

 private:
  ComPtr<IXMLDOMNodeList> list_;
};

class XmlDocument {
 public:
  // A new empty document from CreateDomDocument(), set up for XPath selections, synchronous
  // loading and no external resources. nullopt when no DOM can be created.
  static std::optional<XmlDocument> Create();

  enum class LoadResult { kLoaded, kMissing, kInUse, kFailed };
  // Loads the file's bytes (the encoding comes from its BOM or declaration, UTF-8 without
  // either). kMissing when neither it nor its folder exists; kInUse when another process has
  // it open in a way that keeps it from being opened (a file being replaced, for a moment);
  // kFailed when it cannot be read or is not well-formed. The document is empty unless kLoaded.
  LoadResult Load(const std::string& path);
  // Parses a document from text; false when it is not well-formed.
  bool LoadText(const std::string& xml);
  // Writes the whole document to path (created or replaced), in the encoding its declaration
  // names.
  bool Save(const std::string& path);
  // Makes the document's declaration <?xml version="1.0" encoding="UTF-8"?>, replacing the one
  // it has (whatever encoding the file was read in) or adding one, so Save writes UTF-8 under a
  // declaration that says so.
  bool DeclareUtf8();
  // What the parser said about the last Load or LoadText that failed; an empty reason when the
  // DOM gives none, line 0 when it names no place.
  struct ParseError {
    std::string reason;
    long line = 0;
    long column = 0;
  };
  ParseError LastParseError();

  XmlNode SelectSingleNode(const std::string& xpath);
  XmlNodeList SelectNodes(const std::string& xpath);
  // A new element that belongs to this document but is not yet in the tree.
  XmlNode CreateElement(const std::string& name);

 private:
  explicit XmlDocument(ComPtr<IXMLDOMDocument2> doc) : doc_(std::move(doc)) {}
  ComPtr<IXMLDOMDocument2> doc_;
};

// Creates an MSXML DOMDocument (class context 7). Null when there is no XML service. Tests
// can replace the creation to run without one.
ComPtr<IXMLDOMDocument> CreateDomDocument();
using DomDocumentFactory = ComPtr<IXMLDOMDocument> (*)();
// Replaces how CreateDomDocument creates documents (nullptr restores MSXML); returns the
// previous factory.
DomDocumentFactory SetDomDocumentFactory(DomDocumentFactory factory);

// True when a DOM document can be created (the start-up check); the test document is released
// at once.
bool XmlServiceAvailable();
