// Dispatching the test thread's messages, so windows paint, timers fire and posted work runs.
#pragma once

#include <windows.h>

namespace gui {

// Dispatches every message waiting for this thread.
void PumpPending();
// Dispatches messages for about ms milliseconds (lets painting and timers settle).
void PumpFor(DWORD ms);

}  // namespace gui
