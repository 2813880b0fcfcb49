// The file information dialog (220): a program file's icon, path, version texts, times and size,
// with a web search for its name and Explorer opened on it.
#pragma once

#include <windows.h>

#include <string>

class LanguageTable;

// Shows the dialog modally over owner and returns when it is closed.
void ShowFileInfoDialog(HWND owner, const LanguageTable& language, const std::string& path);
