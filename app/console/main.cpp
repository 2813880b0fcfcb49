// Entry point of the console program: the arguments as UTF-8, the exit code of the command.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "console/console_program.h"
#include "console/utf8_text.h"

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(Utf8FromWide(argv[i]));
  if (argv) LocalFree(argv);
  return RunConsoleProgram(args, StandardStreams());
}
