#include "store/xml_disabled_store.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "platform/win_handles.h"
#include "platform/xml_dom.h"
#include "store/record_text.h"

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

constexpr char kValueType[] = "valuetype";
constexpr char kExpandTypeText[] = "REG_EXPAND_SZ";

// A record's valuetype: none (or "REG_SZ") is REG_SZ; an unknown text is REG_NONE.
DWORD ValueTypeOf(const std::optional<std::string>& text) {
  if (!text || SameText(*text, "REG_SZ")) return REG_SZ;
  return SameText(*text, kExpandTypeText) ? REG_EXPAND_SZ : REG_NONE;
}

bool IsEscaped(const XmlNode& node) {
  return node.Attribute(kEscapedMark) == std::optional<std::string>(kEscapedMarkValue);
}

// A missing attribute reads as empty, so a damaged record still lists and can be removed.
StoredRecord ReadRecord(const XmlNode& node) {
  StoredRecord record;
  record.location = node.Attribute("path").value_or(std::string());
  record.valueName = node.Attribute("valuename").value_or(std::string());
  record.valueData = node.Attribute("valuedata").value_or(std::string());
  record.valueType = ValueTypeOf(node.Attribute(kValueType));
  if (IsEscaped(node)) {
    record.location = UnescapeRecordText(record.location);
    record.valueName = UnescapeRecordText(record.valueName);
    record.valueData = UnescapeRecordText(record.valueData);
  }
  return record;
}

bool SameRecord(const StoredRecord& a, const StoredRecord& b) {
  return a.location == b.location && a.valueName == b.valueName && a.valueData == b.valueData &&
         a.valueType == b.valueType;
}

// The valuetype attribute of a record of type `type`: only REG_EXPAND_SZ is written.
bool WriteValueType(XmlNode& node, DWORD type) {
  if (type == REG_EXPAND_SZ) return node.SetAttribute(kValueType, kExpandTypeText);
  if (type == REG_SZ) return node.RemoveAttribute(kValueType);
  return true;
}

// Writes the record's three texts, in the escaped form when one of them needs it, and its value
// type, and checks that the node now reads back exactly as meant. Attributes are set in the
// order path, valuedata, valuename, valuetype (a new record keeps that order); the mark comes
// last. A valuetype this program does not know is left as it is.
bool WriteRecordTexts(XmlNode& node, const StoredRecord& record) {
  const bool escaped = NeedsEscapedForm(record.location) || NeedsEscapedForm(record.valueName) ||
                       NeedsEscapedForm(record.valueData);
  const auto form = [escaped](const std::string& text) {
    return escaped ? EscapeRecordText(text) : text;
  };
  const bool written = node.SetAttribute("path", form(record.location)) &&
                       node.SetAttribute("valuedata", form(record.valueData)) &&
                       node.SetAttribute("valuename", form(record.valueName)) &&
                       WriteValueType(node, record.valueType) &&
                       (escaped ? node.SetAttribute(kEscapedMark, kEscapedMarkValue)
                                : node.RemoveAttribute(kEscapedMark));
  return written && SameRecord(ReadRecord(node), record);
}

// Every record of every kind as written (attributes raw, mark included), in document order:
// what a save must carry over exactly.
std::vector<std::string> RecordSnapshot(XmlDocument& doc) {
  std::vector<std::string> snapshot;
  for (const KindId kind : {KindId::kRegistry, KindId::kStartupFolder, KindId::kListValue}) {
    XmlNodeList nodes = doc.SelectNodes(RecordsPath(kind));
    for (XmlNode node = nodes.Next(); node; node = nodes.Next()) {
      std::string line = RecordElementName(kind);
      for (const char* attribute : {"path", "valuedata", "valuename", kValueType, kEscapedMark}) {
        const std::optional<std::string> value = node.Attribute(attribute);
        // A zero byte cannot be in an attribute read through the DOM: it separates them here.
        line += value ? '\1' + *value : std::string(1, '\0');
      }
      snapshot.push_back(std::move(line));
    }
  }
  return snapshot;
}

