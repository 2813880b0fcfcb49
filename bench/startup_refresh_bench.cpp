// Refresh of a startup folder view over 1,000 shortcuts, next to the raw cost of listing the
// folder and reading every file's bytes, measured in one run. Target: Refresh within 6x of the
// raw read (Refresh also loads the store and opens every file as a shortcut).
//
// Then Disable+Enable of one shortcut in a folder of 2,000 files against the same in a folder of
// 10, and with 2,000 files against 10 already in the folder's kept-files folder; each case has a
// config.xml of the same 20 records. Target: the large case within 2x of the small one.
//
// Run pinned to one core together with wineserver, or the figures swing with the scheduler:
//   taskset -c 0 wineserver -p; taskset -c 0 scripts/wine-run build/bench/startup_refresh_bench.exe
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_fixtures.h"
#include "bench/bench_timing.h"
#include "bench/toggle_timing.h"
#include "core/kept_files.h"
#include "core/startup_folder_kind.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "store/journal.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kRounds = 5;
constexpr int kSmallFolder = 10;
constexpr int kLargeFolder = 2000;
constexpr int kToggleRounds = 15;

class CountingRows final : public RowList {
 public:
  int Count() const override { return static_cast<int>(rows_.size()); }
  std::string Text(int row, Column column) const override {
    const Row& r = rows_.at(row);
    return column == kColName ? r.name : column == kColData ? r.data : r.location;
  }
  bool IsEnabled(int row) const override { return rows_.at(row).enabled; }
  int SelectedRow() const override { return -1; }
  void DeleteAll() override { rows_.clear(); }
  void Append(const Row& row) override { rows_.push_back(row); }
  void RestoreCheck(int, bool) override {}
  bool SelectAndShow(int) override { return false; }
  void SetFilling(bool) override {}
  // As the window: the Status column is asked for when a row is shown.
  bool ShowsStatusOnDemand() const override { return true; }
  const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

 private:
  std::vector<Row> rows_;
};

