// Measures start-up: the time from just before CreateProcess until the program's first window is
// on screen and painted, and the peak memory the process reached by then, for
//   - an empty Win32 window program (what Wine itself costs),
//   - Quorvane with empty run keys and an empty store,
//   - Quorvane with 1,000 values in each of the six run keys and a 10,000-record store,
// and prints the medians with the ratios large/empty and Quorvane/empty window, all from one run,
// then where Quorvane's time goes: the program writes the performance-counter marks of its
// start-up steps to the file QV_STARTUP_MARKS names, and each step is the time from the mark
// before it (painting: from the window being shown until the bench sees it painted).
//   startup_bench [REPEATS]
// Each case runs from its own temporary folder holding the exe and the files beside it. The large
// case writes to the run keys of the prefix it runs in and removes its values afterwards: run it
// only in a throwaway Wine prefix (scripts/bench --x startup_bench BUILD_DIR), never on Windows.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>
// LVM_GETITEMCOUNT
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/win_handles.h"
#include "store/language_table.h"
#include "tests/support/temp_folder.h"
#include "ui/startup_marks.h"

namespace {

constexpr int kValuesPerKey = 1000;
constexpr int kStoreRecords = 10000;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr WPARAM kExitCommand = 2;  // the main window's Exit command; closes the empty window too

// The six run keys the large case fills, with the names the store uses for them.
struct RunKey {
  HKEY root;
  const char* subKey;
  const char* storePath;
};
const RunKey kRunKeys[] = {
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
     "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
     "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
};

// The program's start-up marks in the order it takes them, with what each step from the mark
// before does; "painted" is the bench's own observation.
struct Step {
  const char* mark;
  const char* label;
};
const Step kSteps[] = {
    {"entry", "process start to WinMain (Wine, DLLs)"},
    {"com", "COM init"},
    {"xml", "XML DOM check"},
    {"journal", "journal component"},
    {"controls", "common controls"},
    {"catalogue", "catalogue"},
    {"kinds", "entry kinds"},
    {"dialog", "main dialog up to WM_INITDIALOG"},
    {"tree", "splitter, tree, images, nodes"},
    {"form", "first node's entry view form created"},
    {"filled", "first node's view filled"},
    {"translated", "main window and menu translated"},
    {"created", "rest of window creation"},
    {"shown", "shown maximised"},
    {"painted", "painting (shown to painted)"},
};
constexpr char kTotalStep[] = "total";

std::string Directory(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Numbered(const char* prefix, int n, int width) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%s%0*d", prefix, width, n);
  return buffer;
}

// A store in the program's own format holding `records` disabled run-key values, spread evenly
// over the six run keys.
std::string StoreText(int records) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>";
  for (int i = 0; i < records; ++i) {
    const RunKey& key = kRunKeys[i % std::size(kRunKeys)];
    text += std::string("<disabledregistryitem path=\"") + key.storePath +
            "\" valuedata=\"C:\\Program Files\\Bench Vendor " + std::to_string(i) +
            "\\app.exe /background\" valuename=\"" + Numbered("Bench disabled ", i, 5) + "\"/>";
  }
  return text + "</toolquorvane></config>\r\n";
}

// Fills the six run keys with REG_SZ values of its own names and removes exactly those again
// (and the keys it had to create) when destroyed.
class RunKeyFill {
 public:
  RunKeyFill() = default;
  RunKeyFill(const RunKeyFill&) = delete;
  RunKeyFill& operator=(const RunKeyFill&) = delete;
  ~RunKeyFill() { Clear(); }

