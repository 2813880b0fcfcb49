// Measures the console program's `list --format json` against the window refreshing every node,
// on six keys of 1,000 values each with a 10,000-record store: the six keys are six leaf
// locations under one parent, as the catalogue's registry nodes are. The window's side refreshes
// the parent and each leaf (the Status of a screenful each, as shown); the console's lists every
// leaf once with each program looked up and writes the JSON text. Target: console within 1.5x.
// Run it pinned: scripts/bench console_list_bench <build folder>.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_fixtures.h"
#include "bench/bench_timing.h"
#include "console/entry_formats.h"
#include "console/entry_listing.h"
#include "core/registry_kind.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/win_handles.h"
#include "store/journal.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "tests/support/memory_rows.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kKeys = 6;
constexpr int kValuesPerKey = 1000;
constexpr int kRecords = 10000;
constexpr int kRounds = 7;

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  const std::string base =
      "Software\\QuorvaneBench\\console_list_" + std::to_string(GetCurrentProcessId());
  const TempFolder folder("qv_console_bench");
  const std::string storePath = folder / "config.xml";

  std::vector<std::string> locations;
  for (int k = 0; k < kKeys; ++k) {
    const std::string subkey = base + "\\Run" + std::to_string(k);
    locations.push_back("HKEY_CURRENT_USER\\" + subkey);
    FillKey(subkey, kValuesPerKey);
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>\r\n";
  for (int r = 0; r < kRecords; ++r) {
    xml += "<disabledregistryitem path=\"" + locations[std::size_t(r % kKeys)] +
           "\" valuedata=\"C:\\Tools\\t" + std::to_string(r) + ".exe -q\" valuename=\"Stored" +
           std::to_string(r) + "\"/>\r\n";
  }
  xml += "</toolquorvane></config>\r\n";
  WriteBytes(storePath, xml);

  Win32Registry registry;
  Win32FileSystem files;
  Win32ShellLinks links;
  XmlDisabledStore store(storePath);
  NoJournal journal;
  LanguageTable language;
  KindServices services{registry, files, links, store, journal, language};

  // Node 0 is the parent over all six keys, nodes 1 to 6 its leaves.
  std::vector<CatalogueNode> nodes{{0, "_TreeRegistry", -1, 3, KindId::kRegistry, locations, -1}};
  std::vector<std::unique_ptr<EntryKind>> kinds;
  kinds.push_back(std::make_unique<RegistryKind>(services, locations));
  for (int k = 0; k < kKeys; ++k) {
    nodes.push_back({k + 1, "_Run", 0, 2, KindId::kRegistry, {locations[std::size_t(k)]}, -1});
    kinds.push_back(std::make_unique<RegistryKind>(
        services, std::vector<std::string>{locations[std::size_t(k)]}));
  }

  const auto windowRefresh = [&] {
    std::size_t shown = 0;
    for (const auto& kind : kinds) {
      MemoryRows rows;
      rows.statusOnDemand = true;
      kind->Refresh(rows);
      for (int row = 0; row < 40 && row < rows.Count(); ++row)
        shown += kind->StatusOf(rows.rows[std::size_t(row)]).size();
    }
    return shown;
  };
  std::size_t entries = 0;
  const auto consoleList = [&] {
    std::vector<ListedEntry> listed = ListEntries(nodes, kinds, language, ListingFilter{}, nullptr);
    entries = listed.size();
    return ListingJson(StampedListing(std::move(listed)), false).dump(2).size();
  };

  windowRefresh();
  consoleList();
  std::vector<double> window, console;
  std::size_t sink = 0;
  for (int round = 0; round < kRounds; ++round) {
    window.push_back(TimeMs([&] { sink += windowRefresh(); }));
    console.push_back(TimeMs([&] { sink += consoleList(); }));
  }
  const double windowMs = Median(window);
  const double consoleMs = Median(console);
  std::printf(
      "console list --format json: %d keys x %d values, %d records (%zu entries), median of %d\n",
      kKeys, kValuesPerKey, kRecords, entries, kRounds);
  std::printf("  window Refresh of every node %9.2f ms (parent and %d leaves)\n", windowMs, kKeys);
  std::printf("  console list --format json   %9.2f ms   console / window = %.2f (target <= 1.5)\n",
              consoleMs, consoleMs / windowMs);
  std::printf("  (checksum %zu)\n", sink % 1000);

  RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
  CoUninitialize();
  return 0;
}