// No DOM can be created: the XML service is missing.
Status NoXmlService() {
  return Status::FromHresult(REGDB_E_CLASSNOTREG);
}
// The file is there but is no readable store; it is never written.
Status UnreadableFile() {
  return Status(ERROR_INVALID_DATA);
}

// Puts the written bytes on the disk before the rename makes them the store.
Status FlushFile(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.Get()) ? Status() : Status::LastError();
}

// Reads take no lock, so a read and the replacing of the file by a change can meet: each side
// tries again for a moment. Runs attempt() until it returns something other than busy, or a
// second has passed; returns its last result.
template <typename Attempt, typename Busy>
auto RetryWhileBusy(Attempt attempt, Busy busy) {
  constexpr ULONGLONG kWaitMs = 1000;
  const ULONGLONG start = GetTickCount64();
  auto result = attempt();
  while (busy(result) && GetTickCount64() - start < kWaitMs) {
    Sleep(5);
    result = attempt();
  }
  return result;
}

// Renames temp over path, waiting out a reader that has the file open.
Status ReplaceWith(const std::string& temp, const std::string& path) {
  return RetryWhileBusy(
      [&] {
        return MoveFileExA(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? Status()
                   : Status::LastError();
      },
      [](const Status& moved) {
        return moved.Code() == ERROR_ACCESS_DENIED || moved.Code() == ERROR_SHARING_VIOLATION;
      });
}

}  // namespace

bool XmlDisabledStore::Load(XmlDocument& doc, bool* missing) {
  // A change of another process may be replacing the file right now.
  const XmlDocument::LoadResult result = RetryWhileBusy(
      [&] { return doc.Load(path_); },
      [](XmlDocument::LoadResult loaded) { return loaded == XmlDocument::LoadResult::kInUse; });
  if (missing) *missing = result == XmlDocument::LoadResult::kMissing;
  if (result != kLoaded && result != XmlDocument::LoadResult::kMissing) {
    const XmlDocument::ParseError error = doc.LastParseError();
    unreadable_ = UnreadableStore{path_, error.reason, error.line, error.column};
  } else {
    unreadable_.reset();
  }
  return result == kLoaded;
}

std::optional<Status> XmlDisabledStore::LoadForChange(XmlDocument& doc) {
  bool missing = false;
  if (Load(doc, &missing)) return std::nullopt;
  return missing ? NoRecord() : UnreadableFile();
}

XmlDisabledStore::XmlDisabledStore(std::string path)
    : path_(std::move(path)), lockName_(StoreLockName(path_)) {}

std::vector<StoredRecord> XmlDisabledStore::ListAll(KindId kind) {
  std::vector<StoredRecord> records;
  auto doc = XmlDocument::Create();
  if (!doc || !Load(*doc)) return records;
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
    if (!IsEscaped(node) && !SameText(node.Attribute("path").value_or(std::string()), path)) {
      continue;
    }
    if (RecordMatches(ReadRecord(node), path, name, data)) return node;
  }
  return {};
}

Status XmlDisabledStore::RemoveMatching(KindId kind, const std::string& path,
                                        const std::string& name, const std::string& data) {
  const StoreLock lock = LockForChange();
  if (!lock.Result()) return lock.Result();
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  if (const std::optional<Status> failed = LoadForChange(*doc)) return *failed;
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
  const StoreLock lock = LockForChange();
  if (!lock.Result()) return lock.Result();
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  if (const std::optional<Status> failed = LoadForChange(*doc)) return *failed;
  XmlNode match = FindMatch(*doc, kind, path, oldName, oldData);
  if (!match) return NoRecord();
  StoredRecord changed = ReadRecord(match);
  if (!dataOnly) changed.valueName = newName;
  changed.valueData = newData;
  if (!WriteRecordTexts(match, changed)) return Status(ERROR_INVALID_DATA);
  return Save(*doc);
}

