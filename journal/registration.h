// The registry entries that make the journal class creatable by its ProgID: written under a
// classes root (HKLM\Software\Classes for everyone, HKCU\Software\Classes for one user).
#pragma once

#include <windows.h>

#include <string>

// Where the classes root sits under HKEY_LOCAL_MACHINE (everyone) or HKEY_CURRENT_USER.
constexpr const wchar_t* kClassesKey = L"Software\\Classes";

// Writes ProgID -> CLSID, CLSID\InprocServer32 = dllPath (ThreadingModel Apartment) and
// CLSID\ProgID. On failure nothing of it is left behind.
HRESULT RegisterJournalClass(HKEY root, const std::wstring& dllPath);
// Removes the class key and the ProgID (the ProgID only while it still names this class).
// S_OK also when nothing was registered.
HRESULT UnregisterJournalClass(HKEY root);
