// list, export and compare: the entries of every leaf location in one of the output forms, a
// baseline file of them, and the differences against such a file.
#include <windows.h>

#include "console/baseline_compare.h"
#include "console/console_context.h"
#include "console/console_program.h"
#include "console/entry_formats.h"
#include "console/entry_listing.h"
#include "console/utf8_text.h"
#include "platform/win_handles.h"
#include "store/language_table.h"
#include "store/safe_format.h"

namespace {

constexpr auto kDumpFlags = nlohmann::json::error_handler_t::replace;

std::vector<ListedEntry> Gather(const ConsoleContext& context, const ListingFilter& filter) {
  std::vector<std::string> notices;
  std::vector<ListedEntry> entries =
      ListEntries(context.nodes, context.kinds, context.language, filter, &notices);
  for (const std::string& notice : notices) context.streams.err(Utf8FromAnsi(notice) + "\r\n");
  return entries;
}

Status WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Status::LastError();
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return Status::LastError();
  return Status();
}

Status ReadWholeFile(const std::string& path, std::string& bytes) {
  UniqueFile file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Status::LastError();
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr)) return Status::LastError();
    if (read == 0) return Status();
    bytes.append(buffer, read);
  }
}

}  // namespace

void ConsoleContext::Tell(const std::string& key, const std::string& arg, Status reason) const {
  streams.err(Utf8FromAnsi(WithSystemReason(SafeFormat(language.T(key), {arg}), reason)) + "\r\n");
}

int RunList(const ConsoleCommand& command, const ConsoleContext& context) {
  ListingFilter filter{std::nullopt, command.state, command.hash, command.unsignedOnly};
  if (command.location) {
    filter.location = AnsiFromUtf8(*command.location);
    if (!filter.location || !LeafAt(context.nodes, *filter.location)) {
      context.Tell("_CliUnknownLocation", filter.location.value_or(""));
      return kExitNoMatch;
    }
  }
  std::vector<ListedEntry> entries = Gather(context, filter);
  switch (command.format) {
    case OutputFormat::kText: {
      const LanguageTable& t = context.language;
      const TableHeads heads{Utf8FromAnsi(t.T("_CliHeadState")),
                             Utf8FromAnsi(t.T("_CliHeadLocation")),
                             Utf8FromAnsi(t.T("_CliHeadName")),
                             Utf8FromAnsi(t.T("_CliHeadCommand")), Utf8FromAnsi(t.T("_Publisher"))};
      context.streams.out(TextTable(entries, heads));
      break;
    }
    case OutputFormat::kCsv:
      context.streams.out(CsvTable(entries, command.hash));
      break;
    case OutputFormat::kJson:
      context.streams.out(ListingJson(StampedListing(std::move(entries)), command.hash)
                              .dump(2, ' ', false, kDumpFlags) +
                          "\n");
      break;
  }
  return kExitDone;
}

int RunExport(const ConsoleCommand& command, const ConsoleContext& context) {
  const Listing listing =
      StampedListing(Gather(context, ListingFilter{std::nullopt, StateFilter::kAll, true}));
  const std::string text = ListingJson(listing, true).dump(2, ' ', false, kDumpFlags) + "\n";
  if (const Status written = WriteWholeFile(command.file, text); !written) {
    context.Tell("_CliFileNotWritten", AnsiFromUtf8(command.file).value_or(command.file), written);
    return kExitFailed;
  }
  return kExitDone;
}

int RunCompare(const ConsoleCommand& command, const ConsoleContext& context) {
  const std::string shownName = AnsiFromUtf8(command.file).value_or(command.file);
  std::string bytes;
  if (const Status read = ReadWholeFile(command.file, bytes); !read) {
    context.Tell("_CliBaselineUnreadable", shownName, read);
    return kExitFailed;
  }
  // An editor or PowerShell may have put a byte order mark in front.
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  const nlohmann::json document = nlohmann::json::parse(bytes, nullptr, false);
  const std::optional<Listing> baseline =
      document.is_discarded() ? std::nullopt : ListingFromJson(document);
  if (!baseline) {
    context.Tell("_CliBaselineInvalid", shownName);
    return kExitFailed;
  }
  const Differences differences = CompareListings(
      baseline->entries, Gather(context, ListingFilter{std::nullopt, StateFilter::kAll, true}));
  if (command.format == OutputFormat::kJson) {
    context.streams.out(DifferencesJson(differences).dump(2, ' ', false, kDumpFlags) + "\n");
  } else {
    context.streams.out(DifferencesText(differences));
  }
  return differences.Empty() ? kExitDone : kExitNoMatch;
}