  bool Fill(int valuesPerKey) {
    for (const RunKey& key : kRunKeys) {
      UniqueHkey handle;
      DWORD disposition = 0;
      if (RegCreateKeyExA(key.root, key.subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.Put(),
                          &disposition) != ERROR_SUCCESS) {
        return false;
      }
      filled_.push_back({&key, disposition == REG_CREATED_NEW_KEY, 0});
      for (int i = 0; i < valuesPerKey; ++i) {
        const std::string name = Numbered("Bench entry ", i, 4);
        const std::string data =
            "C:\\Program Files\\Bench Vendor " + std::to_string(i) + "\\app.exe /background";
        if (RegSetValueExA(handle.Get(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS) {
          return false;
        }
        filled_.back().values = i + 1;
      }
    }
    return true;
  }

  void Clear() {
    for (const Filled& filled : filled_) {
      UniqueHkey handle;
      if (RegOpenKeyExA(filled.key->root, filled.key->subKey, 0, KEY_SET_VALUE, handle.Put()) ==
          ERROR_SUCCESS) {
        for (int i = 0; i < filled.values; ++i) {
          RegDeleteValueA(handle.Get(), Numbered("Bench entry ", i, 4).c_str());
        }
      }
      // Only a key this bench created goes, and RegDeleteKey leaves it if anything else is in it.
      if (filled.created) RegDeleteKeyA(filled.key->root, filled.key->subKey);
    }
    filled_.clear();
  }

 private:
  struct Filled {
    const RunKey* key;
    bool created;
    int values;
  };
  std::vector<Filled> filled_;
};

// Values already in the run keys, so the report says how empty the empty case really was.
int ExistingRunValues() {
  int total = 0;
  for (const RunKey& key : kRunKeys) {
    UniqueHkey handle;
    if (RegOpenKeyExA(key.root, key.subKey, 0, KEY_QUERY_VALUE, handle.Put()) != ERROR_SUCCESS) {
      continue;
    }
    DWORD values = 0;
    if (RegQueryInfoKeyA(handle.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      total += static_cast<int>(values);
    }
  }
  return total;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

// The process's first visible top-level window that has no owner: its main window.
HWND FindMainWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<WindowSearch*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->processId || !IsWindowVisible(window) ||
            GetWindow(window, GW_OWNER) != nullptr) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// True while the window or any visible window inside it still has an update region, that is,
// a WM_PAINT still to come.
bool PaintPending(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return true;
  BOOL pending = FALSE;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
          *reinterpret_cast<BOOL*>(context) = TRUE;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&pending));
  return pending;
}

// Rows in the first visible list view inside the window (-1 without one), so the report shows
// that the large case really listed its entries.
int VisibleListRows(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        char name[64] = {};
        GetClassNameA(child, name, sizeof(name));
        if (!IsWindowVisible(child) || lstrcmpiA(name, "SysListView32") != 0) return TRUE;
        *reinterpret_cast<HWND*>(context) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&list));
  DWORD_PTR rows = 0;
  if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &rows)) {
    return -1;
  }
  return static_cast<int>(rows);
}

struct RunResult {
  bool ok = false;
  std::string failure;
  std::string title;
  int listRows = -1;
  double paintedMs = 0;
  std::map<std::string, double> marks;  // ms after the start, by mark name
  SIZE_T peakWorkingSet = 0;
  SIZE_T peakPagefile = 0;
  bool closedByCommand = false;
};

// Starts `exe` from its folder and waits until it is painted: the main window exists and is
// visible, neither it nor any visible child has an update region left, and a WM_NULL sent to it
// has come back (so the WM_PAINT handler that emptied the last region has returned), checked
// twice around the round trip. Then reads the peak memory and closes the program again.
// The marks file the program wrote, as ms after startMs; empty when there is none.
std::map<std::string, double> ReadMarks(const std::string& file, double startMs) {
  std::map<std::string, double> marks;
  std::istringstream lines(ReadBytes(file));
  std::string name;
  long long counter = 0;
  while (lines >> name >> counter) marks.emplace(name, CounterToMs(counter) - startMs);
  return marks;
}

