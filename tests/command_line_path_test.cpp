// The About file command reduces a command line to the program path it inspects.
#include "ui/command_line_path.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* commandLine;
  const char* path;
};

const Case kCases[] = {
    {"\"C:\\Tools\\app.exe\" /min", "C:\\Tools\\app.exe"},
    {"C:\\Tools\\app.exe /min", "C:\\Tools\\app.exe"},
    {"C:\\Tools\\app.exe -silent", "C:\\Tools\\app.exe"},
    {"   C:\\Tools\\app.exe   ", "C:\\Tools\\app.exe"},
    {"\"C:\\Program Files\\App\\app.exe\"", "C:\\Program Files\\App\\app.exe"},
    // A folder name with " -" is cut there: the rule cannot tell it from a switch.
    {"C:\\My - Tools\\app.exe", "C:\\My"},
    // Quotes around the whole command line go first, then the switch is cut.
    {"\"C:\\a b\\x.exe -q\"", "C:\\a b\\x.exe"},
    {"", ""},
    {"   ", ""},
    {"\"\"", ""},
    {"\"", ""},
    // " /" at position 0 is not a switch of a program path.
    {" /x", "/x"},
    {"/x /y", "/x"},
    {"rundll32.exe shell32.dll,Control_RunDLL", "rundll32.exe shell32.dll,Control_RunDLL"},
};

TEST(ProgramPathOfCommandLine, ReducesCommandLinesToTheProgram) {
  for (const Case& c : kCases) {
    EXPECT_EQ(ProgramPathOfCommandLine(c.commandLine), c.path) << "command line: " << c.commandLine;
  }
}

}  // namespace
