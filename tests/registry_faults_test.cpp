// The fault matrix of the registry and list-value kinds: every operation is run once to count
// its platform and store calls, then once per call N with call N failing and once with the
// process "dying" at call N. An entry is never lost; a failed step leaves the entry exactly where
// it was (and says why) or the operation completes; the row's check mark shows where it is.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "core/list_value_kind.h"
#include "core/list_value_text.h"
#include "core/registry_kind.h"
#include "core/startup_approved.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::FindRow;
using regkinds::KindsFixture;
using Mode = FaultPlan::Mode;

// Where the entry before the operation (old) and the entry it should become (new) are.
struct Places {
  bool oldLive = false;
  bool oldStored = false;
  bool newLive = false;
  bool newStored = false;
  bool operator==(const Places&) const = default;
  Places operator|(const Places& o) const {
    return {oldLive || o.oldLive, oldStored || o.oldStored, newLive || o.newLive,
            newStored || o.newStored};
  }
  bool Anywhere() const { return oldLive || oldStored || newLive || newStored; }
};

std::ostream& operator<<(std::ostream& out, const Places& p) {
  return out << "{oldLive " << p.oldLive << ", oldStored " << p.oldStored << ", newLive "
             << p.newLive << ", newStored " << p.newStored << "}";
}

struct Scenario {
  std::string name;
  std::function<void()> setUp;                      // puts the entry in place, outside the plan
  std::function<void(MemoryRows&, Prompter&)> act;  // after a Refresh of the rows
  Places before = {};
  Places after = {};
  bool movesEntry = true;  // the entry must be somewhere in the end (not Add or Remove)
  // For Enable and Disable: the row that was toggled and the check that means "done".
  std::function<int(const MemoryRows&)> toggledRow = nullptr;
  bool checkWhenDone = false;
};

class FaultMatrixTest : public KindsFixture {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    faulty_.emplace(FaultyServices());
    runKey_ = Location("Run");
    load_ = Location("Win\\Load");
    // Windows' switches of the Run key's entries, under the test key.
    places_.Add(runKey_, HKEY_CURRENT_USER, Subkey("Approved"));
    faulty_->approved = &places_;
  }

  void Reset() {
    RegDeleteTreeA(HKEY_CURRENT_USER, keyBase_.c_str());
    DeleteFileA(store_->TempPath().c_str());
    ASSERT_TRUE(WriteBytes(storePath_,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "<config><toolquorvane></toolquorvane></config>\r\n"));
    rows_ = MemoryRows();
    prompter_ = ScriptedPrompter();
    journal_.records.clear();
  }

  // Runs the scenario with call `call` failing or crashing (call 0: nothing fails) and checks
  // the outcome. Returns the number of counted calls of the operation.
  int RunOnce(EntryKind& view, const Scenario& s, Mode mode, int call,
              const std::function<Places()>& where) {
    Reset();
    s.setUp();
    plan_.Disarm();
    view.Refresh(rows_);
    EXPECT_EQ(where(), s.before) << s.name << ": set-up";
    plan_.Arm(mode, call);
    bool crashed = false;
    try {
      s.act(rows_, prompter_);
    } catch (const SimulatedCrash&) {
      crashed = true;
    }
    const int count = plan_.Count();
    const std::string failedCall =
        call >= 1 && call <= static_cast<int>(plan_.calls.size()) ? plan_.calls[call - 1] : "";
    plan_.Disarm();
    const Places now = where();
    const std::string context = s.name + (mode == Mode::kFail ? ", fail" : ", crash") +
                                " at call " + std::to_string(call) + " (" + failedCall + ")";
    if (s.movesEntry) {
      EXPECT_TRUE(now.Anywhere()) << context << ": the entry was lost";
    }
    if (crashed) {
      EXPECT_TRUE(now == s.before || now == s.after || now == (s.before | s.after))
          << context << ": " << now;
      return count;
    }
    const bool refused = !prompter_.refusals.empty();
    EXPECT_EQ(now, refused ? s.before : s.after) << context << (refused ? ", refused" : "");
    EXPECT_EQ(journal_.records.size(), refused ? 0u : 1u) << context;
    if (s.toggledRow) {
      const int row = s.toggledRow(rows_);
      if (row < 0) {
        ADD_FAILURE() << context << ": the toggled row is gone";
        return count;
      }
      EXPECT_EQ(rows_.rows.at(static_cast<std::size_t>(row)).enabled,
                refused ? !s.checkWhenDone : s.checkWhenDone)
          << context << ": the check mark does not show where the entry is";
    }
    return count;
  }

  // The whole matrix for one scenario; returns its number of runs (points x modes).
  int RunMatrix(EntryKind& view, const Scenario& s, const std::function<Places()>& where) {
    const int count = RunOnce(view, s, Mode::kNone, 0, where);
    EXPECT_GT(count, 0) << s.name;
    for (int call = 1; call <= count; ++call) {
      for (Mode mode : {Mode::kFail, Mode::kCrash}) RunOnce(view, s, mode, call, where);
    }
    std::cout << "  " << s.name << ": " << count << " call points x 2 modes\n";
    return count * 2;
  }

  bool Stored(KindId kind, const std::string& path, const std::string& name,
              const std::string& data) {
    for (const StoredRecord& r : store_->ListAll(kind)) {
      if (r.location == path && r.valueName == name && r.valueData == data) return true;
    }
    return false;
  }

  std::optional<KindServices> faulty_;
  ApprovedPlaces places_;
  std::string runKey_, load_;
};

