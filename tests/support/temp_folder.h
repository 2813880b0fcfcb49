// A uniquely named folder under the temp directory, removed with everything in it when the
// holder goes away. Paths are 8-bit in the active code page and may be longer than MAX_PATH:
// the helpers here use the wide functions in the \\?\ form, written apart from the program's
// own conversion so that they do not share its faults.
#pragma once

#include <windows.h>

#include <string>

// path (absolute or relative, any length, not a \\server\share path) in the \\?\ form of the
// wide functions.
inline std::wstring TestLongPath(const std::string& path) {
  if (path.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
  wide.resize(wide.size() - 1);  // the terminating zero
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return L"\\\\?\\" + full;
}

class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "qv") {
    char base[MAX_PATH * 3] = {};
    GetTempPathA(sizeof(base), base);
    static int counter = 0;
    path_ = std::string(base) + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  // Deletes a folder and all it holds, attributes and path length notwithstanding.
  static void RemoveTree(const std::string& folder) {
    if (!folder.empty()) RemoveWideTree(TestLongPath(folder));
  }

 private:
  static void RemoveWideTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveWideTree(path);
        } else {
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
  }

  std::string path_;
};

// Makes base (when missing) and folders inside it, each in the one before, until the deepest one's
// path is `length` characters long (or one more); returns that path. For paths past MAX_PATH.
inline std::string NestedFolder(const std::string& base, std::size_t length) {
  std::string path = base;
  CreateDirectoryW(TestLongPath(path).c_str(), nullptr);
  for (int level = 1; path.size() < length; ++level) {
    std::size_t room = length - path.size() - 1;  // after the backslash
    std::size_t size = room < 60 ? room : 60;
    if (room > size && room - size == 1) --size;  // never leave room for a backslash alone
    if (size == 0) size = 1;
    std::string name(size, 'x');
    const std::string tag = "level" + std::to_string(level) + "-";
    if (tag.size() < size) name.replace(0, tag.size(), tag);
    path += "\\" + name;
    CreateDirectoryW(TestLongPath(path).c_str(), nullptr);
  }
  return path;
}

// Writes bytes to a new file; true when all were written.
inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  HANDLE file = CreateFileW(TestLongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// The whole content of a file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  if (path.empty()) return {};
  HANDLE file = CreateFileW(TestLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

// A fixture shortcut from the shared folder of real shortcuts ("sample11.lnk"): its bytes.
inline std::string FixtureLink(const std::string& name) {
  char root[MAX_PATH * 3] = {};
  GetEnvironmentVariableA("QV_SOURCE_DIR", root, sizeof(root));
  // The shared fixtures sit beside the repository: <source>/../shared/fixtures/lnk.
  std::string unixPath = std::string(root) + "/../shared/fixtures/lnk/" + name;
  // Wine maps the Unix root as drive Z:.
  std::string windowsPath = "Z:" + unixPath;
  for (char& c : windowsPath) {
    if (c == '/') c = '\\';
  }
  return ReadBytes(windowsPath);
}
