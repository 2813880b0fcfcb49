// "Jump to": shows an entry where Windows keeps it, in the registry editor at its key or in
// Explorer with its file selected. Both go through the shell opener, which tests replace.
#pragma once

#include <windows.h>

#include "core/entry_kind.h"

// The registry editor opens at the key it last showed, kept under this key of the user.
extern const char kRegeditSettingsKey[];

// True when the shell accepted the request.
bool OpenEntryPlace(HWND owner, const EntryPlace& place);