// The index of the row (name, data) whatever its check mark; -1 when there is none.
std::function<int(const MemoryRows&)> RowOf(std::string name, std::string data) {
  return [=](const MemoryRows& rows) {
    for (int i = 0; i < rows.Count(); ++i) {
      const Row& row = rows.rows[static_cast<std::size_t>(i)];
      if (row.name == name && row.data == data) return i;
    }
    return -1;
  };
}

// Where an entry can be.
const Places kNowhere{};
const Places kOldLive{.oldLive = true};
const Places kOldStored{.oldStored = true};
const Places kNewLive{.newLive = true};
const Places kNewStored{.newStored = true};

// What the one table of operations needs of a kind: the entry (name0, data0) it starts from,
// what Modify and Add turn it into, the set-ups that put it live, stored or nowhere, and where
// it is now.
struct KindUnderTest {
  std::string label;
  EntryKind& kind;
  std::string name0, data0;
  EntryInput modifyTo, addAs;
  std::function<void()> live, stored, none;
  std::function<Places()> where;
};

// Every entry operation of a registry or list-value kind with its places before and after.
std::vector<Scenario> Operations(const KindUnderTest& k) {
  auto toggle = [k](bool enabled) {
    return [k, enabled](MemoryRows& rows, Prompter& prompter) {
      const int row = FindRow(rows, k.name0, k.data0, enabled);
      rows.Toggle(row);
      enabled ? k.kind.Disable(rows, prompter, row) : k.kind.Enable(rows, prompter, row);
    };
  };
  auto onSelected = [k](bool enabled, std::function<void(MemoryRows&, Prompter&)> op) {
    return [k, enabled, op](MemoryRows& rows, Prompter& prompter) {
      rows.selected = FindRow(rows, k.name0, k.data0, enabled);
      op(rows, prompter);
    };
  };
  auto modify = [k](MemoryRows& rows, Prompter& prompter) {
    static_cast<ScriptedPrompter&>(prompter).modifyAnswer = k.modifyTo;
    k.kind.Modify(rows, prompter);
  };
  auto remove = [k](MemoryRows& rows, Prompter& prompter) { k.kind.Remove(rows, prompter); };
  auto add = [k](MemoryRows& rows, Prompter& prompter) {
    static_cast<ScriptedPrompter&>(prompter).addAnswer = k.addAs;
    k.kind.Add(rows, prompter);
  };
  const auto row0 = RowOf(k.name0, k.data0);
  return {
      {.name = k.label + " Disable",
       .setUp = k.live,
       .act = toggle(true),
       .before = kOldLive,
       .after = kOldStored,
       .toggledRow = row0,
       .checkWhenDone = false},
      {.name = k.label + " Enable",
       .setUp = k.stored,
       .act = toggle(false),
       .before = kOldStored,
       .after = kOldLive,
       .toggledRow = row0,
       .checkWhenDone = true},
      {.name = k.label + " Modify enabled",
       .setUp = k.live,
       .act = onSelected(true, modify),
       .before = kOldLive,
       .after = kNewLive},
      {.name = k.label + " Modify disabled",
       .setUp = k.stored,
       .act = onSelected(false, modify),
       .before = kOldStored,
       .after = kNewStored},
      {.name = k.label + " Remove enabled",
       .setUp = k.live,
       .act = onSelected(true, remove),
       .before = kOldLive,
       .after = kNowhere,
       .movesEntry = false},
      {.name = k.label + " Remove disabled",
       .setUp = k.stored,
       .act = onSelected(false, remove),
       .before = kOldStored,
       .after = kNowhere,
       .movesEntry = false},
      {.name = k.label + " Add",
       .setUp = k.none,
       .act = add,
       .before = kNowhere,
       .after = kNewLive,
       .movesEntry = false},
  };
}