RunResult RunOnce(const std::string& exe, const std::string& marksFile) {
  RunResult result;
  DeleteFileA(marksFile.c_str());
  SetEnvironmentVariableA(StartupMarks::kVariable, marksFile.empty() ? nullptr : marksFile.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exe + "\"";
  const std::string folder = Directory(exe);

  const double start = NowMs();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    result.failure = "CreateProcess failed, error " + std::to_string(GetLastError());
    return result;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);

  WaitForInputIdle(process.Get(), kStartTimeoutMs);
  HWND window = nullptr;
  while (NowMs() - start < kStartTimeoutMs) {
    if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process.Get(), &code);
      result.failure = "the program ended before showing a window (exit code " +
                       std::to_string(code) + "; another instance running?)";
      return result;
    }
    window = FindMainWindow(info.dwProcessId);
    DWORD_PTR ignored = 0;
    if (window && !PaintPending(window) &&
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeoutMs, &ignored) &&
        !PaintPending(window)) {
      result.paintedMs = NowMs() - start;
      result.ok = true;
      break;
    }
    Sleep(1);
  }
  if (!result.ok) result.failure = "no painted window within the time limit";

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory))) {
    result.peakWorkingSet = memory.PeakWorkingSetSize;
    result.peakPagefile = memory.PeakPagefileUsage;
  }
  if (window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof(title));
    result.title = title;
    result.listRows = VisibleListRows(window);
    PostMessageA(window, WM_COMMAND, kExitCommand, 0);
    result.closedByCommand = WaitForSingleObject(process.Get(), kExitTimeoutMs) == WAIT_OBJECT_0;
  }
  // The program is single-instance: the next run may start only once this one has ended.
  if (!result.closedByCommand) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), INFINITE);
  }
  if (!marksFile.empty()) result.marks = ReadMarks(marksFile, start);
  return result;
}

// One case's measured runs.
struct Case {
  std::string label;
  std::string exe;
  std::string marksFile;  // where the program writes its marks; empty for the empty window
  bool fillRunKeys = false;
  std::string failure;  // set once a run failed; the case then stops
  int terminated = 0;   // runs that did not end on the Exit command
  std::vector<double> times;
  std::vector<SIZE_T> workingSets;
  std::vector<SIZE_T> pagefiles;
  std::map<std::string, std::vector<double>> steps;  // ms by step mark, one per run

  bool Ok() const { return failure.empty() && !times.empty(); }
};

// Each step of one run: from the mark before it (the process start for the first) to its own.
// A mark the run did not take leaves its step out; the next step then covers both.
void AddSteps(Case& c, const RunResult& run) {
  double previous = 0;
  for (const Step& step : kSteps) {
    const bool painted = std::string(step.mark) == "painted";
    const auto mark = run.marks.find(step.mark);
    if (!painted && mark == run.marks.end()) continue;
    const double at = painted ? run.paintedMs : mark->second;
    c.steps[step.mark].push_back(at - previous);
    previous = at;
  }
  c.steps[kTotalStep].push_back(run.paintedMs);
  if (const auto idle = run.marks.find("idle"); idle != run.marks.end()) {
    c.steps["idle"].push_back(idle->second);
  }
}

// Runs every case once per round, so drift over the run (other load, caches) falls on all cases
// alike. Round 0 is an unmeasured warm-up (file cache, Wine's first-use work). The run keys hold
// the bench's values only around the large case's own runs.
void RunRounds(std::vector<Case>& cases, int repeats) {
  for (int round = 0; round <= repeats; ++round) {
    for (Case& c : cases) {
      if (!c.failure.empty()) continue;
      RunKeyFill fill;
      if (c.fillRunKeys && !fill.Fill(kValuesPerKey)) {
        c.failure = "cannot fill the run keys";
        continue;
      }
      const RunResult run = RunOnce(c.exe, c.marksFile);
      fill.Clear();
      if (!run.closedByCommand) ++c.terminated;
      if (!run.ok) {
        c.failure = "run " + std::to_string(round) + ": " + run.failure;
        continue;
      }
      if (round == 0) {
        std::printf("  %s: measured window \"%s\", %d rows in its visible list\n", c.label.c_str(),
                    run.title.c_str(), run.listRows);
        continue;
      }
      c.times.push_back(run.paintedMs);
      c.workingSets.push_back(run.peakWorkingSet);
      c.pagefiles.push_back(run.peakPagefile);
      if (!run.marks.empty()) AddSteps(c, run);
    }
  }
}

