// Program entry point. The command line and the show command are not used: the main window
// always opens maximised.
#include <windows.h>

#include "ui/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunQuorvane(instance);
}