TEST_F(FaultMatrixTest, RegistryViewNeverLosesAnEntry) {
  RegistryKind view(*faulty_, {runKey_});
  const std::string n0 = "app", d0 = "C:\\app.exe /x", n1 = "tool", d1 = "C:\\tool.exe";
  // Values of types the view does not list sit beside the entry; no run may touch them.
  const std::string multi("x.exe\0y.exe\0", 12);
  auto neighbours = [&] {
    SetValue("Run", "hidden multi", multi, REG_MULTI_SZ);
    SetDword("Run", "hidden dword", 7);
  };
  // The name of a string value an operation replaces after Yes: it must never vanish.
  std::string replaced;
  const KindUnderTest k{
      .label = "registry",
      .kind = view,
      .name0 = n0,
      .data0 = d0,
      .modifyTo = {n1, d1},
      .addAs = {n1, d1},
      .live =
          [&] {
            SetValue("Run", "other", "C:\\other.exe");
            SetValue("Run", n0, d0);
            neighbours();
          },
      .stored =
          [&] {
            SetValue("Run", "other", "C:\\other.exe");
            ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, n0, d0));
            neighbours();
          },
      .none = neighbours,
      .where =
          [&] {
            const std::optional<Value> hiddenMulti = GetValue("Run", "hidden multi");
            EXPECT_TRUE(hiddenMulti && hiddenMulti->type == REG_MULTI_SZ &&
                        hiddenMulti->data == multi + '\0');
            const std::optional<Value> hiddenDword = GetValue("Run", "hidden dword");
            EXPECT_TRUE(hiddenDword && hiddenDword->type == REG_DWORD &&
                        hiddenDword->data == std::string("\x07\0\0\0", 4));
            if (!replaced.empty()) {
              EXPECT_TRUE(GetString("Run", replaced)) << replaced;
            }
            return Places{GetString("Run", n0) == d0, Stored(KindId::kRegistry, runKey_, n0, d0),
                          GetString("Run", n1) == d1, Stored(KindId::kRegistry, runKey_, n1, d1)};
          },
  };
  std::vector<Scenario> scenarios = Operations(k);
  // Onto an existing string value, answered Yes: a refused run puts that value back.
  const std::string prior = "C:\\prior.exe";
  auto yes = [](ScriptedPrompter& prompter) { prompter.replaceAnswer = true; };
  scenarios.push_back({.name = "registry Enable over a string value",
                       .setUp =
                           [&] {
                             k.stored();
                             SetValue("Run", n0, prior);
                           },
                       .act =
                           [&](MemoryRows& rows, Prompter& prompter) {
                             yes(static_cast<ScriptedPrompter&>(prompter));
                             const int row = FindRow(rows, n0, d0, false);
                             rows.Toggle(row);
                             view.Enable(rows, prompter, row);
                           },
                       .before = kOldStored,
                       .after = kOldLive,
                       .toggledRow = RowOf(n0, d0),
                       .checkWhenDone = true});
  scenarios.push_back(
      {.name = "registry Modify onto a string value",
       .setUp =
           [&] {
             k.live();
             SetValue("Run", n1, prior);
           },
       .act =
           [&](MemoryRows& rows, Prompter& prompter) {
             yes(static_cast<ScriptedPrompter&>(prompter));
             static_cast<ScriptedPrompter&>(prompter).modifyAnswer = EntryInput{n1, d1};
             rows.selected = FindRow(rows, n0, d0, true);
             view.Modify(rows, prompter);
           },
       .before = kOldLive,
       .after = kNewLive});
  scenarios.push_back(
      {.name = "registry Add over a string value",
       .setUp =
           [&] {
             k.none();
             SetValue("Run", n1, prior);
           },
       .act =
           [&](MemoryRows& rows, Prompter& prompter) {
             yes(static_cast<ScriptedPrompter&>(prompter));
             static_cast<ScriptedPrompter&>(prompter).addAnswer = EntryInput{n1, d1};
             view.Add(rows, prompter);
           },
       .before = kNowhere,
       .after = kNewLive,
       .movesEntry = false});
  // The value each scenario replaces: none for the plain operations, then n0, n1, n1.
  std::vector<std::string> replacedBy(scenarios.size() - 3);
  replacedBy.insert(replacedBy.end(), {n0, n1, n1});
  int runs = 0;
  for (std::size_t i = 0; i < scenarios.size(); ++i) {
    replaced = replacedBy[i];
    runs += RunMatrix(view, scenarios[i], k.where);
  }
  // Windows has the entry switched off: checking it, or enabling it from the store, switches
  // it on. Here old is "live, switched off" and new is "live, switched on".
  auto switchedOff = [&] {
    const RegRead read = realRegistry_.ReadValue(HKEY_CURRENT_USER, Subkey("Approved"), n0);
    return read.status == RegReadStatus::kOk && ParseApprovedValue(read.value.data).off;
  };
  auto switchOff = [&] {
    ASSERT_TRUE(realRegistry_.WriteBinary(HKEY_CURRENT_USER, Subkey("Approved"), n0,
                                          std::string("\x03\0\0\0\x01\x02\x03\x04\0\0\0\0", 12),
                                          true));
  };
  auto whereSwitch = [&] {
    const bool live = GetString("Run", n0) == d0;
    return Places{live && switchedOff(), Stored(KindId::kRegistry, runKey_, n0, d0),
                  live && !switchedOff(), false};
  };
  auto enableRow = [&](MemoryRows& rows, Prompter& prompter) {
    const int row = FindRow(rows, n0, d0, false);
    rows.Toggle(row);
    view.Enable(rows, prompter, row);
  };
  const std::vector<Scenario> switchScenarios = {
      {.name = "registry Enable of a Windows-off entry",
       .setUp =
           [&] {
             k.live();
             switchOff();
           },
       .act = enableRow,
       .before = kOldLive,
       .after = kNewLive,
       .toggledRow = RowOf(n0, d0),
       .checkWhenDone = true},
      {.name = "registry Enable from the store, Windows' switch off",
       .setUp =
           [&] {
             k.stored();
             switchOff();
           },
       .act = enableRow,
       .before = kOldStored,
       .after = kNewLive,
       .toggledRow = RowOf(n0, d0),
       .checkWhenDone = true},
  };
  replaced.clear();
  for (const Scenario& s : switchScenarios) runs += RunMatrix(view, s, whereSwitch);
  std::cout << "registry view fault matrix: " << scenarios.size() + switchScenarios.size()
            << " operations, " << runs << " runs\n";
  RecordProperty("registry_runs", runs);
}

