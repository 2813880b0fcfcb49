#include "core/program_lookup.h"

#include <windows.h>

#include <string>

#include "core/ansi_text.h"
#include "platform/wide_path.h"

namespace {

bool IsExistingFile(const std::string& path) {
  const std::wstring wide = WideFilePath(path);
  if (wide.empty()) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Where the system finds a program of that name: the program's folder, the current folder, the
// system folders and the PATH.
std::string SearchProgram(const std::string& name) {
  std::string found(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe",
                                     static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0) return {};
    if (length < found.size()) {
      found.resize(length);
      return IsExistingFile(found) ? found : std::string();
    }
    found.resize(length + 1);
  }
  return {};
}

std::string ExpandEnvironment(const std::string& text) {
  std::string expanded(text.size() + MAX_PATH, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded.data(),
                                                   static_cast<DWORD>(expanded.size()));
    if (length == 0) return text;
    if (length <= expanded.size()) {
      // The count includes the terminating zero (and may exceed the text in a double-byte
      // code page), so the text ends at its zero.
      expanded.resize(std::char_traits<char>::length(expanded.c_str()));
      return expanded;
    }
    expanded.resize(length);
  }
  return text;
}

}  // namespace

ProgramLookup SystemProgramLookup() {
  return {IsExistingFile, SearchProgram, ExpandEnvironment, CharStepper()};
}