Status XmlDisabledStore::Append(KindId kind, const std::string& path, const std::string& name,
                                const std::string& data, DWORD valueType) {
  if (valueType != REG_SZ && valueType != REG_EXPAND_SZ) return Status(ERROR_INVALID_PARAMETER);
  const StoreLock lock = LockForChange();
  if (!lock.Result()) return lock.Result();
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  bool missing = false;
  if (!Load(*doc, &missing)) {
    if (!missing)
      return UnreadableFile();  // never overwrite a file that is there but cannot be read
    if (!doc->LoadText(kEmptyStore)) return Status(ERROR_GEN_FAILURE);
  }
  XmlNode container = doc->SelectSingleNode(kContainerPath);
  if (!container) {
    XmlNode root = doc->SelectSingleNode(kRootPath);
    container = doc->CreateElement(kContainerName);
    if (!root) return UnreadableFile();  // another program's XML: not ours to change
    if (!container || !root.AppendChild(container)) return Status(ERROR_GEN_FAILURE);
  }
  XmlNode record = doc->CreateElement(RecordElementName(kind));
  if (!record) return Status(ERROR_GEN_FAILURE);
  if (!WriteRecordTexts(record, StoredRecord{path, name, data, valueType})) {
    return Status(ERROR_INVALID_DATA);
  }
  if (!container.AppendChild(record)) return Status(ERROR_GEN_FAILURE);
  return Save(*doc);
}

// The saved file must prove itself before it becomes the store: it is parsed back and its
// records compared with the document's; anything else fails the save and leaves the old file.
Status XmlDisabledStore::Save(XmlDocument& doc) {
  if (!doc.DeclareUtf8()) return Status(ERROR_GEN_FAILURE);
  const std::string temp = TempPath();
  // A temporary file left by an interrupted save is only ever replaced, never read.
  DeleteFileA(temp.c_str());
  Status written = doc.Save(temp) ? FlushFile(temp) : Status(ERROR_WRITE_FAULT);
  if (written) {
    if (afterWrite_) afterWrite_(temp);
    written = ProveSaved(doc, temp);
  }
  if (!written) {
    DeleteFileA(temp.c_str());
    return written;
  }
  if (beforeReplace_ && !beforeReplace_()) return Status(ERROR_REQUEST_ABORTED);
  const Status moved = ReplaceWith(temp, path_);
  if (!moved) DeleteFileA(temp.c_str());
  return moved;
}

Status XmlDisabledStore::ProveSaved(XmlDocument& doc, const std::string& temp) {
  auto saved = XmlDocument::Create();
  if (!saved) return NoXmlService();
  if (saved->Load(temp) != kLoaded || RecordSnapshot(*saved) != RecordSnapshot(doc) ||
      !(ReadSettingsElement(*saved) == ReadSettingsElement(doc))) {
    return Status(ERROR_INVALID_DATA);
  }
  return Status();
}

std::optional<WindowSettings> XmlDisabledStore::ReadSettings() {
  auto doc = XmlDocument::Create();
  if (!doc || !Load(*doc)) return std::nullopt;
  WindowSettings settings = ReadSettingsElement(*doc);
  if (!settings.window && !settings.splitterPosition96 && !settings.hideWindowsEntries) {
    return std::nullopt;
  }
  return settings;
}

Status XmlDisabledStore::WriteSettings(const WindowSettings& settings) {
  const StoreLock lock = LockForChange();
  if (!lock.Result()) return lock.Result();
  auto doc = XmlDocument::Create();
  if (!doc) return NoXmlService();
  if (const std::optional<Status> failed = LoadForChange(*doc)) return *failed;
  if (!WriteSettingsElement(*doc, settings)) return UnreadableFile();
  return Save(*doc);
}
