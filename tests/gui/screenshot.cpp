#include "gui/screenshot.h"

#include <cstdlib>

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
  // A run at another DPI keeps its pictures beside those of the normal run.
  const char* dpi = std::getenv("QV_TEST_DPI");
  const std::string suffix = dpi && *dpi ? std::string("_dpi") + dpi : std::string();
  const std::string path = folder + "\\" + name + suffix + ".bmp";
  return Capture(window, Capture::Area::kWindow).SaveBmp(path) ? path : std::string();
}

}  // namespace gui
