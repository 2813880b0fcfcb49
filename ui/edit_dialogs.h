// The Add, Modify and Property dialogs (203, 205, 207): the four fields of an autorun entry, with
// the OK checks and a Browse button for the application path.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/prompter.h"

class LanguageTable;

// Empty fields for a new entry of the given type and location; nullopt on Cancel.
std::optional<EntryInput> ShowAddDialog(HWND owner, const LanguageTable& language,
                                        const std::string& type, const std::string& location);
// The entry's fields preset; the new name and path on OK, nullopt on Cancel.
std::optional<EntryInput> ShowModifyDialog(HWND owner, const LanguageTable& language,
                                           const EntryFields& fields);
// The entry's fields, read-only; returns when closed.
void ShowPropertyDialog(HWND owner, const LanguageTable& language, const EntryFields& fields);
