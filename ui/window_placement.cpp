#include "ui/window_placement.h"

#include <algorithm>

namespace {

// Workspace coordinates are measured from the primary work area's corner.
POINT WorkspaceOrigin() {
  RECT work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return POINT{0, 0};
  return POINT{work.left, work.top};
}

RECT Offset(RECT rect, int dx, int dy) {
  OffsetRect(&rect, dx, dy);
  return rect;
}

}  // namespace

RECT FitIntoArea(const RECT& rect, const RECT& area) {
  const LONG width = std::min(rect.right - rect.left, area.right - area.left);
  const LONG height = std::min(rect.bottom - rect.top, area.bottom - area.top);
  const LONG left = std::clamp(rect.left, area.left, area.right - width);
  const LONG top = std::clamp(rect.top, area.top, area.bottom - height);
  return RECT{left, top, left + width, top + height};
}

WindowSettings::Placement CapturePlacement(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window, &placement);
  // A minimised window remembers how it will come back.
  const bool maximized =
      IsZoomed(window) || (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
  return WindowSettings::Placement{placement.rcNormalPosition, maximized};
}

void ShowAtPlacement(HWND window, const std::optional<WindowSettings::Placement>& remembered,
                     SIZE minimum) {
  if (!remembered) {
    ShowWindow(window, SW_SHOWMAXIMIZED);
    return;
  }
  const POINT origin = WorkspaceOrigin();
  RECT screen = Offset(remembered->normal, origin.x, origin.y);
  if (!MonitorFromRect(&screen, MONITOR_DEFAULTTONULL)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST), &monitor)) {
      // Fitted as large as the window will be, so the minimum size cannot push it off again.
      screen.right = std::max(screen.right, screen.left + minimum.cx);
      screen.bottom = std::max(screen.bottom, screen.top + minimum.cy);
      screen = FitIntoArea(screen, monitor.rcWork);
    }
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window, &placement);
  placement.flags = 0;
  placement.showCmd = remembered->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement.rcNormalPosition = Offset(screen, -origin.x, -origin.y);
  SetWindowPlacement(window, &placement);
}
