// Standard output and standard error of the console program, in UTF-8: on a console through the
// wide console calls (the console shows every character), redirected as plain UTF-8 bytes.
#pragma once

#include <functional>
#include <string>

struct ConsoleStreams {
  std::function<void(const std::string& utf8)> out;
  std::function<void(const std::string& utf8)> err;
};

// The process's own standard output and error; a console among them is switched to UTF-8.
ConsoleStreams StandardStreams();
