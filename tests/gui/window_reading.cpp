#include "gui/window_reading.h"

#include <commctrl.h>

namespace gui {

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

bool IsMessageBox(HWND dialog) {
  return GetDlgItem(dialog, 0xFFFF) != nullptr;
}

std::string DialogMessageText(HWND dialog) {
  return IsMessageBox(dialog) ? ItemText(dialog, 0xFFFF) : WindowText(dialog);
}

std::vector<std::string> ChildTexts(HWND parent) {
  std::vector<std::string> texts;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT ClientRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

std::string ListViewText(HWND list, int row, int column) {
  char buffer[1024] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof(buffer);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int StateImage(HWND list, int row) {
  const auto state = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

}  // namespace gui
