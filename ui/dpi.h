// Pixel sizes in the widgets are given for 96 DPI; these helpers scale them for a window.
#pragma once

#include <windows.h>

// The DPI a window is shown at: GetDpiForWindow where the system has it, else the screen DC's
// horizontal resolution. Never 0.
UINT DpiForWindow(HWND window);

// A length given at 96 DPI scaled for the window's DPI.
int ScaleForWindow(HWND window, int px96);
