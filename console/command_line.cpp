#include "console/command_line.h"

#include <map>
#include <set>

namespace {

const std::map<std::string, CommandName> kCommands = {
    {"list", CommandName::kList},       {"enable", CommandName::kEnable},
    {"disable", CommandName::kDisable}, {"remove", CommandName::kRemove},
    {"add", CommandName::kAdd},         {"export", CommandName::kExport},
    {"compare", CommandName::kCompare}, {"--help", CommandName::kHelp},
    {"-h", CommandName::kHelp},         {"/?", CommandName::kHelp},
    {"help", CommandName::kHelp},       {"--version", CommandName::kVersion}};

// The options each command takes; those with a value are listed in kValued.
const std::map<CommandName, std::set<std::string>> kAllowed = {
    {CommandName::kHelp, {}},
    {CommandName::kVersion, {}},
    {CommandName::kList, {"--format", "--location", "--state", "--hash", "--unsigned"}},
    {CommandName::kEnable, {"--location", "--name", "--data"}},
    {CommandName::kDisable, {"--location", "--name", "--data"}},
    {CommandName::kRemove, {"--location", "--name", "--data"}},
    {CommandName::kAdd, {"--location", "--name", "--command", "--replace"}},
    {CommandName::kExport, {}},
    {CommandName::kCompare, {"--format"}}};
const std::set<std::string> kValued = {"--format", "--location", "--state",
                                       "--name",   "--data",     "--command"};

ParsedCommand Bad(const std::string& argument) {
  return {std::nullopt, argument};
}

}  // namespace

ParsedCommand ParseCommandLine(const std::vector<std::string>& args) {
  ConsoleCommand command;
  if (args.empty()) return {command, {}};
  const auto found = kCommands.find(args[0]);
  if (found == kCommands.end()) return Bad(args[0]);
  command.name = found->second;
  const std::set<std::string>& allowed = kAllowed.at(command.name);
  const bool takesFile =
      command.name == CommandName::kExport || command.name == CommandName::kCompare;
  bool haveFile = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      if (!takesFile || haveFile) return Bad(arg);
      command.file = arg;
      haveFile = true;
      continue;
    }
    if (!allowed.count(arg)) return Bad(arg);
    if (arg == "--hash") {
      command.hash = true;
      continue;
    }
    if (arg == "--unsigned") {
      command.unsignedOnly = true;
      continue;
    }
    if (arg == "--replace") {
      command.replace = true;
      continue;
    }
    if (!kValued.count(arg) || i + 1 >= args.size()) return Bad(arg);
    const std::string& value = args[++i];
    if (arg == "--format") {
      if (value == "text") {
        command.format = OutputFormat::kText;
      } else if (value == "json") {
        command.format = OutputFormat::kJson;
      } else if (value == "csv" && command.name == CommandName::kList) {
        command.format = OutputFormat::kCsv;
      } else {
        return Bad(arg + " " + value);
      }
    } else if (arg == "--state") {
      if (value == "on") {
        command.state = StateFilter::kOn;
      } else if (value == "off") {
        command.state = StateFilter::kOff;
      } else if (value == "all") {
        command.state = StateFilter::kAll;
      } else {
        return Bad(arg + " " + value);
      }
    } else if (arg == "--location") {
      command.location = value;
    } else if (arg == "--name") {
      command.entryName = value;
    } else if (arg == "--data") {
      command.data = value;
    } else if (arg == "--command") {
      command.command = value;
    }
  }
  if (takesFile && !haveFile) return Bad(args[0]);
  const bool namesEntry = command.name == CommandName::kEnable ||
                          command.name == CommandName::kDisable ||
                          command.name == CommandName::kRemove || command.name == CommandName::kAdd;
  if (namesEntry && (!command.location || !command.entryName)) return Bad(args[0]);
  if (command.name == CommandName::kAdd && !command.command) return Bad(args[0]);
  return {command, {}};
}
