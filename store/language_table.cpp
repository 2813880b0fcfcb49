#include "store/language_table.h"

#include "store/escape_expand.h"

namespace {

constexpr char kSection[] = "String";
// Most texts fit the short buffer; a longer one is read again into the long buffer, which is the
// longest text there is (the terminating zero included).
constexpr DWORD kShortTextBytes = 512;
constexpr DWORD kTextBytes = 65535;

std::string ReadProfileText(const std::string& file, const std::string& key, DWORD bytes) {
  std::string text(bytes, '\0');
  const DWORD length =
      GetPrivateProfileStringA(kSection, key.c_str(), "", text.data(), bytes, file.c_str());
  text.resize(length);
  return text;
}

ULONGLONG Combine(DWORD high, DWORD low) {
  return (static_cast<ULONGLONG>(high) << 32) | low;
}

}  // namespace

void LanguageTable::SetFile(std::string file) {
  file_ = std::move(file);
  texts_.clear();
  stamp_ = FileStamp{};
}

LanguageTable::FileStamp LanguageTable::StampOf(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return FileStamp{};
  return FileStamp{
      true, Combine(data.nFileSizeHigh, data.nFileSizeLow),
      Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

const std::string& LanguageTable::FileText(const std::string& key) const {
  const FileStamp stamp = StampOf(file_);
  if (stamp != stamp_) {
    texts_.clear();
    stamp_ = stamp;
  }
  auto found = texts_.find(key);
  if (found == texts_.end()) {
    std::string text = ReadProfileText(file_, key, kShortTextBytes);
    // A text that filled the short buffer may have been cut.
    if (text.size() + 1 >= kShortTextBytes) text = ReadProfileText(file_, key, kTextBytes);
    found = texts_.emplace(key, std::move(text)).first;
  }
  return found->second;
}

std::string LanguageTable::T(const std::string& key, bool expand) const {
  if (file_.empty()) return key;  // no file set: never fall back to the system's win.ini
  const std::string& text = FileText(key);
  if (text.empty()) return key;
  return expand ? ExpandEscapes(text) : text;
}

LanguageTable& AppLanguage() {
  static LanguageTable table;
  return table;
}
