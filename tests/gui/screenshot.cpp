#include "gui/screenshot.h"

#include "gui/capture.h"
#include "gui/pump.h"
#include "gui/tree_paths.h"

namespace gui {

std::string SaveScreenshot(HWND window, const std::string& name) {
  if (!IsWindow(window)) return {};
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(200);  // posted work and late painting settle first
  const std::string folder = BuildPath("screenshots");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".bmp";
  return Capture(window, Capture::Area::kWindow).SaveBmp(path) ? path : std::string();
}

}  // namespace gui
