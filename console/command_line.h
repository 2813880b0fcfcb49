// The console program's command line: a command word, then options.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class CommandName {
  kHelp,
  kVersion,
  kList,
  kEnable,
  kDisable,
  kRemove,
  kAdd,
  kExport,
  kCompare
};
enum class OutputFormat { kText, kCsv, kJson };
enum class StateFilter { kAll, kOn, kOff };

struct ConsoleCommand {
  CommandName name = CommandName::kHelp;
  OutputFormat format = OutputFormat::kText;
  StateFilter state = StateFilter::kAll;
  bool hash = false;
  bool unsignedOnly = false;  // list: only entries whose program is not verified
  bool replace = false;
  std::optional<std::string> location;
  std::optional<std::string> entryName;
  std::optional<std::string> data;
  std::optional<std::string> command;
  std::string file;  // export's FILE, compare's BASELINE
};

// The parsed command, or the argument that makes it unusable (an unknown command or option, a
// value missing or out of its set, an option the command does not take, a required one absent).
struct ParsedCommand {
  std::optional<ConsoleCommand> command;
  std::string offending;
};

// args excludes the program name; no arguments at all is a request for help.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args);
