#include "ui/jump_to.h"

#include <string>

#include "ui/shell_opener.h"

const char kRegeditSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

bool OpenEntryPlace(HWND owner, const EntryPlace& place) {
  if (place.kind == EntryPlace::Kind::kFile) {
    return OpenWithShell(owner, "explorer.exe", "/select,\"" + place.path + "\"");
  }
  // The editor's tree names its root "Computer"; /m opens a new window even when one is open,
  // since a running editor would ignore the key.
  const std::string lastKey = "Computer\\" + place.path;
  RegSetKeyValueA(HKEY_CURRENT_USER, kRegeditSettingsKey, "LastKey", REG_SZ, lastKey.c_str(),
                  static_cast<DWORD>(lastKey.size() + 1));
  return OpenWithShell(owner, "regedit.exe", "/m");
}
