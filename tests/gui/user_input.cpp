#include "gui/user_input.h"

#include <commctrl.h>

#include "gui/pump.h"

namespace gui {

void ClickButton(HWND dialog, int id) {
  if (HWND button = GetDlgItem(dialog, id)) {
    SendMessageA(button, BM_CLICK, 0, 0);
  } else {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

void PostClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressKey(HWND dialog, UINT key) {
  HWND target = GetFocus();
  if (target == nullptr || (target != dialog && !IsChild(dialog, target))) target = dialog;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

bool ClickCheckBox(HWND list, int row) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) return false;
  const int y = (bounds.top + bounds.bottom) / 2;
  for (int x = bounds.left; x < bounds.left + 60; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
      SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
      PumpPending();
      return true;
    }
  }
  return false;
}

}  // namespace gui
