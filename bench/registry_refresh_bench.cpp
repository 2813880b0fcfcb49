// Measures a registry view's Refresh over six keys of 1,000 values each with a 10,000-record
// store, next to two floors measured in the same run:
//   raw floor: enumerating the same values with sized buffers, plus reading the store file's
//              bytes once;
//   DOM floor: the same enumeration plus one DOM load of the store and one pass over its
//              records (the store's ListAll).
// Each round runs the three in turn and the medians are compared, so the ratios hold even where
// absolute times swing. Run it pinned: scripts/bench registry_refresh_bench <build folder>.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
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

class NoJournal final : public Journal {
 public:
  void Write(JournalKind, const std::string&, const std::vector<std::string>&) override {}
};

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
    HKEY raw = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, subkey.c_str(), &raw);
    UniqueHkey key(raw);
    for (int v = 0; v < kValuesPerKey; ++v) {
      char name[32];
      std::snprintf(name, sizeof(name), "Value%04d", v);
      const std::string data =
          "\"C:\\Program Files\\Vendor " + std::to_string(v) + "\\app.exe\" /background";
      RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
    }
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
  MemoryRows rows;

  // One warm-up of each, then interleaved rounds.
  view.Refresh(rows);
  const std::size_t rowCount = rows.rows.size();
  EnumerateValues(subkeys);
  store.ListAll(KindId::kRegistry);

  std::vector<double> refresh, domFloor, rawFloor;
  std::size_t sink = 0;
  for (int round = 0; round < kRounds; ++round) {
    refresh.push_back(TimeMs([&] { view.Refresh(rows); }));
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
  std::printf("  Refresh      %9.2f ms\n", refreshMs);
  std::printf("  DOM floor    %9.2f ms   Refresh / DOM floor = %.2f (target <= 1.5)\n", domMs,
              refreshMs / domMs);
  std::printf("  raw floor    %9.2f ms   Refresh / raw floor = %.2f\n", rawMs, refreshMs / rawMs);
  std::printf("  (checksum %zu)\n", sink % 1000);

  RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
  CoUninitialize();
  return 0;
}
