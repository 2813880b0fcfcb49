#include "core/module_paths.h"

#include <windows.h>

#include "core/ansi_text.h"
#include "core/exe_paths.h"

std::string ModulePath() {
  // Start at the classic limit and grow while the name is cut off (long path support).
  constexpr DWORD kLimit = 32768;
  for (DWORD size = MAX_PATH; size <= kLimit; size *= 2) {
    std::string buffer(size, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
  }
  return std::string();
}

std::string ExeDirectory() {
  return ExeDirectoryOf(ModulePath(), CharStepper());
}

std::string ExeBaseName() {
  return ExeBaseNameOf(ModulePath(), CharStepper());
}

std::string LanguageFilePath() {
  return ExeDirectory() + "\\" + ExeBaseName() + ".language";
}

std::string HelpFilePath() {
  return ExeDirectory() + "\\" + ExeBaseName() + ".chm";
}

std::string JournalDataDirectory() {
  return ExeDirectory() + "\\Log\\Data";
}

std::string StoreFilePath() {
  return ExeDirectory() + "\\config.xml";
}
