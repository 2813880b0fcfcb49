#include "ui/centre_window.h"

namespace {

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

LONG Clamp(LONG start, int size, LONG low, LONG high) {
  if (start + size > high) start = high - size;
  if (start < low) start = low;
  return start;
}

RECT WorkAreaNear(HWND window) {
  RECT area{};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  const HMONITOR monitor = MonitorFromWindow(
      window, window != nullptr ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY);
  if (monitor != nullptr && GetMonitorInfoA(monitor, &info)) return info.rcWork;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  return area;
}

}  // namespace

POINT CentredPosition(const RECT& window, const RECT& over, const RECT& area) {
  const int width = Width(window);
  const int height = Height(window);
  LONG left = (over.left + over.right) / 2 - width / 2;
  LONG top = (over.top + over.bottom) / 2 - height / 2;
  return POINT{Clamp(left, width, area.left, area.right),
               Clamp(top, height, area.top, area.bottom)};
}

void CentreOverOwner(HWND dialog) {
  if (dialog == nullptr) return;
  RECT window{};
  if (!GetWindowRect(dialog, &window)) return;

  RECT over{};
  RECT area{};
  const bool child = (GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD) != 0;
  if (child) {
    const HWND parent = GetParent(dialog);
    if (parent == nullptr) return;
    GetClientRect(parent, &area);
    over = area;
    // The window rectangle in the parent's client coordinates, where the move happens.
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&window), 2);
  } else {
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
      GetWindowRect(owner, &over);
      area = WorkAreaNear(owner);
    } else {
      area = WorkAreaNear(nullptr);
      over = area;
    }
  }
  const POINT at = CentredPosition(window, over, area);
  SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
