// The About dialog (236): the program's name and version, links to the product and support
// pages, the thank-you list and the warning text.
#pragma once

#include <windows.h>

class LanguageTable;

// Shows the dialog modally over owner and returns when it is closed.
void ShowAboutDialog(HWND owner, const LanguageTable& language);
