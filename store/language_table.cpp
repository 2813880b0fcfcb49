#include "store/language_table.h"

#include <windows.h>

#include "store/escape_expand.h"

namespace {

constexpr char kSection[] = "String";
// Texts are read into a buffer of this many bytes, the terminating zero included.
constexpr DWORD kTextBytes = 65535;

}  // namespace

std::string LanguageTable::T(const std::string& key, bool expand) const {
  if (file_.empty()) return key;  // no file set: never fall back to the system's win.ini
  std::string text(kTextBytes, '\0');
  const DWORD length =
      GetPrivateProfileStringA(kSection, key.c_str(), "", text.data(), kTextBytes, file_.c_str());
  text.resize(length);
  if (text.empty()) return key;
  return expand ? ExpandEscapes(text) : text;
}

LanguageTable& AppLanguage() {
  static LanguageTable table;
  return table;
}