// The same operations on an expandable value: wherever the entry is after a fault, it is there
// with its type, live as REG_EXPAND_SZ or stored with valuetype REG_EXPAND_SZ. (Add writes plain
// strings only, so it is not in this table.)
TEST_F(FaultMatrixTest, AnExpandableRegistryEntryNeverLosesItsType) {
  RegistryKind view(*faulty_, {runKey_});
  const std::string n0 = "health", d0 = "%windir%\\health.exe", n1 = "care",
                    d1 = "%ProgramFiles%\\care.exe";
  const auto live = [this](const std::string& name, const std::string& data) {
    const std::optional<Value> value = GetValue("Run", name);
    return value && value->type == REG_EXPAND_SZ && value->data == data;
  };
  const auto stored = [this](const std::string& name, const std::string& data) {
    for (const StoredRecord& r : store_->ListAll(KindId::kRegistry)) {
      if (r.location == runKey_ && r.valueName == name && r.valueData == data &&
          r.valueType == REG_EXPAND_SZ) {
        return true;
      }
    }
    return false;
  };
  const KindUnderTest k{
      .label = "expandable",
      .kind = view,
      .name0 = n0,
      .data0 = d0,
      .modifyTo = {n1, d1},
      .addAs = {n1, d1},
      .live = [&] { SetValue("Run", n0, d0, REG_EXPAND_SZ); },
      .stored =
          [&] {
            SetValue("Run", "other", "C:\\other.exe");
            ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, n0, d0, REG_EXPAND_SZ));
          },
      .none = [] {},
      .where =
          [&] {
            return Places{live(n0, d0), stored(n0, d0), live(n1, d1), stored(n1, d1)};
          },
  };
  std::vector<Scenario> scenarios = Operations(k);
  std::erase_if(scenarios, [](const Scenario& s) { return s.name == "expandable Add"; });
  int runs = 0;
  for (const Scenario& s : scenarios) runs += RunMatrix(view, s, k.where);
  std::cout << "expandable registry fault matrix: " << scenarios.size() << " operations, " << runs
            << " runs\n";
  RecordProperty("expandable_runs", runs);
}

