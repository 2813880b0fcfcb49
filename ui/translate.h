// Translation of windows and menus in place: dialog templates and menus carry language keys as
// their texts, and these turn them into the texts of the language table when they are shown.
#pragma once

#include <windows.h>

class LanguageTable;

// A text may name its command's key after a backslash-t pair ("Re&fresh\tF5"): menus show the
// key in their key column, windows leave it out.
// Translates a window's own text and the texts of all its descendants (escapes expanded).
void TranslateWindow(const LanguageTable& language, HWND window);
// Translates a menu and its submenus by position, keeping ids, states and submenus.
void TranslateMenu(const LanguageTable& language, HMENU menu);
