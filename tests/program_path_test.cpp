// The command-line rule: which program a command line starts, with what arguments, and which
// file About file inspects, over a made-up machine of files, a search path and an environment.
#include "core/program_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A machine: the files that exist (names ignore case), what the search path finds, and the
// environment.
struct Machine {
  std::set<std::string> files;
  std::map<std::string, std::string> searchable;
  std::map<std::string, std::string> environment;

  ProgramLookup Lookup() const {
    ProgramLookup lookup;
    lookup.fileExists = [this](const std::string& path) { return files.count(Lower(path)) > 0; };
    lookup.searchPath = [this](const std::string& name) {
      const auto found = searchable.find(Lower(name));
      return found == searchable.end() ? std::string() : found->second;
    };
    lookup.expandEnvironment = [this](std::string text) {
      for (const auto& [name, value] : environment) {
        for (std::size_t at; (at = Lower(text).find(name)) != std::string::npos;) {
          text.replace(at, name.size(), value);
        }
      }
      return text;
    };
    return lookup;
  }
};

Machine Windows() {
  Machine m;
  for (const char* file :
       {"C:\\Program Files\\Contoso\\sync.exe", "C:\\My - Tools\\app.exe", "C:\\Tools\\app.exe",
        "C:\\Windows\\notepad.exe", "C:\\Windows\\System32\\rundll32.exe",
        "C:\\Windows\\System32\\shell32.dll", "C:\\Tools\\Big", "C:\\Tools\\Big Tool.exe"}) {
    m.files.insert(Lower(file));
  }
  m.searchable = {{"rundll32.exe", "C:\\Windows\\System32\\rundll32.exe"},
                  {"rundll32", "C:\\Windows\\System32\\rundll32.exe"},
                  {"shell32.dll", "C:\\Windows\\System32\\shell32.dll"},
                  {"notepad", "C:\\Windows\\notepad.exe"}};
  m.environment = {{"%windir%", "C:\\Windows"}, {"%programfiles%", "C:\\Program Files"}};
  return m;
}

struct Case {
  const char* commandLine;
  Expand expand;
  const char* program;
  const char* arguments;
  const char* file;  // what About file inspects
  bool found;
};

void Check(const Machine& machine, const Case& c) {
  SCOPED_TRACE(c.commandLine);
  const ProgramLookup lookup = machine.Lookup();
  const CommandLineParts parts = SplitCommandLine(c.commandLine, lookup, c.expand);
  EXPECT_EQ(parts.program, c.program);
  EXPECT_EQ(parts.arguments, c.arguments);
  EXPECT_EQ(parts.found, c.found);
  EXPECT_EQ(ProgramFileOf(c.commandLine, lookup, c.expand), c.file);
}

TEST(CommandLineRule, FindsTheProgramAsWindowsStartsIt) {
  const Case cases[] = {
      {"\"C:\\Program Files\\Contoso\\sync.exe\" --profile \"Work Account\"", Expand::kNo,
       "C:\\Program Files\\Contoso\\sync.exe", "--profile \"Work Account\"",
       "C:\\Program Files\\Contoso\\sync.exe", true},
      {"C:\\Program Files\\Contoso\\sync.exe --profile x", Expand::kNo,
       "C:\\Program Files\\Contoso\\sync.exe", "--profile x",
       "C:\\Program Files\\Contoso\\sync.exe", true},
      {"C:\\My - Tools\\app.exe", Expand::kNo, "C:\\My - Tools\\app.exe", "",
       "C:\\My - Tools\\app.exe", true},
      {"C:\\My - Tools\\app.exe -silent /min", Expand::kNo, "C:\\My - Tools\\app.exe",
       "-silent /min", "C:\\My - Tools\\app.exe", true},
      // ".exe" is tried where the name has none.
      {"C:\\Tools\\app /min", Expand::kNo, "C:\\Tools\\app.exe", "/min", "C:\\Tools\\app.exe",
       true},
      // The shortest prefix that names a file wins, as it does for Windows.
      {"C:\\Tools\\Big Tool.exe", Expand::kNo, "C:\\Tools\\Big", "Tool.exe", "C:\\Tools\\Big",
       true},
      {"notepad  readme.txt", Expand::kNo, "C:\\Windows\\notepad.exe", "readme.txt",
       "C:\\Windows\\notepad.exe", true},
      {"rundll32.exe shell32.dll,Control_RunDLL", Expand::kNo,
       "C:\\Windows\\System32\\rundll32.exe", "shell32.dll,Control_RunDLL",
       "C:\\Windows\\System32\\shell32.dll", true},
      {"rundll32 \"C:\\Program Files\\Contoso\\hook.dll\",Start", Expand::kNo,
       "C:\\Windows\\System32\\rundll32.exe", "\"C:\\Program Files\\Contoso\\hook.dll\",Start",
       "C:\\Program Files\\Contoso\\hook.dll", true},
      {"%windir%\\notepad.exe file.txt", Expand::kYes, "C:\\Windows\\notepad.exe", "file.txt",
       "C:\\Windows\\notepad.exe", true},
      {"\"%ProgramFiles%\\Contoso\\sync.exe\" /q", Expand::kYes,
       "C:\\Program Files\\Contoso\\sync.exe", "/q", "C:\\Program Files\\Contoso\\sync.exe", true},
      // Without expansion the text is taken as written.
      {"%windir%\\notepad.exe file.txt", Expand::kNo, "%windir%\\notepad.exe", "file.txt",
       "%windir%\\notepad.exe", false},
  };
  const Machine machine = Windows();
  for (const Case& c : cases) Check(machine, c);
}

