// Taking a top-level window's placement for the settings and giving it back at the next start.
#pragma once

#include <windows.h>

#include <optional>

#include "store/window_settings.h"

// rect moved (and, when larger, shrunk) so that it lies wholly inside area.
RECT FitIntoArea(const RECT& rect, const RECT& area);

// The window's restored rectangle (workspace coordinates, as GetWindowPlacement gives it) and
// whether it is maximised now.
WindowSettings::Placement CapturePlacement(HWND window);

// Shows the window at a remembered placement, maximised when there is none. A rectangle that is
// on no monitor any more is pulled onto the nearest monitor's work area, at no less than the
// window's minimum size.
void ShowAtPlacement(HWND window, const std::optional<WindowSettings::Placement>& placement,
                     SIZE minimum);
