#include "journal/viewer_texts.h"

#include <windows.h>

#include <vector>

namespace {

struct Key {
  const wchar_t* key;
  const wchar_t* english;
};
constexpr Key kTitle = {L"_LogViewer", L"Operation &Journal"};
constexpr Key kClose = {L"_Close", L"Close"};
constexpr Key kColumns[kRecordFieldCount] = {
    {L"_LogColumnTime", L"Time"},         {L"_LogColumnType", L"Log type"},
    {L"_LogColumnCategory", L"Category"}, {L"_LogColumnItemType", L"Operation"},
    {L"_LogColumnSource", L"Source"},     {L"_LogColumnContent", L"Content"}};

// The profile functions cut a text at this many characters, as the program's table does.
constexpr DWORD kTextBuffer = 65535;

std::wstring ExpandLineBreaks(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && (text[i + 1] == L'r' || text[i + 1] == L'n')) {
      out.push_back(text[i + 1] == L'r' ? L'\r' : L'\n');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// The program's table also drops a pair of single quotes; the profile function may keep them.
std::wstring Unquoted(std::wstring text) {
  if (text.size() >= 2 && (text.front() == L'"' || text.front() == L'\'') &&
      text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

std::wstring Lookup(const std::wstring& file, const Key& key) {
  if (file.empty()) return key.english;
  std::vector<wchar_t> buffer(kTextBuffer, L'\0');
  const DWORD length =
      GetPrivateProfileStringW(L"String", key.key, L"", buffer.data(), kTextBuffer, file.c_str());
  const std::wstring text = Unquoted(std::wstring(buffer.data(), length));
  return text.empty() ? key.english : ExpandLineBreaks(text);
}

std::wstring ModuleFileName() {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return std::wstring();
    if (length < size) {
      path.resize(length);
      return path;
    }
  }
  return std::wstring();
}

}  // namespace

std::wstring HostLanguageFile() {
  const std::wstring path = ModuleFileName();
  const std::size_t slash = path.find_last_of(L"\\:");
  if (slash == std::wstring::npos) return std::wstring();
  // C:App.exe lives in C: itself; otherwise the folder is everything before the last backslash.
  const std::wstring directory = path.substr(0, path[slash] == L':' ? slash + 1 : slash);
  std::wstring base = path.substr(slash + 1);
  const std::size_t dot = base.find_last_of(L'.');
  if (dot != std::wstring::npos) base.resize(dot);
  return directory + L"\\" + base + L".language";
}

ViewerTexts LoadViewerTexts(const std::wstring& file) {
  ViewerTexts texts;
  texts.title = CaptionFromMenuText(Lookup(file, kTitle));
  for (std::size_t c = 0; c < kRecordFieldCount; ++c) texts.columns[c] = Lookup(file, kColumns[c]);
  texts.close = Lookup(file, kClose);
  return texts;
}

std::wstring CaptionFromMenuText(std::wstring_view text) {
  text = text.substr(0, text.find(L'\t'));
  std::wstring caption;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') {
      caption.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == L'&') {
      caption.push_back(L'&');
      ++i;
    }
  }
  return caption;
}
