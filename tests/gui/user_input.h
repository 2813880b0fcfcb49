// Clicks and key presses as a user makes them, sent to the controls themselves.
#pragma once

#include <windows.h>

namespace gui {

// Clicks a dialog's button and returns when the dialog has handled it (a modal window the
// click opens runs, and is answered, inside this call). Without such a button the command is
// posted.
void ClickButton(HWND dialog, int id);
// Posts the click of a dialog's button: it is handled once the dialog's loop runs again, so a
// modal window it opens never starts inside the caller.
void PostClick(HWND dialog, int id);
// Posts a key press to the dialog's focused control (or the dialog), so the dialog manager
// turns it into its command.
void PressKey(HWND dialog, UINT key);
// Clicks the state (check box) icon of a list-view row with the left button; false when the
// row shows no such icon.
bool ClickCheckBox(HWND list, int row);

}  // namespace gui
