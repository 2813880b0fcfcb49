#include "console/entry_listing.h"

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <map>

#include "console/console_rows.h"
#include "console/file_hash.h"
#include "console/utf8_text.h"
#include "core/program_lookup.h"
#include "core/signature_cache.h"
#include "core/signature_text.h"
#include "platform/signature_check.h"
#include "store/disabled_store.h"
#include "store/language_table.h"
#include "ui/file_info.h"
#include "ui/program_signature.h"
#include "ui/version_info.h"

namespace {

const char* KindName(KindId kind) {
  switch (kind) {
    case KindId::kRegistry:
      return "registry";
    case KindId::kStartupFolder:
      return "startup-folder";
    case KindId::kListValue:
      return "list-value";
  }
  return "";
}

std::optional<std::string> Utf8OrNull(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  return Utf8FromAnsi(*text);
}

// The version texts of the program file's first translation.
void AddVersionTexts(const std::string& path, ListedEntry& entry) {
  const std::optional<VersionResource> resource = VersionResource::Read(path);
  if (!resource) return;
  const std::vector<VersionResource::Translation> translations = resource->Translations();
  if (translations.empty()) return;
  entry.company = Utf8OrNull(resource->Field(translations.front(), "CompanyName"));
  entry.description = Utf8OrNull(resource->Field(translations.front(), "FileDescription"));
  entry.version = Utf8OrNull(resource->Field(translations.front(), "FileVersion"));
}

// The signature of the program file found (none: missing), through the listing's cache.
void AddSignature(const std::string& existing, SignatureCache& cache, ListedEntry& entry) {
  const SignatureResult result = CachedSignature(existing, CheckFileSignature, cache);
  entry.signature = SignatureStateName(result.state);
  entry.signer = Utf8OrNull(result.signer);
}

bool Passes(StateFilter filter, const std::string& state) {
  switch (filter) {
    case StateFilter::kAll:
      return true;
    case StateFilter::kOn:
      return state == "on";
    case StateFilter::kOff:
      return state != "on";
  }
  return true;
}

std::string StateOf(const Row& row) {
  if (!row.enabled) return "kept";
  return row.windowsOff ? "windows-off" : "on";
}

std::string LocalUser() {
  wchar_t name[256 + 1] = {};
  DWORD size = 257;
  return GetUserNameW(name, &size) ? Utf8FromWide(name) : std::string();
}

std::string LocalComputer() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? Utf8FromWide(name) : std::string();
}

std::string UtcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  char text[32];
  snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", now.wYear, now.wMonth, now.wDay,
           now.wHour, now.wMinute, now.wSecond);
  return text;
}

}  // namespace

std::vector<int> LeafNodes(const std::vector<CatalogueNode>& nodes) {
  std::vector<int> leaves;
  for (const int index : TreeOrder(nodes)) {
    const bool parent = std::any_of(nodes.begin(), nodes.end(),
                                    [index](const CatalogueNode& n) { return n.parent == index; });
    if (!parent) leaves.push_back(index);
  }
  return leaves;
}

std::optional<int> LeafAt(const std::vector<CatalogueNode>& nodes, const std::string& location) {
  for (const int index : LeafNodes(nodes)) {
    for (const std::string& own : nodes.at(index).locations) {
      if (!own.empty() && SameText(own, location)) return index;
    }
  }
  return std::nullopt;
}

std::vector<ListedEntry> ListEntries(const std::vector<CatalogueNode>& nodes,
                                     const std::vector<std::unique_ptr<EntryKind>>& kinds,
                                     const LanguageTable& language, const ListingFilter& filter,
                                     std::vector<std::string>* notices) {
  const std::string expandType = language.T("_RegExpandString");
  const std::string inexactExpandType = language.T("_RegExpandStringInexact");
  // What the command-line rule found on disk is kept, so the program it names is not looked up
  // a second time (each look-up is a round trip to the file system).
  ProgramLookup lookup = SystemProgramLookup();
  std::map<std::string, bool> checked;
  lookup.fileExists = [exists = lookup.fileExists, &checked](const std::string& path) {
    const auto [it, inserted] = checked.try_emplace(path, false);
    if (inserted) it->second = exists(path);
    return it->second;
  };
  // Each program file is checked once, however many entries start it.
  SignatureCache signatures;
  std::vector<ListedEntry> entries;
  std::vector<int> leaves = LeafNodes(nodes);
  if (filter.location) {
    const std::optional<int> only = LeafAt(nodes, *filter.location);
    leaves = only ? std::vector<int>{*only} : std::vector<int>{};
  }
  for (const int index : leaves) {
    const CatalogueNode& node = nodes.at(index);
    if (std::all_of(node.locations.begin(), node.locations.end(),
                    [](const std::string& l) { return l.empty(); }))
      continue;  // a startup folder whose place is not known
    ConsoleRows rows;
    kinds.at(index)->Refresh(rows);
    if (notices && !rows.Notice().empty() &&
        std::find(notices->begin(), notices->end(), rows.Notice()) == notices->end())
      notices->push_back(rows.Notice());
    for (const ConsoleRows::Held& held : rows.Rows()) {
      const Row& row = held.row;
      ListedEntry entry;
      entry.state = StateOf(row);
      if (!Passes(filter.state, entry.state)) continue;
      entry.kind = KindName(node.kind);
      entry.location = Utf8FromAnsi(row.location);
      entry.name = Utf8FromAnsi(row.name);
      entry.command = Utf8FromAnsi(row.data);
      if (node.kind == KindId::kRegistry) {
        const bool expand = row.type == expandType || row.type == inexactExpandType;
        entry.valueType = expand ? "REG_EXPAND_SZ" : "REG_SZ";
      }
      const std::string file = ProgramFileOf(row.data, lookup, Expand::kYes);
      const auto known = checked.find(file);
      const std::string existing =
          known == checked.end() ? FindExistingFile(file) : (known->second ? file : std::string());
      entry.programExists = !existing.empty();
      if (!existing.empty()) {
        entry.program = Utf8FromAnsi(existing);
        AddVersionTexts(existing, entry);
        if (filter.hash) entry.sha256 = FileSha256(existing);
      } else if (!file.empty()) {
        entry.program = Utf8FromAnsi(file);
      }
      AddSignature(existing, signatures, entry);
      if (filter.unsignedOnly && entry.Verified()) continue;
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

Listing StampedListing(std::vector<ListedEntry> entries) {
  return Listing{LocalComputer(), LocalUser(), UtcNow(), std::move(entries)};
}
