// File access for the journal records: one UTF-8 text file, appended to and flushed per record.
#include "journal/record_file.h"

#include "journal/record_format.h"
#include "platform/win_handles.h"

namespace {

HRESULT LastError() {
  const DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring RecordFilePath(const std::wstring& dataDirectory) {
  std::wstring path = dataDirectory;
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + L"journal.txt";
}

HRESULT CreateDirectoryTree(const std::wstring& directory) {
  if (directory.empty()) return E_INVALIDARG;
  // Each parent in turn; failures on the way (a drive root, a share, a folder that exists) are
  // expected, only the end result counts.
  for (size_t pos = directory.find_first_of(L"\\/", 1); pos != std::wstring::npos;
       pos = directory.find_first_of(L"\\/", pos + 1)) {
    const std::wstring parent = directory.substr(0, pos);
    if (!parent.empty() && parent.back() != L':') CreateDirectoryW(parent.c_str(), nullptr);
  }
  if (CreateDirectoryW(directory.c_str(), nullptr) || IsDirectory(directory)) return S_OK;
  const HRESULT failure = LastError();
  return failure == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS) ? HRESULT_FROM_WIN32(ERROR_DIRECTORY)
                                                             : failure;
}

HRESULT AppendRecordLine(const std::wstring& file, const std::string& line) {
  UniqueFile handle(CreateFileW(file.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return LastError();

  std::string text;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.Get(), &size)) return LastError();
  if (size.QuadPart > 0) {
    LARGE_INTEGER last{};
    last.QuadPart = -1;
    char lastChar = '\n';
    DWORD read = 0;
    if (SetFilePointerEx(handle.Get(), last, nullptr, FILE_END) &&
        ReadFile(handle.Get(), &lastChar, 1, &read, nullptr) && read == 1 && lastChar != '\n') {
      text = "\r\n";
    }
  }
  text += line;
  text += "\r\n";

  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(handle.Get(), zero, nullptr, FILE_END)) return LastError();
  DWORD written = 0;
  if (!WriteFile(handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    return LastError();
  }
  if (written != text.size()) return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
  if (!FlushFileBuffers(handle.Get())) return LastError();
  return S_OK;
}

HRESULT ReadRecordFile(const std::wstring& file, std::vector<std::string>* lines) {
  lines->clear();
  UniqueFile handle(CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return S_OK;
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  std::string text;
  char buffer[64 * 1024];
  DWORD read = 0;
  while (true) {
    if (!ReadFile(handle.Get(), buffer, sizeof buffer, &read, nullptr)) return LastError();
    if (read == 0) break;
    text.append(buffer, read);
  }
  *lines = RecordLines(text);
  return S_OK;
}

HRESULT DeleteRecordFile(const std::wstring& file) {
  if (DeleteFileW(file.c_str())) return S_OK;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return S_OK;
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}
