// enable, disable, remove and add: the named entry is found among its location's rows and the
// kind's own operation runs on it, answered by the console prompter.
#include <optional>

#include "console/console_context.h"
#include "console/console_program.h"
#include "console/console_prompter.h"
#include "console/console_rows.h"
#include "console/entry_listing.h"
#include "console/utf8_text.h"
#include "store/disabled_store.h"

namespace {

// The rows the command may act on: enable takes what is off, disable what is on.
bool Eligible(CommandName name, const ConsoleRows::Held& held) {
  if (name == CommandName::kEnable) return !held.check;
  if (name == CommandName::kDisable) return held.check;
  return true;
}

int Finish(const ConsolePrompter& prompter, const ConsoleContext& context) {
  for (const std::string& name : prompter.DeclinedReplacements())
    context.Tell("_CliReplaceRefused", name);
  for (const std::string& message : prompter.Refusals())
    context.streams.err(Utf8FromAnsi(message) + "\r\n");
  return prompter.Refusals().empty() && prompter.DeclinedReplacements().empty() ? kExitDone
                                                                                : kExitFailed;
}

}  // namespace

int RunEntryChange(const ConsoleCommand& command, const ConsoleContext& context) {
  // The kinds address entries by 8-bit text: a name it cannot carry names no entry.
  const std::optional<std::string> location = AnsiFromUtf8(*command.location);
  const std::optional<std::string> name = AnsiFromUtf8(*command.entryName);
  const std::optional<std::string> data =
      command.data ? AnsiFromUtf8(*command.data) : std::optional<std::string>();
  const std::optional<std::string> newData =
      command.command ? AnsiFromUtf8(*command.command) : std::optional<std::string>();
  const bool adding = command.name == CommandName::kAdd;
  if (!location || !name || (command.data && !data) || (adding && !newData)) {
    context.Tell("_CliNotExact", "");
    return kExitFailed;
  }
  const std::optional<int> leaf = LeafAt(context.nodes, *location);
  if (!leaf) {
    context.Tell("_CliUnknownLocation", *location);
    return adding ? kExitFailed : kExitNoMatch;
  }
  EntryKind& kind = *context.kinds.at(*leaf);
  ConsoleRows rows;
  kind.Refresh(rows);
  if (adding) {
    ConsolePrompter prompter(context.language, EntryInput{*name, *newData}, command.replace);
    kind.Add(rows, prompter);
    return Finish(prompter, context);
  }
  std::vector<int> matches;
  for (int i = 0; i < rows.Count(); ++i) {
    const ConsoleRows::Held& held = rows.Rows()[i];
    if (!SameText(held.row.name, *name) || (data && !SameText(held.row.data, *data))) continue;
    if (Eligible(command.name, held)) matches.push_back(i);
  }
  if (matches.size() != 1) {
    context.Tell(matches.empty() ? "_CliNoMatch" : "_CliSeveralMatch", *name);
    return kExitNoMatch;
  }
  const int row = matches.front();
  rows.SelectAndShow(row);
  ConsolePrompter prompter(context.language, std::nullopt, false);
  switch (command.name) {
    case CommandName::kEnable:
      rows.SetCheck(row, true);
      kind.Enable(rows, prompter, row);
      break;
    case CommandName::kDisable:
      rows.SetCheck(row, false);
      kind.Disable(rows, prompter, row);
      break;
    default:
      kind.Remove(rows, prompter);
      break;
  }
  return Finish(prompter, context);
}
