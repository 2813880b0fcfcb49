// Screenshots a person can look at: BMP files under <build>/screenshots, which the test session
// turns into PNG when it ends.
#pragma once

#include <windows.h>

#include <string>

namespace gui {

// Raises the window, lets it paint, and saves the whole window (frame, menu and children) as
// <build>/screenshots/<name>.bmp (<name>_dpi<N>.bmp in a run at QV_TEST_DPI=N); returns the
// path, empty on failure.
std::string SaveScreenshot(HWND window, const std::string& name);

}  // namespace gui
