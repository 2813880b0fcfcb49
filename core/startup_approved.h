// Windows' own on/off switch of a run entry, the one Task Manager and Settings flip: a
// REG_BINARY value named as the entry (the registry value's name, or the file's name) under a
// StartupApproved key. Its first byte is odd while Windows has the entry switched off, and bytes
// 4 to 11 then hold the FILETIME of that moment; no value, or an even first byte, means on.
//
// Which key holds the switch of which location is a table, so tests point it at keys of their
// own; the program uses the table of the real keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/status.h"

class Registry;

// Windows' switch as read from the value's bytes.
struct ApprovedState {
  bool off = false;
  std::uint64_t offSince = 0;  // FILETIME ticks; 0 when unknown
};

// The state a value's bytes say. A value too short to hold the date (fewer than 12 bytes) is
// still off when its first byte is odd, without a date.
ApprovedState ParseApprovedValue(const std::string& bytes);

// What Windows writes when it switches an entry on: 12 bytes, 0x02 then zeros.
std::string SwitchedOnValue();

// The key that holds the switches of one location's entries.
struct ApprovedKey {
  HKEY root = nullptr;
  std::string subkey;
};

// Location (registry key path, or startup folder) to the key of its switches.
class ApprovedPlaces {
 public:
  // Locations are matched ignoring case and trailing backslashes; empty ones are ignored.
  void Add(const std::string& location, HKEY root, std::string subkey);
  std::optional<ApprovedKey> KeyFor(const std::string& location) const;

 private:
  struct Place {
    std::string location;  // in its key form
    ApprovedKey key;
  };
  std::vector<Place> places_;
};

// The StartupApproved keys of Windows for the HKCU and HKLM Run keys, the 32-bit HKLM Run key
// and the two startup folders (all users' and the current user's).
ApprovedPlaces WindowsApprovedPlaces(const std::string& allUsersFolder,
                                     const std::string& currentUserFolder);

// The switches of every value of key, by upper-cased name; values of another type than
// REG_BINARY say nothing and are left out. Empty when the key cannot be listed.
class ApprovedStates {
 public:
  ApprovedStates() = default;
  ApprovedStates(Registry& registry, const ApprovedKey& key);
  ApprovedState Of(const std::string& name) const;

 private:
  std::unordered_map<std::string, ApprovedState> states_;
};

// One entry's switch, read afresh.
ApprovedState ReadApproved(Registry& registry, const ApprovedKey& key, const std::string& name);

// Switches the entry on as Windows does, when its value says off; nothing to do otherwise.
// Before (when given) receives the value's bytes for PutApprovedBack; empty when nothing was
// written.
Status SwitchOn(Registry& registry, const ApprovedKey& key, const std::string& name,
                std::string* before = nullptr);

// Writes back the bytes SwitchOn replaced (best effort, after a refused operation).
void PutApprovedBack(Registry& registry, const ApprovedKey& key, const std::string& name,
                     const std::string& before);

// Deletes the entry's switch, when there is one of Windows' type; no value counts as deleted.
Status DeleteApproved(Registry& registry, const ApprovedKey& key, const std::string& name);

// Carries the entry's switch over to its new name after a rename, so an entry Windows has
// switched off stays off. Best effort: the old switch goes only once the new one is written.
void MoveApproved(Registry& registry, const ApprovedKey& key, const std::string& from,
                  const std::string& to);
