#include "store/language_table.h"

#include <algorithm>
#include <vector>

#include "store/escape_expand.h"

namespace {

constexpr char kSection[] = "String";
// The longest text a lookup gives, as the profile functions cut it.
constexpr std::size_t kMaxTextLength = 65534;
constexpr DWORD kFirstSectionBytes = 64 * 1024;
constexpr DWORD kMaxSectionBytes = 64 * 1024 * 1024;

ULONGLONG Combine(DWORD high, DWORD low) {
  return (static_cast<ULONGLONG>(high) << 32) | low;
}

// The blanks the profile functions drop around keys and texts (Ctrl-Z, the old end-of-file mark,
// among them).
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A key compared without regard to case: trimmed, widened from the active code page and upper-
// cased.
std::wstring FoldKey(const std::string& key) {
  const std::string trimmed = Trim(key);
  if (trimmed.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(CP_ACP, 0, trimmed.data(), static_cast<int>(trimmed.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, trimmed.data(), static_cast<int>(trimmed.size()), wide.data(),
                      length);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return wide;
}

// A line's text: trimmed, without one pair of the same quotes around it, cut to the longest text.
std::string TextOf(const std::string& value) {
  std::string text = Trim(value);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
  return text;
}

// The lines of the section (key=text, zero-separated); empty when there is none.
std::vector<char> ReadSection(const std::string& file) {
  for (DWORD bytes = kFirstSectionBytes; bytes <= kMaxSectionBytes; bytes *= 2) {
    std::vector<char> lines(bytes, '\0');
    const DWORD length = GetPrivateProfileSectionA(kSection, lines.data(), bytes, file.c_str());
    // A section that did not fit comes back cut, two short of the buffer.
    if (length + 2 < bytes) {
      lines.resize(length);
      return lines;
    }
  }
  return {};
}

}  // namespace

void LanguageTable::SetFile(std::string file) {
  file_ = std::move(file);
  read_ = false;
  texts_.clear();
}

LanguageTable::FileStamp LanguageTable::StampOf(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return FileStamp{};
  return FileStamp{
      true, Combine(data.nFileSizeHigh, data.nFileSizeLow),
      Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

void LanguageTable::Refresh() const {
  const FileStamp stamp = StampOf(file_);
  if (read_ && stamp == stamp_) return;
  texts_.clear();
  const std::vector<char> lines = ReadSection(file_);
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = std::find(lines.begin() + start, lines.end(), '\0') - lines.begin();
    const std::string line(lines.data() + start, end - start);
    start = end + 1;
    const std::size_t equals = line.find('=');
    const std::string key = line.substr(0, equals);
    if (Trim(key).starts_with(';')) continue;  // a comment, should one come through
    const std::string text = equals == std::string::npos ? "" : TextOf(line.substr(equals + 1));
    texts_.emplace(FoldKey(key), text);  // the first of a key wins
  }
  stamp_ = stamp;
  read_ = true;
}

std::string LanguageTable::T(const std::string& key, bool expand) const {
  if (file_.empty()) return key;  // no file set: never fall back to the system's win.ini
  Refresh();
  const auto found = texts_.find(FoldKey(key));
  if (found == texts_.end() || found->second.empty()) return key;
  return expand ? ExpandEscapes(found->second) : found->second;
}

LanguageTable& AppLanguage() {
  static LanguageTable table;
  return table;
}
