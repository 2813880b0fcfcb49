// The one rule that turns a command line into the program it starts, as Windows reads it. Pure
// text: what exists on disk, the search path and the environment come in as callbacks, so the
// rule is testable without a file system (platform/program_lookup.h binds it to Windows).
#pragma once

#include <functional>
#include <string>

#include "core/exe_paths.h"

struct ProgramLookup {
  // True when path names an existing file (not a folder).
  std::function<bool(const std::string& path)> fileExists;
  // The full path of a bare program name found along the search path (".exe" tried where the
  // name has no extension); empty when there is none.
  std::function<std::string(const std::string& name)> searchPath;
  // text with its %VARIABLE% references replaced by their values.
  std::function<std::string(const std::string& text)> expandEnvironment;
  // Steps by character, so a double-byte trail byte is never taken for '\'.
  NextCharFn next = NextByte;
};

// A command line split into the program it names and the arguments that follow.
struct CommandLineParts {
  std::string program;    // without quotes; the file found when one was
  std::string arguments;  // the rest, without the blanks that separate it from the program
  bool found = false;     // program names a file that exists (directly or along the path)
};

// How a command line is read: the data of a REG_EXPAND_SZ value has its environment variables
// expanded first, as Windows does before it starts the program.
enum class Expand { kNo, kYes };

// The program and its arguments:
// - a quoted first token is the program, the text after its closing quote the arguments;
// - otherwise, as Windows starts a program, the shortest blank-separated prefix that names an
//   existing file (also with ".exe" where it has no extension), a bare name also along the
//   search path;
// - when no prefix names a file, the shortest prefix whose name ends in a program extension
//   (.exe, .com, .bat, .cmd), else the first blank-separated token.
CommandLineParts SplitCommandLine(const std::string& commandLine, const ProgramLookup& lookup,
                                  Expand expand);

// The file a command line starts, for looking at it: the program of SplitCommandLine, except
// that for "rundll32.exe FILE,Entry" it is FILE, resolved like a program.
std::string ProgramFileOf(const std::string& commandLine, const ProgramLookup& lookup,
                          Expand expand);

// The command line that SplitCommandLine splits back into program and arguments: the program,
// quoted when it holds a blank, then the arguments after one blank.
std::string JoinCommandLine(const std::string& program, const std::string& arguments);
