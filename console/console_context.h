// What every console command works with once the program has started: the catalogue, its entry
// kinds over the real registry, files and config.xml, the language and the output streams.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/console_streams.h"
#include "core/catalogue.h"
#include "core/entry_kind.h"

class LanguageTable;

struct ConsoleContext {
  const std::vector<CatalogueNode>& nodes;
  const std::vector<std::unique_ptr<EntryKind>>& kinds;
  const LanguageTable& language;
  const ConsoleStreams& streams;

  // T(key) formatted with arg (8-bit text), as UTF-8 on standard error, one line.
  void Tell(const std::string& key, const std::string& arg, Status reason = Status()) const;
};

int RunList(const ConsoleCommand& command, const ConsoleContext& context);
int RunExport(const ConsoleCommand& command, const ConsoleContext& context);
int RunCompare(const ConsoleCommand& command, const ConsoleContext& context);
// enable, disable, remove and add.
int RunEntryChange(const ConsoleCommand& command, const ConsoleContext& context);
