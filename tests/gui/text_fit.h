// Finding control texts that their controls cut: each static and button text is measured with the
// control's own font against the room the control gives it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

// The visible statics and buttons among window's descendants whose text does not fit, each as
// "<control id>: <text>". Multi-line statics are measured word-wrapped at their width, everything
// else on one line. Empty when every text fits.
std::vector<std::string> CutTexts(HWND window);

}  // namespace gui
