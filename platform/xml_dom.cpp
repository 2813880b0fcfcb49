#include "platform/xml_dom.h"

#include <cctype>

#include "platform/bstr.h"
#include "platform/win_handles.h"

namespace {

// MinGW ships no import library with the MSXML GUIDs.
constexpr CLSID kClsidDomDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidXmlDomDocument = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidXmlDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kIidXmlDomElement = {
    0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// In-process server, in-process handler or local server.
constexpr DWORD kDomClassContext = 7;

ComPtr<IXMLDOMDocument> CreateMsxmlDocument() {
  ComPtr<IXMLDOMDocument> doc;
  if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, kDomClassContext, kIidXmlDomDocument,
                              doc.PutVoid()))) {
    doc.Reset();
  }
  return doc;
}

DomDocumentFactory gFactory = &CreateMsxmlDocument;

ComPtr<IXMLDOMNode> AsNode(IXMLDOMElement* element) {
  return ComPtr<IXMLDOMNode>(element);
}

}  // namespace

ComPtr<IXMLDOMDocument> CreateDomDocument() {
  return gFactory();
}

DomDocumentFactory SetDomDocumentFactory(DomDocumentFactory factory) {
  const DomDocumentFactory previous = gFactory;
  gFactory = factory ? factory : &CreateMsxmlDocument;
  return previous;
}

bool XmlServiceAvailable() {
  return static_cast<bool>(CreateDomDocument());
}

std::optional<std::string> XmlNode::Attribute(const std::string& name) const {
  const auto element = node_.As<IXMLDOMElement>(kIidXmlDomElement);
  if (!element) return std::nullopt;
  const Bstr attributeName(name);
  Variant value;
  // S_FALSE (with VT_NULL) means the attribute is absent.
  if (element->getAttribute(attributeName.Get(), value.Put()) != S_OK) return std::nullopt;
  return value.ToAcp();
}

bool XmlNode::SetAttribute(const std::string& name, const std::string& value) {
  const auto element = node_.As<IXMLDOMElement>(kIidXmlDomElement);
  if (!element) return false;
  const Bstr attributeName(name);
  Variant attributeValue(value);
  if (!attributeName.Get() || attributeValue.Ref().vt != VT_BSTR) return false;
  return SUCCEEDED(element->setAttribute(attributeName.Get(), *attributeValue.Get()));
}

bool XmlNode::RemoveAttribute(const std::string& name) {
  const auto element = node_.As<IXMLDOMElement>(kIidXmlDomElement);
  if (!element) return false;
  const Bstr attributeName(name);
  return attributeName.Get() && SUCCEEDED(element->removeAttribute(attributeName.Get()));
}

bool XmlNode::AppendChild(const XmlNode& child) {
  if (!node_ || !child.node_) return false;
  ComPtr<IXMLDOMNode> added;
  return SUCCEEDED(node_->appendChild(child.node_.Get(), added.Put())) && added;
}

bool XmlNode::RemoveChild(const XmlNode& child) {
  if (!node_ || !child.node_) return false;
  ComPtr<IXMLDOMNode> removed;
  return SUCCEEDED(node_->removeChild(child.node_.Get(), removed.Put())) && removed;
}

XmlNode XmlNode::Parent() const {
  ComPtr<IXMLDOMNode> parent;
  if (!node_ || node_->get_parentNode(parent.Put()) != S_OK) return {};
  return XmlNode(std::move(parent));
}

XmlNode XmlNodeList::Next() {
  ComPtr<IXMLDOMNode> node;
  if (!list_ || list_->nextNode(node.Put()) != S_OK) return {};
  return XmlNode(std::move(node));
}

std::optional<XmlDocument> XmlDocument::Create() {
  const ComPtr<IXMLDOMDocument> created = CreateDomDocument();
  auto doc = created.As<IXMLDOMDocument2>(kIidXmlDomDocument2);
  if (!doc) return std::nullopt;
  // Load must finish before it returns, and a file never makes the DOM fetch anything else.
  doc->put_async(VARIANT_FALSE);
  doc->put_validateOnParse(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_FALSE);
  // MSXML 3 defaults to XSL patterns; selectNodes needs XPath set first.
  const Bstr property("SelectionLanguage");
  Variant language(std::string("XPath"));
  doc->setProperty(property.Get(), *language.Get());
  return XmlDocument(std::move(doc));
}

