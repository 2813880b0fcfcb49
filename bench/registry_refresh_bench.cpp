// Measures a registry view's Refresh over six keys of 1,000 values each with a 10,000-record
// store, next to two floors measured in the same run:
//   raw floor: enumerating the same values with sized buffers, plus reading the store file's
//              bytes once;
//   DOM floor: the same enumeration plus one DOM load of the store and one pass over its
//              records (the store's ListAll).
// Each round runs the three in turn and the medians are compared, so the ratios hold even where
// absolute times swing.
//
// Then Disable+Enable of one value in a key of 5,000 values against the same in a key of 10,
// each with a config.xml of the same 20 records. Target: the large key within 2x of the small.
// Run it pinned: scripts/bench registry_refresh_bench <build folder>.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_fixtures.h"
#include "bench/bench_timing.h"
#include "bench/toggle_timing.h"
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
constexpr int kOtherLocations = 6;  // records also sit under locations the view does not cover
constexpr int kRounds = 9;
constexpr int kSmallKey = 10;
constexpr int kLargeKey = 5000;
constexpr int kToggleRounds = 15;

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::size_t ReadAllBytes(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
  DWORD read = 0;
  ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  return read;
}

// The enumeration both floors share: every value of every key, into buffers sized once from
// the key's largest name and data.
std::size_t EnumerateValues(const std::vector<std::string>& subkeys) {
  std::size_t total = 0;
  for (const std::string& subkey : subkeys) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS) {
      continue;
    }
    UniqueHkey key(raw);
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &maxName, &maxData, nullptr, nullptr);
    std::string name(maxName + 1, '\0');
    std::string data(maxData + 2, '\0');
    for (DWORD index = 0;; ++index) {
      DWORD nameLength = maxName + 1;
      DWORD dataLength = maxData + 2;
      DWORD type = 0;
      if (RegEnumValueA(key.Get(), index, name.data(), &nameLength, nullptr, &type,
                        reinterpret_cast<BYTE*>(data.data()), &dataLength) != ERROR_SUCCESS) {
        break;
      }
      total += nameLength + dataLength;
    }
  }
  return total;
}

// A config.xml with 20 records of another key, the same for both toggle cases.
void WriteSmallStore(const std::string& path) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>\r\n";
  for (int r = 0; r < 20; ++r) {
    xml +=
        "<disabledregistryitem path=\"HKEY_LOCAL_MACHINE\\Software\\Other\" "
        "valuedata=\"C:\\Tools\\t" +
        std::to_string(r) + ".exe\" valuename=\"Stored" + std::to_string(r) + "\"/>\r\n";
  }
  xml += "</toolquorvane></config>\r\n";
  WriteBytes(path, xml);
}

// A key of `values` values with its own small store and view; Value0005 is toggled.
struct ToggleKey {
  ToggleKey(const std::string& base, const TempFolder& folder, const std::string& name, int values,
            KindServices& shared)
      : location("HKEY_CURRENT_USER\\" + base + "\\" + name),
        store(folder / (name + ".xml")),
        services{shared.registry, shared.files,   shared.links,
                 store,           shared.journal, shared.language},
        view(services, {location}),
        toggle("key of " + std::to_string(values) + " values", view,
               Row{"Value0005", "", ValueData(5), location, true}) {
    FillKey(base + "\\" + name, values);
    WriteSmallStore(folder / (name + ".xml"));
  }

  std::string location;
  XmlDisabledStore store;
  KindServices services;
  RegistryKind view;
  ToggleCase toggle;
};

void MeasureToggle(const std::string& base, const TempFolder& folder, KindServices& shared) {
  ToggleKey few(base, folder, "Small", kSmallKey, shared);  // "small" is an RPC header macro
  ToggleKey many(base, folder, "Large", kLargeKey, shared);
  RunToggleRounds({&few.toggle, &many.toggle}, kToggleRounds);
  std::printf("registry Disable+Enable of one value, median of %d rounds\n", kToggleRounds);
  PrintToggleRatio(few.toggle, many.toggle);
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  const std::string base =
      "Software\\QuorvaneBench\\registry_refresh_" + std::to_string(GetCurrentProcessId());
  const TempFolder folder("qv_registry_bench");
  const std::string storePath = folder / "config.xml";

  // Six keys of 1,000 REG_SZ values each.
  std::vector<std::string> subkeys;
  std::vector<std::string> locations;
  for (int k = 0; k < kKeys; ++k) {
    const std::string subkey = base + "\\Run" + std::to_string(k);
    subkeys.push_back(subkey);
    locations.push_back("HKEY_CURRENT_USER\\" + subkey);
    FillKey(subkey, kValuesPerKey);
  }

  // 10,000 records, spread evenly over the six keys and six other locations.
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>\r\n";
  for (int r = 0; r < kRecords; ++r) {
    const int slot = r % (kKeys + kOtherLocations);
    const std::string path = slot < kKeys
                                 ? locations[static_cast<std::size_t>(slot)]
                                 : "HKEY_LOCAL_MACHINE\\Software\\Other" + std::to_string(slot);
    xml += "<disabledregistryitem path=\"" + XmlEscape(path) + "\" valuedata=\"C:\\Tools\\t" +
           std::to_string(r) + ".exe -q\" valuename=\"Stored" + std::to_string(r) + "\"/>\r\n";
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
  RegistryKind view(services, locations);
  // As the window: the Status column is worked out for the rows on screen (a screenful of 40)
  // when they are shown, not for all 11,000.
  MemoryRows rows;
  rows.statusOnDemand = true;
  const auto refreshAsShown = [&view, &rows] {
    view.Refresh(rows);
    std::size_t shown = 0;
    for (int row = 0; row < 40 && row < rows.Count(); ++row) {
      shown += view.StatusOf(rows.rows[static_cast<std::size_t>(row)]).size();
    }
    return shown;
  };

  // One warm-up of each, then interleaved rounds.
  refreshAsShown();
  const std::size_t rowCount = rows.rows.size();
  EnumerateValues(subkeys);
  store.ListAll(KindId::kRegistry);

  std::vector<double> refresh, domFloor, rawFloor;
  std::size_t sink = 0;
  for (int round = 0; round < kRounds; ++round) {
    refresh.push_back(TimeMs([&] { sink += refreshAsShown(); }));
    domFloor.push_back(TimeMs([&] {
      sink += EnumerateValues(subkeys);
      sink += store.ListAll(KindId::kRegistry).size();
    }));
    rawFloor.push_back(TimeMs([&] {
      sink += EnumerateValues(subkeys);
      sink += ReadAllBytes(storePath);
    }));
  }

  const double refreshMs = Median(refresh);
  const double domMs = Median(domFloor);
  const double rawMs = Median(rawFloor);
  std::printf("registry view Refresh: %d keys x %d values, %d records (%zu rows), median of %d\n",
              kKeys, kValuesPerKey, kRecords, rowCount, kRounds);
  std::printf("  Refresh      %9.2f ms (with the Status of a screenful of rows)\n", refreshMs);
  std::printf("  DOM floor    %9.2f ms   Refresh / DOM floor = %.2f (target <= 1.5)\n", domMs,
              refreshMs / domMs);
  std::printf("  raw floor    %9.2f ms   Refresh / raw floor = %.2f\n", rawMs, refreshMs / rawMs);
  std::printf("  (checksum %zu)\n", sink % 1000);

  MeasureToggle(base, folder, services);

  RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
  CoUninitialize();
  return 0;
}
