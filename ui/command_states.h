// Which entry commands a location view offers for its selection. The view's buttons, the main
// menu's "_Operation" popup and the context menu all follow this one rule.
#pragma once

#include <windows.h>

#include <array>

struct SelectionState {
  bool hasRow = false;       // a row is selected
  bool rowDisabled = false;  // its check box is cleared
};

// The entry commands, in menu order.
const std::array<int, 9>& EntryCommandIds();

// True when the command can act on the selection: Add and Refresh always; Enable only on a
// cleared row, Disable only on a checked one; the others on any selected row.
bool CommandAvailable(int commandId, const SelectionState& selection);

// Enables or grays every entry command the menu holds (by command identifier).
void ApplyToMenu(HMENU menu, const SelectionState& selection);
