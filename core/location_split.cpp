#include "core/location_split.h"

#include "core/ansi_text.h"

namespace {

// Offset of the first '\' (a whole character, never a trail byte), or npos.
std::size_t FindFirstBackslash(const std::string& text, UINT codePage) {
  for (std::size_t pos = 0; pos < text.size(); pos = NextCharIn(text, pos, codePage)) {
    if (text[pos] == '\\') return pos;
  }
  return std::string::npos;
}

std::size_t FindLastBackslash(const std::string& text, UINT codePage) {
  std::size_t last = std::string::npos;
  for (std::size_t pos = 0; pos < text.size(); pos = NextCharIn(text, pos, codePage)) {
    if (text[pos] == '\\') last = pos;
  }
  return last;
}

// Steps 1 to 6 shared by both forms: the root handle and the text after the root's '\'.
std::optional<KeyPath> SplitRoot(const std::string& location, UINT codePage) {
  const std::string text = TrimBackslashes(location, codePage);
  if (text.empty()) return std::nullopt;
  const std::size_t separator = FindFirstBackslash(text, codePage);
  if (separator == std::string::npos) return std::nullopt;
  const std::optional<HKEY> root = FindRootKey(UpperCaseIn(text.substr(0, separator), codePage));
  if (!root) return std::nullopt;
  return KeyPath{*root, text.substr(separator + 1)};
}

// ASCII letters compared without case; other bytes exactly.
bool SameAsciiIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// "Software\WOW6432Node" at the start of an HKEY_LOCAL_MACHINE subkey names the 32-bit view.
// The prefix is ASCII and starts the text, so a match is always on whole characters.
void TakeWow64Prefix(KeyPath& key) {
  constexpr std::string_view kPrefix = "software\\wow6432node";
  constexpr std::size_t kSoftware = 8;  // "Software", kept in its own letter case
  const std::string_view subkey = key.subkey;
  if (key.root != HKEY_LOCAL_MACHINE || subkey.size() < kPrefix.size()) return;
  if (!SameAsciiIgnoringCase(subkey.substr(0, kPrefix.size()), kPrefix)) return;
  // "...\WOW6432NodeX" is another key.
  if (subkey.size() > kPrefix.size() && subkey[kPrefix.size()] != '\\') return;
  key.subkey =
      std::string(subkey.substr(0, kSoftware)) + std::string(subkey.substr(kPrefix.size()));
  key.view = KEY_WOW64_32KEY;
}

}  // namespace

const std::vector<RootKeyName>& RootKeyTable() {
  static const std::vector<RootKeyName> table = {
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
      {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
  };
  return table;
}

std::optional<HKEY> FindRootKey(std::string_view upperName) {
  for (const RootKeyName& entry : RootKeyTable()) {
    if (entry.name == upperName) return entry.root;
  }
  return std::nullopt;
}

std::string TrimBackslashes(const std::string& text, UINT codePage) {
  std::size_t begin = 0;
  while (begin < text.size() && text[begin] == '\\') ++begin;  // '\' is never a lead byte
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    const std::size_t next = NextCharIn(text, pos, codePage);
    if (text[pos] != '\\') end = next;
    pos = next;
  }
  return text.substr(begin, end - begin);
}

std::optional<KeyPath> SplitKeyPath(const std::string& location, UINT codePage) {
  std::optional<KeyPath> key = SplitRoot(location, codePage);
  if (key) TakeWow64Prefix(*key);
  return key;
}

std::optional<ValuePath> SplitValuePath(const std::string& location, UINT codePage) {
  std::optional<KeyPath> key = SplitRoot(location, codePage);
  if (!key) return std::nullopt;
  const std::string& rest = key->subkey;
  const std::size_t separator = FindLastBackslash(rest, codePage);
  if (separator == std::string::npos) return std::nullopt;
  return ValuePath{key->root, rest.substr(0, separator), rest.substr(separator + 1)};
}

std::vector<std::string> TrimRegistryLocations(const std::vector<std::string>& locations,
                                               UINT codePage) {
  std::vector<std::string> trimmed;
  for (const std::string& location : locations) {
    std::string text = TrimBackslashes(location, codePage);
    if (!text.empty()) trimmed.push_back(std::move(text));
  }
  return trimmed;
}