double Mib(SIZE_T bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void PrintRatio(const char* label, const Case& top, const Case& bottom) {
  if (!top.Ok() || !bottom.Ok()) {
    std::printf("%-34s n/a\n", label);
    return;
  }
  auto ratio = [](auto a, auto b) {
    return b > 0 ? static_cast<double>(a) / static_cast<double>(b) : 0.0;
  };
  std::printf("%-34s time %.2fx   peak working set %.2fx   peak pagefile %.2fx\n", label,
              ratio(Median(top.times), Median(bottom.times)),
              ratio(Median(top.workingSets), Median(bottom.workingSets)),
              ratio(Median(top.pagefiles), Median(bottom.pagefiles)));
}

// The median of each step for the given cases, side by side. Medians of steps need not add up to
// the median total.
void PrintBreakdown(const std::vector<const Case*>& cases) {
  std::printf("\nWhere the time goes (median ms; each step from the mark before it)\n%-40s",
              "step");
  for (const Case* c : cases) std::printf(" %18.18s", c->label.c_str());
  std::printf("\n");
  auto row = [&cases](const char* label, const char* key) {
    std::printf("%-40s", label);
    for (const Case* c : cases) {
      const auto found = c->steps.find(key);
      if (found == c->steps.end() || found->second.empty()) {
        std::printf(" %18s", "-");
      } else {
        std::printf(" %18.1f", Median(found->second));
      }
    }
    std::printf("\n");
  };
  for (const Step& step : kSteps) row(step.label, step.mark);
  row("total to painted", kTotalStep);
  row("(program's first idle, from the start)", "idle");
}

// The cost of language lookups, measured in this process on the program's language file: the
// first lookup of each key of the file through a fresh table, and the same lookups again.
void PrintLanguageLookups(const std::string& file) {
  std::vector<char> names(1 << 16);
  const DWORD length = GetPrivateProfileStringA("String", nullptr, "", names.data(),
                                                static_cast<DWORD>(names.size()), file.c_str());
  std::vector<std::string> keys;
  for (const char* name = names.data(); name < names.data() + length && *name;
       name += std::strlen(name) + 1) {
    keys.emplace_back(name);
  }
  if (keys.empty()) return;
  std::vector<double> first, again;
  for (int round = 0; round < 5; ++round) {
    LanguageTable table(file);
    first.push_back(TimeMs([&] {
      for (const std::string& key : keys) table.T(key);
    }));
    again.push_back(TimeMs([&] {
      for (const std::string& key : keys) table.T(key);
    }));
  }
  const double perKey = 1000.0 / static_cast<double>(keys.size());
  std::printf(
      "\nLanguage lookups (this process, %zu keys of the language file, median of 5): first of a "
      "key %.1f us, again %.1f us\n",
      keys.size(), Median(first) * perKey, Median(again) * perKey);
}

// A case folder holding a copy of the exe and, for Quorvane, its language file and a store.
bool PrepareFolder(const std::string& folder, const std::string& exeSource,
                   const std::string& languageSource, const std::string* storeText) {
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exeName = exeSource.substr(exeSource.find_last_of("\\/") + 1);
  if (!CopyFileA(exeSource.c_str(), (folder + "\\" + exeName).c_str(), FALSE)) return false;
  if (!storeText) return true;
  return CopyFileA(languageSource.c_str(), (folder + "\\Quorvane.language").c_str(), FALSE) &&
         WriteBytes(folder + "\\config.xml", *storeText);
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

  // This exe sits in <build>\bench; the program and its language file in <build>\app.
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string benchDir = Directory(self);
  const std::string buildDir = Directory(benchDir);
  const std::string emptyExe = benchDir + "\\empty_window.exe";
  const std::string quorvaneExe = buildDir + "\\app\\Quorvane.exe";
  const std::string languageFile = buildDir + "\\app\\Quorvane.language";
  for (const std::string& needed : {emptyExe, quorvaneExe, languageFile}) {
    if (!FileExists(needed)) {
      std::printf(
          "startup_bench: %s not found; build the targets startup_bench, empty_window "
          "and Quorvane first\n",
          needed.c_str());
      return 2;
    }
  }

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root =
      std::string(temp) + "quorvane_startbench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  const std::string emptyStore = StoreText(0);
  const std::string largeStore = StoreText(kStoreRecords);
  const std::string emptyWindowDir = root + "\\empty_window";
  const std::string emptyQuorvaneDir = root + "\\quorvane_empty";
  const std::string largeDir = root + "\\quorvane_large";
  if (!PrepareFolder(emptyWindowDir, emptyExe, languageFile, nullptr) ||
      !PrepareFolder(emptyQuorvaneDir, quorvaneExe, languageFile, &emptyStore) ||
      !PrepareFolder(largeDir, quorvaneExe, languageFile, &largeStore)) {
    std::printf("startup_bench: cannot prepare the case folders under %s\n", root.c_str());
    return 1;
  }

  std::vector<Case> cases(3);
  cases[0].label = "empty window";
  cases[0].exe = emptyWindowDir + "\\empty_window.exe";
  cases[0].marksFile = emptyWindowDir + "\\marks.txt";
  cases[1].label = "Quorvane, empty";
  cases[1].exe = emptyQuorvaneDir + "\\Quorvane.exe";
  cases[1].marksFile = emptyQuorvaneDir + "\\marks.txt";
  cases[2].label = "Quorvane, " + std::to_string(kValuesPerKey) + "/key, " +
                   std::to_string(kStoreRecords) + " stored";
  cases[2].exe = largeDir + "\\Quorvane.exe";
  cases[2].marksFile = largeDir + "\\marks.txt";
  cases[2].fillRunKeys = true;

  std::printf("Start-up to first painted main window, %d runs per case after one warm-up\n",
              repeats);
  std::printf("  run-key values present before filling: %d\n", ExistingRunValues());
  RunRounds(cases, repeats);
  std::printf("  run-key values left after clean-up: %d\n", ExistingRunValues());

  std::printf("\n%-34s %10s %17s %14s %14s\n", "case", "median ms", "min-max ms", "peak WS MiB",
              "peak PF MiB");
  bool allOk = true;
  for (const Case& c : cases) {
    if (c.terminated) {
      std::printf("  (%s: %d runs did not end on the Exit command and were terminated)\n",
                  c.label.c_str(), c.terminated);
    }
    if (!c.Ok()) {
      std::printf("%-34s failed: %s\n", c.label.c_str(), c.failure.c_str());
      allOk = false;
      continue;
    }
    char range[32];
    std::snprintf(range, sizeof(range), "%.1f-%.1f",
                  *std::min_element(c.times.begin(), c.times.end()),
                  *std::max_element(c.times.begin(), c.times.end()));
    std::printf("%-34s %10.1f %17s %14.1f %14.1f\n", c.label.c_str(), Median(c.times), range,
                Mib(Median(c.workingSets)), Mib(Median(c.pagefiles)));
  }
  std::printf("\n");
  PrintRatio("large / empty Quorvane", cases[2], cases[1]);
  PrintRatio("empty Quorvane / empty window", cases[1], cases[0]);
  std::printf("(target: large within 1.5x of empty Quorvane)\n");
  PrintBreakdown({&cases[0], &cases[1], &cases[2]});
  std::printf("(the empty window marks only WinMain, its window created and shown)\n");
  PrintLanguageLookups(languageFile);

  TempFolder::RemoveTree(root);
  return allOk ? 0 : 1;
}
