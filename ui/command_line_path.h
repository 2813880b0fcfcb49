// Reduces an entry's command line to the program path that About file inspects.
#pragma once

#include <string>

// Trims blanks, drops an enclosing pair of quotes, cuts at " /" or " -" (switches), and drops an
// enclosing pair of quotes again: "\"C:\\Tools\\app.exe\" /min" gives C:\Tools\app.exe.
std::string ProgramPathOfCommandLine(const std::string& commandLine);
