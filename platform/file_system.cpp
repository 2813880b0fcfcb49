// The real file system (kernel32) behind the FileSystem interface. The wide functions are used
// with the paths of platform/wide_path.h, so paths longer than MAX_PATH work like short ones.
#include "platform/file_system.h"

#include "platform/code_page_text.h"
#include "platform/wide_path.h"
#include "platform/win_handles.h"

namespace {

// A path that does not convert names no file.
Status NoSuchPath() {
  return Status(ERROR_NO_UNICODE_TRANSLATION);
}

}  // namespace

std::optional<std::vector<DirEntry>> Win32FileSystem::List(const std::string& folder) {
  // "*" lists what "*.*" lists, and keeps its meaning in the \\?\ form.
  return ListMatching(folder, "*");
}

std::optional<std::vector<DirEntry>> Win32FileSystem::ListMatching(const std::string& folder,
                                                                   const std::string& pattern) {
  // An empty folder text would make the pattern "\*", the root of the current drive.
  if (folder.empty() || pattern.empty()) return std::nullopt;
  const std::wstring search = WideFilePath(folder + "\\" + pattern);
  if (search.empty()) return std::nullopt;
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW(search.c_str(), &data));
  if (!find) return std::nullopt;
  std::vector<DirEntry> entries;
  do {
    CodePageText name = NarrowFromWide(data.cFileName, CP_ACP);
    entries.push_back({std::move(name.text), data.dwFileAttributes, name.exact});
  } while (FindNextFileW(find.Get(), &data));
  return entries;
}

bool Win32FileSystem::Exists(const std::string& path) {
  const std::wstring wide = WideFilePath(path);
  return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Status Win32FileSystem::DeleteFile(const std::string& path) {
  const std::wstring wide = WideFilePath(path);
  if (wide.empty()) return NoSuchPath();
  // Qualified: inside this class the name DeleteFileW (the macro's expansion) is the member.
  return ::DeleteFileW(wide.c_str()) ? Status() : Status::LastError();
}

Status Win32FileSystem::MoveFile(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = WideFilePath(from);
  const std::wstring wideTo = WideFilePath(to);
  if (wideFrom.empty() || wideTo.empty()) return NoSuchPath();
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)
             ? Status()
             : Status::LastError();
}

Status Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = WideFilePath(from);
  const std::wstring wideTo = WideFilePath(to);
  if (wideFrom.empty() || wideTo.empty()) return NoSuchPath();
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? Status()
             : Status::LastError();
}

Status Win32FileSystem::CreateHiddenFolder(const std::string& path) {
  if (path.empty()) return Status(ERROR_INVALID_NAME);
  const std::wstring wide = WideFilePath(path);
  if (wide.empty()) return NoSuchPath();
  if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return Status::LastError();
  }
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Status::LastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Status(ERROR_ALREADY_EXISTS);  // a file of that name is in the way
  }
  if (attributes & FILE_ATTRIBUTE_HIDDEN) return Status();
  return SetFileAttributesW(wide.c_str(),
                            (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | FILE_ATTRIBUTE_HIDDEN)
             ? Status()
             : Status::LastError();
}

Status Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
  if (path.empty()) return Status(ERROR_INVALID_NAME);
  const std::wstring wide = WideFilePath(path);
  if (wide.empty()) return NoSuchPath();
  // The system refuses to remove a folder that is not empty, so nothing in it can be lost.
  return RemoveDirectoryW(wide.c_str()) ? Status() : Status::LastError();
}

std::string Win32FileSystem::ShortPath(const std::string& path) {
  if (path.empty()) return {};
  const std::wstring wide = WideFilePath(path);
  if (wide.empty()) return {};
  // The first call gives the size with the terminating zero; the name can change between
  // the calls, so retry while the buffer turns out too small.
  DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
    std::wstring buffer(size, L'\0');
    const DWORD length = GetShortPathNameW(wide.c_str(), buffer.data(), size);
    if (length == 0) return {};
    if (length < size) {
      buffer.resize(length);
      std::string shortPath = AcpFromWidePath(path, buffer);
      // The short form serves where a plain path is needed; one that is still too long does not.
      if (shortPath.size() >= MAX_PATH) return {};
      return shortPath;
    }
    size = length;  // too small: length is the size needed
  }
  return {};
}
