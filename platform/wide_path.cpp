#include "platform/wide_path.h"

#include <windows.h>

#include "platform/code_page_text.h"

namespace {

// The plain form of a folder path must leave room for an 8.3 file name (CreateDirectory's
// limit); from this length on the \\?\ form is used.
constexpr std::size_t kLongFrom = MAX_PATH - 12;

const wchar_t kLocalPrefix[] = L"\\\\?\\";
const wchar_t kUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool IsDeviceForm(const std::wstring& path) {
  return StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\") ||
         StartsWith(path, L"\\??\\");
}

// The absolute, normalised form of path (GetFullPathNameW takes paths of any length).
std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0) break;
    if (length < size) {
      full.resize(length);
      return full;
    }
    size = length;  // the working folder changed between the calls
  }
  return {};
}

}  // namespace

std::wstring WideFromAcp(const std::string& text) {
  return WideFromNarrow(text, CP_ACP).value_or(std::wstring());
}

std::string AcpFromWide(const std::wstring& text) {
  return NarrowFromWide(text, CP_ACP).text;
}

std::wstring WideFilePath(const std::string& path) {
  std::wstring wide = WideFromAcp(path);
  if (wide.size() < kLongFrom || IsDeviceForm(wide)) return wide;
  std::wstring full = FullPath(wide);
  if (full.empty()) return {};
  if (IsDeviceForm(full)) return full;  // a device name such as CON
  if (StartsWith(full, L"\\\\")) return kUncPrefix + full.substr(2);
  return kLocalPrefix + full;
}

std::string AcpFromWidePath(const std::string& path, const std::wstring& given) {
  if (IsDeviceForm(WideFromAcp(path))) return AcpFromWide(given);  // as the caller wrote it
  if (StartsWith(given, kUncPrefix)) {
    return AcpFromWide(L"\\\\" + given.substr(wcslen(kUncPrefix)));
  }
  if (StartsWith(given, kLocalPrefix)) return AcpFromWide(given.substr(wcslen(kLocalPrefix)));
  return AcpFromWide(given);
}