TEST_F(FaultMatrixTest, ListValueViewNeverLosesAnItem) {
  ListValueKind view(*faulty_, {load_});
  const std::string d0 = "b.exe", d1 = "d.exe";
  const KindUnderTest k{
      .label = "list",
      .kind = view,
      .name0 = "Load",
      .data0 = d0,
      .modifyTo = {"Load", d1},
      .addAs = {"x", d1},
      .live = [&] { SetValue("Win", "Load", "a.exe b.exe c.exe"); },
      .stored =
          [&] {
            SetValue("Win", "Load", "a.exe c.exe");
            ASSERT_TRUE(store_->Append(KindId::kListValue, load_, "Load", d0));
          },
      .none = [&] { SetValue("Win", "Load", "a.exe c.exe"); },
      // The neighbours of the item must survive every run too.
      .where =
          [&] {
            const std::optional<std::string> value = GetString("Win", "Load");
            const std::vector<std::string> items = SplitListItems(value.value_or(""));
            auto has = [&](const std::string& item) {
              return std::find(items.begin(), items.end(), item) != items.end();
            };
            EXPECT_TRUE(has("a.exe") && has("c.exe")) << "value: " << value.value_or("(none)");
            return Places{has(d0), Stored(KindId::kListValue, load_, "Load", d0), has(d1),
                          Stored(KindId::kListValue, load_, "Load", d1)};
          },
  };
  const std::vector<Scenario> scenarios = Operations(k);
  int runs = 0;
  for (const Scenario& s : scenarios) runs += RunMatrix(view, s, k.where);
  std::cout << "list-value view fault matrix: " << scenarios.size() << " operations, " << runs
            << " runs\n";
  RecordProperty("list_value_runs", runs);
}

