#include "ui/command_states.h"

#include "res/resource.h"

const std::array<int, 9>& EntryCommandIds() {
  static constexpr std::array<int, 9> kIds = {IDC_ADDNEW,   IDC_REMOVE,    IDC_MODIFY,
                                              IDC_ENABLE,   IDC_DISABLE,   IDC_REFRESH,
                                              IDC_PROPERTY, IDC_ABOUTFILE, IDC_JUMPTO};
  return kIds;
}

bool CommandAvailable(int commandId, const SelectionState& selection) {
  switch (commandId) {
    case IDC_ADDNEW:
    case IDC_REFRESH:
      return true;
    case IDC_ENABLE:
      return selection.hasRow && selection.rowDisabled;
    case IDC_DISABLE:
      return selection.hasRow && !selection.rowDisabled;
    default:
      return selection.hasRow;
  }
}

void ApplyToMenu(HMENU menu, const SelectionState& selection) {
  for (const int id : EntryCommandIds()) {
    EnableMenuItem(menu, static_cast<UINT>(id),
                   MF_BYCOMMAND | (CommandAvailable(id, selection) ? MF_ENABLED : MF_GRAYED));
  }
}
