// Process-wide state of the component DLL: its module handle and the count of live objects and
// server locks that decides when COM may unload it.
#pragma once

#include <windows.h>

HMODULE ComponentModule();
void LockModule();
void UnlockModule();
bool ModuleInUse();