// The refusals name the guard that stopped the operation.
TEST_F(FaultMatrixTest, RefusalsNameWhatStoppedTheOperation) {
  RegistryKind view(*faulty_, {runKey_});
  struct Case {
    std::string failing;  // the call that fails
    bool disable;
    std::string key;
  };
  const std::vector<Case> cases = {
      {"Store::Append", true, "_DisableNotStored"},
      {"Store::ReadBack", true, "_DisableNotStored"},
      {"Registry::DeleteValue", true, "_DisableNotRemoved"},
      {"Registry::WriteString", false, "_EnableNotWritten"},
      {"Store::RemoveMatching", false, "_EnableNotWritten"},
      {"Store::ReadBack", false, "_EnableNotWritten"},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.disable) {
      SetValue("Run", "app", "C:\\app.exe");
    } else {
      ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, "app", "C:\\app.exe"));
    }
    view.Refresh(rows_);
    // Count the calls up to the one that should fail, on a dry run of a copy of the state.
    plan_.Arm(Mode::kNone, 0);
    rows_.Toggle(0);
    c.disable ? view.Disable(rows_, prompter_, 0) : view.Enable(rows_, prompter_, 0);
    const auto& calls = plan_.calls;
    const auto it = std::find(calls.begin(), calls.end(), c.failing);
    ASSERT_NE(it, calls.end()) << c.failing;
    const int call = static_cast<int>(it - calls.begin()) + 1;

    Reset();
    if (c.disable) {
      SetValue("Run", "app", "C:\\app.exe");
    } else {
      ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, "app", "C:\\app.exe"));
    }
    plan_.Disarm();
    view.Refresh(rows_);
    plan_.Arm(Mode::kFail, call);
    rows_.Toggle(0);
    c.disable ? view.Disable(rows_, prompter_, 0) : view.Enable(rows_, prompter_, 0);
    plan_.Disarm();
    ASSERT_EQ(prompter_.refusals.size(), 1u) << c.failing;
    EXPECT_EQ(prompter_.refusals[0].key, c.key) << c.failing;
    EXPECT_EQ(prompter_.refusals[0].arg, "app");
    EXPECT_EQ(rows_.rows[0].enabled, c.disable) << c.failing;
    EXPECT_EQ(rows_.restoredChecks, 1);
    EXPECT_EQ(GetString("Run", "app").has_value(), c.disable) << c.failing;
    EXPECT_EQ(Records(KindId::kRegistry).size(), c.disable ? 0u : 1u) << c.failing;
  }
}

}  // namespace

// A refused change carries the system's reason, and the message shows it after the program's
// own text.
TEST_F(FaultMatrixTest, RefusalsCarryTheSystemsReason) {
  RegistryKind view(*faulty_, {runKey_});
  Reset();
  view.Refresh(rows_);
  prompter_.addAnswer = EntryInput{"app", "C:\\app.exe"};
  plan_.FailWith(ERROR_ACCESS_DENIED);
  plan_.Arm(Mode::kFail, 2);  // Add reads the name, then writes: the write fails
  view.Add(rows_, prompter_);
  plan_.Disarm();
  plan_.FailWith(ERROR_WRITE_FAULT);
  ASSERT_EQ(prompter_.refusals.size(), 1u);
  EXPECT_EQ(prompter_.refusals[0].key, "_AddNotWritten");
  EXPECT_EQ(prompter_.refusals[0].reason.Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(GetString("Run", "app").has_value());
  EXPECT_TRUE(journal_.records.empty());

  const std::string denied = SystemMessage(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(denied.empty());
  EXPECT_EQ(WithSystemReason("The entry was not added.", prompter_.refusals[0].reason),
            "The entry was not added. " + denied);
}