// The bytes go to the DOM as a byte array rather than as a path: the DOM would read a path as
// a URL (so '#' or '%' in a folder name would break it), and this is faster under Wine.
XmlDocument::LoadResult XmlDocument::Load(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return LoadResult::kMissing;
    return error == ERROR_SHARING_VIOLATION ? LoadResult::kInUse : LoadResult::kFailed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart >= MAXLONG) return LoadResult::kFailed;
  const auto bytes = static_cast<ULONG>(size.QuadPart);

  Variant source;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, bytes);
  if (!array) return LoadResult::kFailed;
  source.Put()->vt = VT_ARRAY | VT_UI1;
  source.Get()->parray = array;  // owned by the variant from here on
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return LoadResult::kFailed;
  DWORD read = 0;
  const bool complete = ReadFile(file.Get(), data, bytes, &read, nullptr) && read == bytes;
  SafeArrayUnaccessData(array);
  file.Reset();
  if (!complete) return LoadResult::kFailed;

  VARIANT_BOOL loaded = VARIANT_FALSE;
  return SUCCEEDED(doc_->load(*source.Get(), &loaded)) && loaded == VARIANT_TRUE
             ? LoadResult::kLoaded
             : LoadResult::kFailed;
}

bool XmlDocument::LoadText(const std::string& xml) {
  const Bstr text(xml);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return text.Get() && SUCCEEDED(doc_->loadXML(text.Get(), &loaded)) && loaded == VARIANT_TRUE;
}

bool XmlDocument::Save(const std::string& path) {
  Variant target(path);
  return SUCCEEDED(doc_->save(*target.Get()));
}

bool XmlDocument::DeclareUtf8() {
  const Bstr target(std::string("xml"));
  const Bstr data(std::string("version=\"1.0\" encoding=\"UTF-8\""));
  ComPtr<IXMLDOMProcessingInstruction> declaration;
  if (FAILED(doc_->createProcessingInstruction(target.Get(), data.Get(), declaration.Put())) ||
      !declaration) {
    return false;
  }
  const ComPtr<IXMLDOMNode> newNode(declaration.Detach());
  ComPtr<IXMLDOMNode> first;
  if (doc_->get_firstChild(first.Put()) == S_OK && first) {
    DOMNodeType type = NODE_INVALID;
    Bstr name;
    if (SUCCEEDED(first->get_nodeType(&type)) && type == NODE_PROCESSING_INSTRUCTION &&
        SUCCEEDED(first->get_nodeName(name.Put())) && name.ToAcp() == "xml") {
      ComPtr<IXMLDOMNode> replaced;
      return SUCCEEDED(doc_->replaceChild(newNode.Get(), first.Get(), replaced.Put()));
    }
    VARIANT before;
    VariantInit(&before);
    before.vt = VT_UNKNOWN;
    before.punkVal = first.Get();
    ComPtr<IXMLDOMNode> inserted;
    return SUCCEEDED(doc_->insertBefore(newNode.Get(), before, inserted.Put()));
  }
  ComPtr<IXMLDOMNode> added;
  return SUCCEEDED(doc_->appendChild(newNode.Get(), added.Put()));
}

XmlDocument::ParseError XmlDocument::LastParseError() {
  ParseError result;
  ComPtr<IXMLDOMParseError> error;
  if (FAILED(doc_->get_parseError(error.Put())) || !error) return result;
  Bstr reason;
  if (SUCCEEDED(error->get_reason(reason.Put()))) result.reason = reason.ToAcp();
  while (!result.reason.empty() && std::isspace(static_cast<unsigned char>(result.reason.back()))) {
    result.reason.pop_back();
  }
  if (FAILED(error->get_line(&result.line)) || FAILED(error->get_linepos(&result.column))) {
    result.line = result.column = 0;
  }
  return result;
}

XmlNode XmlDocument::SelectSingleNode(const std::string& xpath) {
  const Bstr query(xpath);
  ComPtr<IXMLDOMNode> node;
  if (doc_->selectSingleNode(query.Get(), node.Put()) != S_OK) return {};
  return XmlNode(std::move(node));
}

XmlNodeList XmlDocument::SelectNodes(const std::string& xpath) {
  const Bstr query(xpath);
  ComPtr<IXMLDOMNodeList> list;
  if (FAILED(doc_->selectNodes(query.Get(), list.Put()))) return {};
  return XmlNodeList(std::move(list));
}

XmlNode XmlDocument::CreateElement(const std::string& name) {
  const Bstr elementName(name);
  ComPtr<IXMLDOMElement> element;
  if (FAILED(doc_->createElement(elementName.Get(), element.Put())) || !element) return {};
  return XmlNode(AsNode(element.Detach()));
}
