// Location strings of the registry and list-value views: the root-key table and the split of
// "HKEY_...\subkey[\value]" into a root handle, a subkey and a value name. Text is stepped by
// character of codePage (CP_ACP in the program), so double-byte characters stay whole.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RootKeyName {
  std::string_view name;  // upper case
  HKEY root;
};

// The five root keys a location string may begin with.
const std::vector<RootKeyName>& RootKeyTable();

// The handle of an upper-case root name (exact comparison); nullopt for any other name.
std::optional<HKEY> FindRootKey(std::string_view upperName);

// A registry view's location: root, the key under it and the registry view it is in (the flag
// every registry call of it adds: 0, or KEY_WOW64_32KEY).
struct KeyPath {
  HKEY root = nullptr;
  std::string subkey;
  REGSAM view = 0;
};

// A list-value view's location: root, the key under it and the value's name.
struct ValuePath {
  HKEY root = nullptr;
  std::string subkey;
  std::string valueName;
};

// The text without every leading and every trailing '\'.
std::string TrimBackslashes(const std::string& text, UINT codePage = CP_ACP);

// Splits "ROOT\subkey" after trimming backslashes; the root name is upper-cased before the
// lookup. nullopt when the text is empty, has no '\' or names no known root.
// A key under HKEY_LOCAL_MACHINE\Software\WOW6432Node (any letter case) is the 32-bit view's
// key: the subkey loses "WOW6432Node\" and the view is KEY_WOW64_32KEY, so the system's own
// redirection finds the key 32-bit programs use, as it does on 64-bit Windows.
std::optional<KeyPath> SplitKeyPath(const std::string& location, UINT codePage = CP_ACP);

// Splits "ROOT\subkey\value" the same way; the value name follows the last '\'. nullopt also
// when the part after the root has no '\'.
std::optional<ValuePath> SplitValuePath(const std::string& location, UINT codePage = CP_ACP);

// The location list a registry view keeps: each string trimmed of leading and trailing '\',
// empty results dropped, order kept.
std::vector<std::string> TrimRegistryLocations(const std::vector<std::string>& locations,
                                               UINT codePage = CP_ACP);
