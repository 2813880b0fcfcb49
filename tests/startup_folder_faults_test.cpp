// The fault matrix of the startup folder view: every operation is run once to count the calls
// it makes to the file system, the shell links and the store, then once for every call number N
// with that call failing, and once with the process "dying" there. Afterwards the entry must
// still be somewhere: a live file, a store record or a kept file; after a failure the row must
// show where it is, and the user hears of every refusal while the journal hears of nothing else.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "core/kept_files.h"
#include "core/kind_support.h"
#include "core/program_path.h"
#include "core/startup_approved.h"
#include "core/startup_folder_kind.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/faulty_platform.h"
#include "support/memory_rows.h"
#include "support/recording_journal.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace {

const char kEmptyStore[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane/></config>\r\n";

// One fresh world per run: a startup folder, a store, the real services and faulty ones.
struct World {
  World() : folder(root / "Startup"), store(root / "config.xml") {
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytes(root / "config.xml", kEmptyStore);
    CountReadBack(store, plan);
    static int worlds = 0;
    switchKey = "Software\\QuorvaneTest\\sff_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++worlds);
    places.Add(folder, HKEY_CURRENT_USER, switchKey);
    real.approved = &places;
    faulty.approved = &places;
  }
  ~World() { RegDeleteTreeA(HKEY_CURRENT_USER, switchKey.c_str()); }

  TempFolder root{"qvsff"};
  std::string folder;
  Win32FileSystem files;
  Win32ShellLinks links;
  Win32Registry registry;
  XmlDisabledStore store;
  RecordingJournal journal;
  LanguageTable language;
  FaultPlan plan;
  FaultyFileSystem faultyFiles{files, plan};
  FaultyShellLinks faultyLinks{links, plan};
  FaultyStore faultyStore{store, plan};
  FaultyRegistry faultyRegistry{registry, plan};
  RecordingJournal setupJournal;
  std::string switchKey;  // Windows' switches of the folder's files
  ApprovedPlaces places;
  KindServices real{registry, files, links, store, setupJournal, language};
  KindServices faulty{faultyRegistry, faultyFiles, faultyLinks, faultyStore, journal, language};
  StartupFolderKind realView{real, {folder}};
  StartupFolderKind view{faulty, {folder}};
  MemoryRows rows;
  ScriptedPrompter prompter;
  int row = -1;  // the row the operation works on

  std::string Path(const std::string& name) const { return folder + "\\" + name; }
  void Fixture(const std::string& name, const std::string& fixture) {
    WriteBytes(Path(name), FixtureLink(fixture));
  }
  // What the row of the file shows: a shortcut's command line, any other file's path.
  std::string TargetOf(const std::string& name) {
    const std::optional<LinkCommand> command = links.ReadCommand(Path(name));
    return command ? JoinCommandLine(command->target, command->arguments) : Path(name);
  }
  int RowOf(const std::string& name, bool enabled) {
    for (int i = 0; i < rows.Count(); ++i) {
      if (SameText(rows.rows[i].name, name) && rows.rows[i].enabled == enabled) return i;
    }
    return -1;
  }
  // Disables the file `name` through the real view.
  void DisableForSetup(const std::string& name) {
    realView.Refresh(rows);
    const int index = RowOf(name, true);
    rows.Toggle(index);
    realView.Disable(rows, prompter, index);
  }

  bool Live(const std::string& name, const std::string& data) {
    return files.Exists(Path(name)) && SameText(TargetOf(name), data);
  }
  bool Stored(const std::string& name, const std::string& data) {
    for (const StoredRecord& r : store.ListAll(KindId::kStartupFolder)) {
      if (SameText(TrimFolder(r.location), folder) && SameText(r.valueName, name) &&
          SameText(r.valueData, data)) {
        return true;
      }
    }
    return false;
  }
  void SwitchOff(const std::string& name) {
    registry.WriteBinary(HKEY_CURRENT_USER, switchKey, name,
                         std::string("\x03\0\0\0\x01\x02\x03\x04\0\0\0\0", 12), true);
  }
  bool SwitchedOff(const std::string& name) {
    const RegRead read = registry.ReadValue(HKEY_CURRENT_USER, switchKey, name);
    return read.status == RegReadStatus::kOk && ParseApprovedValue(read.value.data).off;
  }
  bool Kept(const std::string& name, const std::string& data) {
    return FindKeptFile(files, links, KeptFolderOf(folder), name, data).has_value();
  }
};

struct Identity {
  std::string name;
  std::string data;
};

enum class Goal { kKeep, kToggle, kRemove, kAdd };

struct Scenario {
  const char* name;
  Goal goal;
  // Builds the state through the real objects; returns the entry's identities (before, after).
  std::function<std::vector<Identity>(World&)> setup;
  std::function<void(World&)> act;
};

void Toggle(World& w, bool enable) {
  w.rows.Toggle(w.row);
  if (enable) {
    w.view.Enable(w.rows, w.prompter, w.row);
  } else {
    w.view.Disable(w.rows, w.prompter, w.row);
  }
}

std::vector<Scenario> Scenarios() {
  const std::string newTarget = "C:\\Windows\\System32\\notepad.exe";
  auto modify = [](const std::string& name, const std::string& data) {
    return [name, data](World& w) {
      w.prompter.modifyAnswer = EntryInput{name, data};
      w.view.Modify(w.rows, w.prompter);
    };
  };
  auto remove = [](World& w) { w.view.Remove(w.rows, w.prompter); };
  return {
      {"Disable", Goal::kToggle,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}};
       },
       [](World& w) { Toggle(w, false); }},
      {"Disable beside a kept file of the same name", Goal::kToggle,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.DisableForSetup("App.lnk");
         w.Fixture("App.lnk", "sample13.lnk");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}};
       },
       [](World& w) { Toggle(w, false); }},
      {"Enable from a kept file", Goal::kToggle,
       [](World& w) {
         w.Fixture("App.lnk", "sample13.lnk");
         const std::string target = w.TargetOf("App.lnk");
         w.DisableForSetup("App.lnk");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", false);
         return std::vector<Identity>{{"App.lnk", target}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Enable from a record only", Goal::kToggle,
       [](World& w) {
         w.store.Append(KindId::kStartupFolder, w.folder, "Other.lnk", "C:\\other.exe");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("Other.lnk", false);
         return std::vector<Identity>{{"Other.lnk", "C:\\other.exe"}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Enable over a live file of the same name", Goal::kToggle,
       [](World& w) {
         w.store.Append(KindId::kStartupFolder, w.folder, "App.lnk", "C:\\record.exe");
         w.links.WriteLink(w.Path("App.lnk"), "C:\\live.exe");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", false);
         w.prompter.replaceAnswer = true;
         return std::vector<Identity>{{"App.lnk", "C:\\record.exe"}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Enable of a file Windows switched off", Goal::kToggle,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.SwitchOff("App.lnk");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", false);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Enable from a kept file, Windows' switch off", Goal::kToggle,
       [](World& w) {
         w.Fixture("App.lnk", "sample13.lnk");
         const std::string target = w.TargetOf("App.lnk");
         w.DisableForSetup("App.lnk");
         w.SwitchOff("App.lnk");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("App.lnk", false);
         return std::vector<Identity>{{"App.lnk", target}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Modify the name of a live file", Goal::kKeep,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", true);
         const std::string t = w.TargetOf("App.lnk");
         w.prompter.modifyAnswer = EntryInput{"App2.lnk", t};
         return std::vector<Identity>{{"App.lnk", t}, {"App2.lnk", t}};
       },
       [](World& w) { w.view.Modify(w.rows, w.prompter); }},
      {"Modify the name and target of a live file", Goal::kKeep,
       [newTarget](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}, {"New.lnk", newTarget}};
       },
       modify("New.lnk", newTarget)},
      {"Modify the target of a live file", Goal::kKeep,
       [newTarget](World& w) {
         w.Fixture("App.lnk", "sample13.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}, {"App.lnk", newTarget}};
       },
       modify("App.lnk", newTarget)},
      {"Modify a disabled entry with a kept file", Goal::kKeep,
       [newTarget](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         const std::string target = w.TargetOf("App.lnk");
         w.DisableForSetup("App.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", false);
         return std::vector<Identity>{{"App.lnk", target}, {"Renamed.lnk", newTarget}};
       },
       modify("Renamed.lnk", newTarget)},
      {"Remove a live file", Goal::kRemove,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")}};
       },
       remove},
      {"Remove a disabled entry with a kept file", Goal::kRemove,
       [](World& w) {
         w.Fixture("App.lnk", "sample11.lnk");
         const std::string target = w.TargetOf("App.lnk");
         w.DisableForSetup("App.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", false);
         return std::vector<Identity>{{"App.lnk", target}};
       },
       remove},
      {"Disable a plain file", Goal::kToggle,
       [](World& w) {
         WriteBytes(w.Path("tool.bat"), "@echo off\r\n");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("tool.bat", true);
         return std::vector<Identity>{{"tool.bat", w.Path("tool.bat")}};
       },
       [](World& w) { Toggle(w, false); }},
      {"Enable the last kept file", Goal::kToggle,
       [](World& w) {
         WriteBytes(w.Path("tool.bat"), "@echo off\r\n");
         w.DisableForSetup("tool.bat");
         w.realView.Refresh(w.rows);
         w.row = w.RowOf("tool.bat", false);
         return std::vector<Identity>{{"tool.bat", w.Path("tool.bat")}};
       },
       [](World& w) { Toggle(w, true); }},
      {"Rename a plain file", Goal::kKeep,
       [](World& w) {
         WriteBytes(w.Path("tool.bat"), "@echo off\r\n");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("tool.bat", true);
         return std::vector<Identity>{{"tool.bat", w.Path("tool.bat")},
                                      {"run.bat", w.Path("run.bat")}};
       },
       [](World& w) {
         w.prompter.modifyAnswer = EntryInput{"run.bat", w.Path("tool.bat")};
         w.view.Modify(w.rows, w.prompter);
       }},
      {"Rename a disabled plain file", Goal::kKeep,
       [](World& w) {
         WriteBytes(w.Path("tool.bat"), "@echo off\r\n");
         w.DisableForSetup("tool.bat");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("tool.bat", false);
         return std::vector<Identity>{{"tool.bat", w.Path("tool.bat")},
                                      {"run.bat", w.Path("run.bat")}};
       },
       [](World& w) {
         w.prompter.modifyAnswer = EntryInput{"run.bat", w.Path("tool.bat")};
         w.view.Modify(w.rows, w.prompter);
       }},
      {"Modify the command of a live shortcut", Goal::kKeep,
       [](World& w) {
         w.Fixture("App.lnk", "sample13.lnk");
         w.realView.Refresh(w.rows);
         w.rows.selected = w.RowOf("App.lnk", true);
         return std::vector<Identity>{{"App.lnk", w.TargetOf("App.lnk")},
                                      {"App.lnk", "\"C:\\Program Files\\x.exe\" /min"}};
       },
       modify("App.lnk", "\"C:\\Program Files\\x.exe\" /min")},
      {"Add", Goal::kAdd,
       [](World& w) {
         w.prompter.addAnswer = EntryInput{"Notes", "C:\\notes.exe"};
         return std::vector<Identity>{{"Notes.lnk", "C:\\notes.exe"}};
       },
       [](World& w) { w.view.Add(w.rows, w.prompter); }},
      {"Add with arguments", Goal::kAdd,
       [](World& w) {
         w.prompter.addAnswer =
             EntryInput{"Sync", "\"C:\\Program Files\\sync.exe\" --profile \"W A\""};
         return std::vector<Identity>{
             {"Sync.lnk", "\"C:\\Program Files\\sync.exe\" --profile \"W A\""}};
       },
       [](World& w) { w.view.Add(w.rows, w.prompter); }},
      {"Add over an existing file", Goal::kAdd,
       [](World& w) {
         w.links.WriteLink(w.Path("Notes.lnk"), "C:\\old.exe");
         w.prompter.addAnswer = EntryInput{"Notes", "C:\\notes.exe"};
         w.prompter.replaceAnswer = true;
         return std::vector<Identity>{{"Notes.lnk", "C:\\notes.exe"}};
       },
       [](World& w) { w.view.Add(w.rows, w.prompter); }},
  };
}

// Runs the scenario's operation with call `call` failing or crashing (kNone: no fault) and
// checks what must hold afterwards. Returns the number of counted calls.
int RunOnce(const Scenario& s, FaultPlan::Mode mode, int call) {
  World w;
  const std::vector<Identity> ids = s.setup(w);
  w.plan.Arm(mode, call);
  bool crashed = false;
  try {
    s.act(w);
  } catch (const SimulatedCrash&) {
    crashed = true;
  }
  const int count = w.plan.Count();
  const std::vector<std::string> calls = w.plan.calls;
  w.plan.Disarm();
  SCOPED_TRACE(std::string(s.name) +
               (mode == FaultPlan::Mode::kFail ? ", fail at " : ", crash at ") +
               std::to_string(call) + " (" +
               (call >= 1 && call <= static_cast<int>(calls.size()) ? calls[call - 1] : "-") + ")");

  auto anywhere = [&](const Identity& id) {
    return w.Live(id.name, id.data) || w.Stored(id.name, id.data) || w.Kept(id.name, id.data);
  };
  const bool refused = !w.prompter.refusals.empty();
  switch (s.goal) {
    case Goal::kKeep:
    case Goal::kToggle: {
      bool present = false;
      for (const Identity& id : ids) present = present || anywhere(id);
      EXPECT_TRUE(present) << "the entry is lost";
      break;
    }
    case Goal::kRemove:
      if (!crashed && !refused) {
        EXPECT_FALSE(w.Live(ids[0].name, ids[0].data)) << "reported removed, still live";
        EXPECT_FALSE(w.Stored(ids[0].name, ids[0].data)) << "reported removed, still stored";
      }
      break;
    case Goal::kAdd:
      if (!crashed) {
        EXPECT_EQ(w.Live(ids[0].name, ids[0].data), !refused) << "the result is misreported";
      }
      break;
  }
  if (crashed) return count;
  // After a failure: a refusal and a journal record exclude each other.
  if (s.goal == Goal::kToggle || s.goal == Goal::kAdd || s.goal == Goal::kKeep) {
    EXPECT_EQ(w.journal.records.size(), refused ? 0u : 1u);
  }
  // The row of Enable and Disable shows where the entry is.
  if (s.goal == Goal::kToggle) {
    const Identity& id = ids[0];
    const bool enabled = w.rows.rows[w.row].enabled;
    const bool live = w.Live(id.name, id.data);
    // A file Windows has switched off is shown unchecked.
    EXPECT_EQ(enabled, live && !w.SwitchedOff(id.name))
        << "the check mark disagrees with the folder";
    // Nothing is half-done: the entry is not listed twice.
    EXPECT_EQ(w.Stored(id.name, id.data), !live) << "the record disagrees with the folder";
  }
  return count;
}

TEST(StartupFolderFaults, NoEntryIsLostWhereverACallFailsOrTheProcessDies) {
  int cases = 0;
  int operations = 0;
  for (const Scenario& s : Scenarios()) {
    ++operations;
    const int count = RunOnce(s, FaultPlan::Mode::kNone, 0);
    ASSERT_GT(count, 0) << s.name;
    for (int call = 1; call <= count; ++call) {
      for (FaultPlan::Mode mode : {FaultPlan::Mode::kFail, FaultPlan::Mode::kCrash}) {
        RunOnce(s, mode, call);
        ++cases;
      }
    }
    std::printf("  %-45s %2d calls x 2 modes\n", s.name, count);
  }
  std::printf("fault matrix: %d operations, %d runs (calls x {fail, crash})\n", operations, cases);
  RecordProperty("fault_runs", cases);
}

}  // namespace