// Where nothing exists the text alone decides. These are the examples the former cut at " /"
// and " -" was tested with; three read differently now, on purpose: a folder name with " -"
// is kept whole, quotes around everything enclose the path, and rundll32 inspects its FILE.
TEST(CommandLineRule, WithoutFilesTheTextDecides) {
  const Case cases[] = {
      {"\"C:\\Tools\\app.exe\" /min", Expand::kNo, "C:\\Tools\\app.exe", "/min",
       "C:\\Tools\\app.exe", false},
      {"C:\\Tools\\app.exe /min", Expand::kNo, "C:\\Tools\\app.exe", "/min", "C:\\Tools\\app.exe",
       false},
      {"C:\\Tools\\app.exe -silent", Expand::kNo, "C:\\Tools\\app.exe", "-silent",
       "C:\\Tools\\app.exe", false},
      {"   C:\\Tools\\app.exe   ", Expand::kNo, "C:\\Tools\\app.exe", "", "C:\\Tools\\app.exe",
       false},
      {"\"C:\\Program Files\\App\\app.exe\"", Expand::kNo, "C:\\Program Files\\App\\app.exe", "",
       "C:\\Program Files\\App\\app.exe", false},
      {"C:\\My - Tools\\app.exe", Expand::kNo, "C:\\My - Tools\\app.exe", "",
       "C:\\My - Tools\\app.exe", false},
      {"\"C:\\a b\\x.exe -q\"", Expand::kNo, "C:\\a b\\x.exe -q", "", "C:\\a b\\x.exe -q", false},
      {"", Expand::kNo, "", "", "", false},
      {"   ", Expand::kNo, "", "", "", false},
      {"\"\"", Expand::kNo, "", "", "", false},
      {"\"", Expand::kNo, "", "", "", false},
      {" /x", Expand::kNo, "/x", "", "/x", false},
      {"/x /y", Expand::kNo, "/x", "/y", "/x", false},
      {"rundll32.exe shell32.dll,Control_RunDLL", Expand::kNo, "rundll32.exe",
       "shell32.dll,Control_RunDLL", "shell32.dll", false},
      // No program extension anywhere: the first token.
      {"C:\\Docs\\notes.txt x y", Expand::kNo, "C:\\Docs\\notes.txt", "x y", "C:\\Docs\\notes.txt",
       false},
  };
  for (const Case& c : cases) Check(Machine{}, c);
}

// A shortcut's data column is written back through the rule (Enable from a record, Modify):
// joining target and arguments and splitting again must give the same two parts, whether the
// target exists or not.
TEST(CommandLineRule, JoinedTargetAndArgumentsSplitBackExactly) {
  const std::pair<const char*, const char*> parts[] = {
      {"C:\\Program Files\\Contoso\\sync.exe", "--profile \"Work Account\""},
      {"C:\\Program Files\\Contoso\\sync.exe", ""},
      {"C:\\Program Files\\Contoso\\missing.exe", "/min"},
      {"C:\\My - Tools\\app.exe", "-q"},
      {"C:\\Tools\\app.exe", ""},
      {"C:\\Docs\\notes.txt", "x"},
      {"C:\\Tools\\Big Tool.exe", "/q"},
  };
  EXPECT_EQ(JoinCommandLine("C:\\Program Files\\x.exe", "/q"), "\"C:\\Program Files\\x.exe\" /q");
  EXPECT_EQ(JoinCommandLine("C:\\Tools\\app.exe", ""), "C:\\Tools\\app.exe");
  for (const Machine& machine : {Windows(), Machine{}}) {
    const ProgramLookup lookup = machine.Lookup();
    for (const auto& [program, arguments] : parts) {
      const std::string joined = JoinCommandLine(program, arguments);
      SCOPED_TRACE(joined);
      const CommandLineParts split = SplitCommandLine(joined, lookup, Expand::kNo);
      EXPECT_EQ(split.program, program);
      EXPECT_EQ(split.arguments, arguments);
    }
  }
}

}  // namespace
