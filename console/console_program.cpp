#include "console/console_program.h"

#include <objbase.h>

#include "console/command_line.h"
#include "console/console_context.h"
#include "console/utf8_text.h"
#include "core/catalogue.h"
#include "core/kind_factory.h"
#include "core/module_paths.h"
#include "platform/com_session.h"
#include "platform/file_system.h"
#include "platform/journal_component.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/xml_dom.h"
#include "store/journal_client.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "store/xml_disabled_store.h"

namespace {

#define QV_TEXT2(x) #x
#define QV_TEXT(x) QV_TEXT2(x)
constexpr char kVersion[] =
    QV_TEXT(QV_VERSION_MAJOR) "." QV_TEXT(QV_VERSION_MINOR) "." QV_TEXT(QV_VERSION_PATCH);

int RunCommand(const ConsoleCommand& command, const ConsoleContext& context) {
  switch (command.name) {
    case CommandName::kList:
      return RunList(command, context);
    case CommandName::kExport:
      return RunExport(command, context);
    case CommandName::kCompare:
      return RunCompare(command, context);
    default:
      return RunEntryChange(command, context);
  }
}

}  // namespace

int RunConsoleProgram(const std::vector<std::string>& args, const ConsoleStreams& streams) {
  LanguageTable language(LanguageFilePath());
  const ParsedCommand parsed = ParseCommandLine(args);
  if (!parsed.command) {
    const std::string shown = AnsiFromUtf8(parsed.offending).value_or(parsed.offending);
    streams.err(Utf8FromAnsi(SafeFormat(language.T("_CliBadArgument"), {shown})) + "\r\n");
    return kExitFailed;
  }
  const ConsoleCommand& command = *parsed.command;
  if (command.name == CommandName::kHelp) {
    streams.out(Utf8FromAnsi(language.T("_CliUsage", true)) + "\r\n");
    return kExitDone;
  }
  if (command.name == CommandName::kVersion) {
    streams.out(std::string("Quorvane ") + kVersion + "\r\n");
    return kExitDone;
  }

  ComSession com;
  if (!XmlServiceAvailable()) {
    streams.err(Utf8FromAnsi(language.T("_NotInstallXML2")) + "\r\n");
    return kExitFailed;
  }
  JournalSession journal(JournalDataDirectory());
  Win32Registry registry;
  Win32FileSystem files;
  Win32ShellLinks links;
  XmlDisabledStore store(StoreFilePath());
  JournalClient journalClient(ProcessJournal(), language);
  KindServices services{registry, files, links, store, journalClient, language};
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  const ApprovedPlaces approved = CatalogueApprovedPlaces(nodes);
  services.approved = &approved;
  const std::vector<std::unique_ptr<EntryKind>> kinds = CreateEntryKinds(nodes, services);
  const ConsoleContext context{nodes, kinds, language, streams};
  return RunCommand(command, context);
}