// Lists the folder and reads every ordinary file whole; returns the bytes read.
size_t ReadAll(const std::string& folder) {
  size_t total = 0;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::vector<char> buffer(64 * 1024);
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    HANDLE file = CreateFileA((folder + "\\" + data.cFileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
           read > 0) {
      total += read;
    }
    CloseHandle(file);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return total;
}

// A config.xml with 20 records of another folder, the same for every toggle case.
void WriteSmallStore(const std::string& path) {
  std::string xml = "<?xml version=\"1.0\"?><config><toolquorvane>";
  for (int i = 0; i < 20; ++i) {
    xml += "<disabledstartupfolderitem path=\"C:\\Elsewhere\" valuename=\"Off " +
           std::to_string(i) + ".lnk\" valuedata=\"C:\\off.exe\"/>";
  }
  xml += "</toolquorvane></config>";
  WriteBytes(path, xml);
}

// A startup folder of liveFiles files (one of them the shortcut that is toggled) whose kept-files
// folder holds keptFiles files of other entries, with its own small store and view.
struct ToggleFolder {
  ToggleFolder(const std::string& root, const std::string& name, int liveFiles, int keptFiles,
               KindServices& base)
      : folder(root + "\\" + name),
        store(root + "\\" + name + ".xml"),
        services{base.registry, base.files, base.links, store, base.journal, base.language},
        view(services, {folder}),
        toggle(name + " (" + std::to_string(liveFiles) + " files, " + std::to_string(keptFiles) +
                   " kept)",
               view, Row{"Program 5.lnk", "", "C:\\Programs\\Tool 5\\tool.exe", folder, true}) {
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteSmallStore(root + "\\" + name + ".xml");
    base.links.WriteLink(folder + "\\Program 5.lnk", "C:\\Programs\\Tool 5\\tool.exe");
    // The other files are only listed, never read: their bytes do not matter.
    for (int i = 0; i < liveFiles; ++i) {
      if (i != 5) WriteBytes(folder + "\\Program " + std::to_string(i) + ".lnk", "x");
    }
    if (keptFiles > 0) {
      const std::string kept = KeptFolderOf(folder);
      base.files.CreateHiddenFolder(kept);
      for (int i = 0; i < keptFiles; ++i) {
        WriteBytes(kept + "\\Earlier " + std::to_string(i) + ".lnk", "x");
      }
    }
  }

  std::string folder;
  XmlDisabledStore store;
  KindServices services;
  StartupFolderKind view;
  ToggleCase toggle;
};

void MeasureToggle(const std::string& root, KindServices& base) {
  // (not "small": the RPC headers define it as a macro)
  ToggleFolder few(root, "Small", kSmallFolder, 0, base);
  ToggleFolder many(root, "Large", kLargeFolder, 0, base);
  ToggleFolder fewKept(root, "KeptSmall", kSmallFolder, kSmallFolder, base);
  ToggleFolder manyKept(root, "KeptLarge", kSmallFolder, kLargeFolder, base);
  RunToggleRounds({&few.toggle, &many.toggle, &fewKept.toggle, &manyKept.toggle}, kToggleRounds);
  std::printf("startup folder Disable+Enable of one shortcut, median of %d rounds\n",
              kToggleRounds);
  PrintToggleRatio(few.toggle, many.toggle);
  PrintToggleRatio(fewKept.toggle, manyKept.toggle);
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  char temp[MAX_PATH * 3] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string root =
      std::string(temp) + "qv-startup-bench-" + std::to_string(GetCurrentProcessId());
  const std::string folder = root + "\\Startup";
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);

  Win32FileSystem files;
  Win32ShellLinks links;
  Win32Registry registry;
  for (int i = 0; i < kFiles; ++i) {
    const std::string n = std::to_string(i);
    links.WriteLink(folder + "\\Program " + n + ".lnk", "C:\\Programs\\Tool " + n + "\\tool.exe");
  }
  // A store with a few records of this folder, as after some Disables.
  const std::string config = root + "\\config.xml";
  HANDLE file = CreateFileA(config.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char kStore[] = "<?xml version=\"1.0\"?><config><toolquorvane/></config>";
  DWORD written = 0;
  WriteFile(file, kStore, sizeof(kStore) - 1, &written, nullptr);
  CloseHandle(file);
  XmlDisabledStore store(config);
  for (int i = 0; i < 20; ++i) {
    store.Append(KindId::kStartupFolder, folder, "Off " + std::to_string(i) + ".lnk",
                 "C:\\off.exe");
  }
  NoJournal journal;
  LanguageTable language;
  KindServices services{registry, files, links, store, journal, language};
  StartupFolderKind view(services, {folder});
  CountingRows rows;
  // A Refresh and the Status texts of the screenful of rows it shows.
  const auto refreshAsShown = [&view, &rows] {
    view.Refresh(rows);
    size_t shown = 0;
    for (int row = 0; row < 40 && row < rows.Count(); ++row) {
      shown += view.StatusOf(rows.At(row)).size();
    }
    return shown;
  };

  // Warm both paths once (file cache, COM class), then interleave the timed rounds.
  ReadAll(folder);
  refreshAsShown();
  std::vector<double> raw, refresh;
  size_t bytes = 0;
  size_t statusChars = 0;
  for (int round = 0; round < kRounds; ++round) {
    raw.push_back(TimeMs([&] { bytes = ReadAll(folder); }));
    refresh.push_back(TimeMs([&] { statusChars += refreshAsShown(); }));
  }
  const double rawMedian = Median(raw);
  const double refreshMedian = Median(refresh);
  std::printf("startup folder refresh over %d shortcuts (+20 records), median of %d rounds\n",
              kFiles, kRounds);
  std::printf("  list + read every file: %8.2f ms (%zu bytes)\n", rawMedian, bytes);
  std::printf("  Refresh:                %8.2f ms (%d rows, the Status of 40; %zu chars)\n",
              refreshMedian, rows.Count(), statusChars / kRounds);
  std::printf("  ratio: %.2fx (target: within 6x)\n", refreshMedian / rawMedian);

  MeasureToggle(root, services);

  TempFolder::RemoveTree(root);
  CoUninitialize();
  return 0;
}
