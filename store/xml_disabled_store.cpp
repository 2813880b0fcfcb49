#include "store/xml_disabled_store.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "platform/win_handles.h"
#include "platform/xml_dom.h"

namespace {

constexpr auto kLoaded = XmlDocument::LoadResult::kLoaded;
constexpr char kContainerPath[] = "/config/toolquorvane";
constexpr char kRootPath[] = "/config";
constexpr char kContainerName[] = "toolquorvane";
// What Append starts from when there is no file yet.
constexpr char kEmptyStore[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane/></config>\r\n";

std::string RecordsPath(KindId kind) {
  return std::string(kContainerPath) + "/" + RecordElementName(kind);
}

// A missing attribute reads as empty, so a damaged record still lists and can be removed.
StoredRecord ReadRecord(const XmlNode& node) {
  StoredRecord record;
  record.location = node.Attribute("path").value_or(std::string());
  record.valueName = node.Attribute("valuename").value_or(std::string());
  record.valueData = node.Attribute("valuedata").value_or(std::string());
  return record;
}

// No DOM can be created: the XML service is missing.
Status NoXmlService() {
  return Status::FromHresult(REGDB_E_CLASSNOTREG);
}
// The file is there but is no readable store; it is never written.
Status Unreadable() {
  return Status(ERROR_INVALID_DATA);
}

// Puts the written bytes on the disk before the rename makes them the store.
Status FlushFile(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.Get()) ? Status() : Status::LastError();
}

// Loads the store for a change of one of its records: nullopt when it loaded, else what the
// change reports (no record in a missing file; an unreadable file is never written).
std::optional<Status> LoadForChange(XmlDocument& doc, const std::string& path) {
  switch (doc.Load(path)) {
    case kLoaded:
      return std::nullopt;
    case XmlDocument::LoadResult::kMissing:
      return NoRecord();
    case XmlDocument::LoadResult::kFailed:
      break;
  }
  return Unreadable();
}

}  // namespace

XmlDisabledStore::XmlDisabledStore(std::string path) : path_(std::move(path)) {}

std::vector<StoredRecord> XmlDisabledStore::ListAll(KindId kind) {
  std::vector<StoredRecord> records;
  auto doc = XmlDocument::Create();
  if (!doc || doc->Load(path_) != kLoaded) return records;
  XmlNodeList nodes = doc->SelectNodes(RecordsPath(kind));
  for (XmlNode node = nodes.Next(); node; node = nodes.Next()) {
    records.push_back(ReadRecord(node));
  }
  return records;
}

XmlNode XmlDisabledStore::FindMatch(XmlDocument& doc, KindId kind, const std::string& path,
                                    const std::string& name, const std::string& data) const {
  XmlNodeList nodes = doc.SelectNodes(RecordsPath(kind));
  for (XmlNode node = nodes.Next(); node; node = nodes.Next()) {
    // Most records differ in path: only those with the right one are read whole.
    if (!SameText(node.Attribute("path").value_or(std::string()), path)) continue;
    if (RecordMatches(ReadRecord(node), path, name, data)) return node;
  }
  return {};
}

Status XmlDisabledStore::RemoveMatching(KindId kind, const std::string& path,
                                        const std::string& name, const std::string& data) {
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  if (const std::optional<Status> failed = LoadForChange(*doc, path_)) return *failed;
  XmlNode match = FindMatch(*doc, kind, path, name, data);
  if (!match) return NoRecord();
  // The record's own parent: with several containers the match need not be in the first.
  XmlNode parent = match.Parent();
  if (!parent.RemoveChild(match)) return Status(ERROR_GEN_FAILURE);
  return Save(*doc);
}

Status XmlDisabledStore::UpdateMatching(KindId kind, const std::string& path,
                                        const std::string& oldName, const std::string& oldData,
                                        const std::string& newName, const std::string& newData,
                                        bool dataOnly) {
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  if (const std::optional<Status> failed = LoadForChange(*doc, path_)) return *failed;
  XmlNode match = FindMatch(*doc, kind, path, oldName, oldData);
  if (!match) return NoRecord();
  if ((!dataOnly && !match.SetAttribute("valuename", newName)) ||
      !match.SetAttribute("valuedata", newData)) {
    return Status(ERROR_GEN_FAILURE);
  }
  return Save(*doc);
}

Status XmlDisabledStore::Append(KindId kind, const std::string& path, const std::string& name,
                                const std::string& data) {
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  switch (doc->Load(path_)) {
    case kLoaded:
      break;
    case XmlDocument::LoadResult::kMissing:
      if (!doc->LoadText(kEmptyStore)) return Status(ERROR_GEN_FAILURE);
      break;
    case XmlDocument::LoadResult::kFailed:
      return Unreadable();  // never overwrite a file that is there but cannot be read
  }
  XmlNode container = doc->SelectSingleNode(kContainerPath);
  if (!container) {
    XmlNode root = doc->SelectSingleNode(kRootPath);
    container = doc->CreateElement(kContainerName);
    if (!root) return Unreadable();  // another program's XML: not ours to change
    if (!container || !root.AppendChild(container)) return Status(ERROR_GEN_FAILURE);
  }
  XmlNode record = doc->CreateElement(RecordElementName(kind));
  // Written in this order so the saved attributes read path, valuedata, valuename.
  if (!record || !record.SetAttribute("path", path) || !record.SetAttribute("valuedata", data) ||
      !record.SetAttribute("valuename", name) || !container.AppendChild(record)) {
    return Status(ERROR_GEN_FAILURE);
  }
  return Save(*doc);
}

Status XmlDisabledStore::Save(XmlDocument& doc) {
  const std::string temp = TempPath();
  // A temporary file left by an interrupted save is only ever replaced, never read.
  DeleteFileA(temp.c_str());
  Status written = doc.Save(temp) ? FlushFile(temp) : Status(ERROR_WRITE_FAULT);
  if (!written) {
    DeleteFileA(temp.c_str());
    return written;
  }
  if (beforeReplace_ && !beforeReplace_()) return Status(ERROR_REQUEST_ABORTED);
  if (!MoveFileExA(temp.c_str(), path_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const Status moved = Status::LastError();
    DeleteFileA(temp.c_str());
    return moved;
  }
  return Status();
}
