// The program's start-up and shut-down around the main window.
#pragma once

#include <windows.h>

// The single-instance mutex of the program.
inline constexpr char kInstanceMutexName[] = "{7C41A2D0-93E5-4B1F-A6C8-2D590E17B4F3}";

// Runs the whole program: one instance, COM, language file, XML service check, journal, common
// controls, the main window until the user quits, then everything released in reverse order.
// Returns the process exit code (0 for a second instance or without an XML service, 2 after
// "_Exit").
int RunQuorvane(HINSTANCE instance);
