// Centres a dialog over its owner (or over its parent's client area for a child window), kept
// inside the work area, without changing its size.
#pragma once

#include <windows.h>

// The top-left corner for a window of rectangle `window` centred over `over` and then moved so
// that its right and bottom edges do not pass `area` and its left and top edges stay inside it
// (left and top win when the window is larger than the area). All in one coordinate system.
POINT CentredPosition(const RECT& window, const RECT& over, const RECT& area);

// Popup: over the owner's window rectangle inside the owner's monitor work area; over the work
// area when the owner is missing, hidden or minimised. Child: over and inside the parent's client
// area. Moves the window without size, z-order or activation change.
void CentreOverOwner(HWND dialog);
