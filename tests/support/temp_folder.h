// A uniquely named folder under the temp directory, removed with everything in it when the
// holder goes away. Paths are 8-bit in the active code page.
#pragma once

#include <windows.h>

#include <string>

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

  // Deletes a folder and all it holds, attributes notwithstanding.
  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
  }

 private:
  std::string path_;
};

// Writes bytes to a new file; true when all were written.
inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
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
