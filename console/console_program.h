// The console program: runs one command line against this machine's entries, config.xml and
// journal, and returns its exit code (0 done, 1 nothing matched or differences, 2 usage or
// failure).
#pragma once

#include <string>
#include <vector>

#include "console/console_streams.h"

enum ExitCode { kExitDone = 0, kExitNoMatch = 1, kExitFailed = 2 };

// args: the arguments after the program name, UTF-8.
int RunConsoleProgram(const std::vector<std::string>& args, const ConsoleStreams& streams);
