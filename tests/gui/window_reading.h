// Reading what windows and controls show, through their own messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

std::string WindowText(HWND window);
// The text of a dialog's control.
std::string ItemText(HWND dialog, int id);
std::string ClassName(HWND window);
// True for a message box (its text is the static with id 0xFFFF).
bool IsMessageBox(HWND dialog);
// The message of a message box; for any other dialog its caption.
std::string DialogMessageText(HWND dialog);
// The texts of every descendant window, in the order EnumChildWindows gives them.
std::vector<std::string> ChildTexts(HWND parent);

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
RECT ClientRect(HWND window);

// The text of a list-view cell (column 0 is the item itself).
std::string ListViewText(HWND list, int row, int column);
// The state image of a list-view row: 1 check box cleared, 2 set, 0 none.
int StateImage(HWND list, int row);

}  // namespace gui
