// The real file system (kernel32) behind the FileSystem interface.
#include "platform/file_system.h"

#include "platform/win_handles.h"

std::optional<std::vector<DirEntry>> Win32FileSystem::List(const std::string& folder) {
  // An empty folder text would make the pattern "\*.*", the root of the current drive.
  if (folder.empty()) return std::nullopt;
  const std::string pattern = folder + "\\*.*";
  WIN32_FIND_DATAA data{};
  UniqueFind find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return std::nullopt;
  std::vector<DirEntry> entries;
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes});
  } while (FindNextFileA(find.Get(), &data));
  return entries;
}

bool Win32FileSystem::Exists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Status Win32FileSystem::DeleteFile(const std::string& path) {
  // Qualified: inside this class the name DeleteFileA (the macro's expansion) is the member.
  return ::DeleteFileA(path.c_str()) ? Status() : Status::LastError();
}

Status Win32FileSystem::MoveFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? Status()
                                                                       : Status::LastError();
}

Status Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? Status()
             : Status::LastError();
}

Status Win32FileSystem::CreateHiddenFolder(const std::string& path) {
  if (path.empty()) return Status(ERROR_INVALID_NAME);
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return Status::LastError();
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Status::LastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Status(ERROR_ALREADY_EXISTS);  // a file of that name is in the way
  }
  if (attributes & FILE_ATTRIBUTE_HIDDEN) return Status();
  return SetFileAttributesA(path.c_str(),
                            (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | FILE_ATTRIBUTE_HIDDEN)
             ? Status()
             : Status::LastError();
}

std::string Win32FileSystem::ShortPath(const std::string& path) {
  if (path.empty()) return {};
  // The first call gives the size with the terminating zero; the name can change between
  // the calls, so retry while the buffer turns out too small.
  DWORD size = GetShortPathNameA(path.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
    std::string buffer(size, '\0');
    const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), size);
    if (length == 0) return {};
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
    size = length;  // too small: length is the size needed
  }
  return {};
}
