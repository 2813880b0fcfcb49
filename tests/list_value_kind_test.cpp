// The list-value view against the real registry of the test prefix and a real config.xml.
#include "core/list_value_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/registry_kind.h"
#include "platform/journal_component.h"
#include "store/journal_client.h"
#include "store/safe_format.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::FindRow;
using regkinds::KindsFixture;
using regkinds::Lines;

constexpr KindId kList = KindId::kListValue;

class ListValueViewTest : public KindsFixture {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    services_.emplace(Services());
    load_ = Location("Win\\Load");
    run_ = Location("Win\\Run");
    userinit_ = Location("Winlogon\\Userinit");
  }
  ListValueKind MakeView(std::vector<std::string> locations) {
    return ListValueKind(*services_, std::move(locations));
  }
  // Runs op on the row with this data and check state, after a fresh Refresh.
  template <typename Op>
  void OnRow(ListValueKind& view, const std::string& data, bool enabled, Op op) {
    view.Refresh(rows_);
    for (int row = 0; row < rows_.Count(); ++row) {
      const Row& r = rows_.rows[static_cast<std::size_t>(row)];
      if (r.data == data && r.enabled == enabled) {
        op(row);
        return;
      }
    }
    ADD_FAILURE() << "no row for " << data;
  }
  void DisableRow(ListValueKind& view, const std::string& data) {
    OnRow(view, data, true, [&](int row) {
      rows_.Toggle(row);
      view.Disable(rows_, prompter_, row);
    });
  }
  void EnableRow(ListValueKind& view, const std::string& data) {
    OnRow(view, data, false, [&](int row) {
      rows_.Toggle(row);
      view.Enable(rows_, prompter_, row);
    });
  }
  void RemoveRow(ListValueKind& view, const std::string& data, bool enabled) {
    OnRow(view, data, enabled, [&](int row) {
      rows_.selected = row;
      view.Remove(rows_, prompter_);
    });
  }

  std::optional<KindServices> services_;
  std::string load_, run_, userinit_;
};

// --- Refresh ---------------------------------------------------------------------------------

TEST_F(ListValueViewTest, RefreshListsOneRowPerItem) {
  SetValue("Win", "Run", "C:\\A.EXE C:\\B.EXE");
  SetValue("Winlogon", "Userinit", "C:\\WINDOWS\\system32\\userinit.exe,");
  ListValueKind view = MakeView({run_, userinit_});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_),
            (std::vector<std::string>{
                "Run|C:\\A.EXE|" + run_ + "|on", "Run|C:\\B.EXE|" + run_ + "|on",
                "Userinit|C:\\WINDOWS\\system32\\userinit.exe|" + userinit_ + "|on"}));
  for (const Row& row : rows_.rows) EXPECT_EQ(row.type, "_TreeWininiType");
  EXPECT_EQ(rows_.appendsOutsideFilling, 0);
  EXPECT_FALSE(rows_.filling);
  EXPECT_EQ(view.ColumnWidths(), (std::array<int, 5>{200, 80, 350, 350, 240}));
}

// Empty items are no entries: a missing key, a missing value, an empty value and separators
// alone list nothing.
TEST_F(ListValueViewTest, MissingKeyMissingValueAndEmptyValueListNoRows) {
  const std::string missingKey = Location("NoSuchKey\\Load");
  const std::string missingValue = Location("Win\\Load");
  const std::string emptyValue = Location("Other\\Load");
  CreateKey("Win");
  SetValue("Other", "Load", "");
  SetValue("Other", "Run", " ,, ");
  ListValueKind view = MakeView({missingKey, missingValue, emptyValue, Location("Other\\Run")});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), std::vector<std::string>{});
}

TEST_F(ListValueViewTest, RefreshShowsEachLocationsDisabledRowsBeforeItsItems) {
  SetValue("Win", "Load", "l1.exe");
  SetValue("Win", "Run", "r1.exe,r2.exe");
  ASSERT_TRUE(store_->Append(kList, run_, "Run", "roff.exe"));
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "loff.exe"));
  ASSERT_TRUE(store_->Append(kList, Location("Win\\Elsewhere"), "Elsewhere", "x.exe"));
  ListValueKind view = MakeView({load_, run_});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{
                              "Load|loff.exe|" + load_ + "|off",
                              "Load|l1.exe|" + load_ + "|on",
                              "Run|roff.exe|" + run_ + "|off",
                              "Run|r1.exe|" + run_ + "|on",
                              "Run|r2.exe|" + run_ + "|on",
                          }));
}

TEST_F(ListValueViewTest, AValueLongerThanItsOldBufferIsListedWhole) {
  std::string value;
  for (int i = 0; i < 120; ++i) value += "C:\\dir\\item" + std::to_string(i) + ".exe ";
  value += "last.exe";
  SetValue("Win", "Load", value);
  ListValueKind view = MakeView({load_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 121);
  EXPECT_EQ(rows_.rows.back().data, "last.exe");
}

// --- Remove ----------------------------------------------------------------------------------

struct RemoveCase {
  std::string value;
  std::string item;
  std::string valueAfter;
  std::vector<std::string> itemsAfter;
};

void PrintTo(const RemoveCase& c, std::ostream* os) {
  *os << "'" << c.item << "' out of '" << c.value << "'";
}

class ListRemoveTest : public ListValueViewTest,
                       public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(ListRemoveTest, RewritesTheValueWithoutTheItem) {
  const RemoveCase& c = GetParam();
  SetValue("Win", "Load", c.value);
  ListValueKind view = MakeView({load_});
  RemoveRow(view, c.item, true);
  EXPECT_EQ(GetString("Win", "Load"), c.valueAfter);
  std::vector<std::string> items;
  for (const Row& row : rows_.rows) items.push_back(row.data);
  EXPECT_EQ(items, c.itemsAfter);
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kRemove);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType1Content");
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{load_, "Load"}));
}

INSTANTIATE_TEST_SUITE_P(
    Remove, ListRemoveTest,
    ::testing::Values(RemoveCase{"a.exe,b.exe,", "b.exe", "a.exe,", {"a.exe"}},
                      RemoveCase{"a.exe, b.exe, c.exe", "b.exe", "a.exe,c.exe", {"a.exe", "c.exe"}},
                      RemoveCase{"a.exe b.exe a.exe", "a.exe", "b.exe", {"b.exe"}},
                      RemoveCase{"bb.exe b.exe", "b.exe", "bb.exe", {"bb.exe"}}));

TEST_F(ListValueViewTest, RemoveOfADisabledRowRemovesTheRecordAndLeavesTheValue) {
  SetValue("Win", "Load", "a.exe");
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "off.exe"));
  ListValueKind view = MakeView({load_});
  RemoveRow(view, "off.exe", false);
  EXPECT_TRUE(Records(kList).empty());
  EXPECT_EQ(GetString("Win", "Load"), "a.exe");
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"Load|a.exe|" + load_ + "|on"}));
  EXPECT_EQ(rows_.selected, 0);
  EXPECT_EQ(journal_.records.size(), 1u);
}

TEST_F(ListValueViewTest, RemoveOfAnItemThatIsNoLongerThereWritesNothing) {
  SetValue("Win", "Load", "a.exe b.exe");
  ListValueKind view = MakeView({load_});
  view.Refresh(rows_);
  SetValue("Win", "Load", "a.exe");  // another program took b.exe out meanwhile
  rows_.selected = 1;
  view.Remove(rows_, prompter_);
  EXPECT_EQ(GetString("Win", "Load"), "a.exe");
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_EQ(rows_.selected, 0);  // the list became shorter: the last row is selected
}

// --- Disable and Enable ----------------------------------------------------------------------

TEST_F(ListValueViewTest, DisableCutsTheItemAndEnableAppendsItAtTheEnd) {
  SetValue("Win", "Load", "a.exe b.exe");
  ListValueKind view = MakeView({load_});
  DisableRow(view, "a.exe");
  EXPECT_EQ(GetString("Win", "Load"), "b.exe");
  const std::vector<StoredRecord> records = Records(kList);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].location, load_);
  EXPECT_EQ(records[0].valueName, "Load");
  EXPECT_EQ(records[0].valueData, "a.exe");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kDisable);
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{load_, "Load"}));
  EXPECT_FALSE(rows_.rows[0].enabled);  // not refreshed: the row keeps its place

  EnableRow(view, "a.exe");
  EXPECT_EQ(GetString("Win", "Load"), "b.exe,a.exe");
  EXPECT_TRUE(Records(kList).empty());
  ASSERT_EQ(journal_.records.size(), 2u);
  EXPECT_EQ(journal_.records[1].kind, JournalKind::kEnable);
  EXPECT_EQ(journal_.records[1].args, (std::vector<std::string>{load_, "Load"}));
  EXPECT_TRUE(prompter_.refusals.empty());
}

TEST_F(ListValueViewTest, RewritesKeepAnExpandableStringType) {
  SetValue("Win", "Load", "%SystemRoot%\\a.exe b.exe", REG_EXPAND_SZ);
  ListValueKind view = MakeView({load_});
  DisableRow(view, "b.exe");
  EXPECT_EQ(GetValue("Win", "Load")->type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(GetString("Win", "Load"), "%SystemRoot%\\a.exe");
  EnableRow(view, "b.exe");
  EXPECT_EQ(GetValue("Win", "Load")->type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(GetString("Win", "Load"), "%SystemRoot%\\a.exe,b.exe");
}

TEST_F(ListValueViewTest, DisableOfOneItemKeepsEveryOtherItemOfALongValue) {
  std::string value;
  for (int i = 0; i < 60; ++i) value += "item" + std::to_string(i) + ".exe,";
  value += "last.exe";
  SetValue("Win", "Load", value);
  ListValueKind view = MakeView({load_});
  DisableRow(view, "item0.exe");
  EXPECT_EQ(GetString("Win", "Load"), value.substr(std::string("item0.exe,").size()));
}

TEST_F(ListValueViewTest, EnableIntoAMissingValueCreatesIt) {
  CreateKey("Win");
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "a.exe"));
  ListValueKind view = MakeView({load_});
  EnableRow(view, "a.exe");
  EXPECT_EQ(GetString("Win", "Load"), "a.exe");
  EXPECT_TRUE(Records(kList).empty());
}

TEST_F(ListValueViewTest, NonAsciiItemsRoundTrip) {
  const std::vector<std::string> items = {"C:\\Программы\\запуск.exe", "C:\\工具\\启动.exe",
                                          "C:\\😀\\run🚀.exe"};
  SetValue("Win", "Load", items[0] + "," + items[1] + "," + items[2]);
  ListValueKind view = MakeView({load_});
  for (const std::string& item : items) DisableRow(view, item);
  EXPECT_EQ(GetString("Win", "Load"), "");
  ASSERT_EQ(Records(kList).size(), 3u);
  for (const std::string& item : items) EnableRow(view, item);
  EXPECT_EQ(GetString("Win", "Load"), items[0] + "," + items[1] + "," + items[2]);
  EXPECT_TRUE(Records(kList).empty());
  EXPECT_TRUE(prompter_.refusals.empty());
}

// --- Userinit keeps userinit.exe -------------------------------------------------------------

enum class ItemOp { kDisable, kRemove, kModify };

struct UserinitCase {
  std::string valueName;  // "Userinit", or another list value for contrast
  std::string value;
  ItemOp op;
  std::string item;
  bool refused;
  std::string valueAfter;
};

void PrintTo(const UserinitCase& c, std::ostream* os) {
  *os << "op " << static_cast<int>(c.op) << " on '" << c.item << "' of " << c.valueName << " '"
      << c.value << "'";
}

class UserinitTest : public ListValueViewTest,
                     public ::testing::WithParamInterface<UserinitCase> {};

TEST_P(UserinitTest, NeverLosesUserinitExeNorWritesAnEmptyValue) {
  const UserinitCase& c = GetParam();
  SetValue("Winlogon", c.valueName, c.value);
  ListValueKind view = MakeView({Location("Winlogon\\" + c.valueName)});
  prompter_.modifyAnswer = EntryInput{c.valueName, "C:\\new.exe"};
  OnRow(view, c.item, true, [&](int row) {
    switch (c.op) {
      case ItemOp::kDisable:
        rows_.Toggle(row);
        view.Disable(rows_, prompter_, row);
        break;
      case ItemOp::kRemove:
        rows_.selected = row;
        view.Remove(rows_, prompter_);
        break;
      case ItemOp::kModify:
        rows_.selected = row;
        view.Modify(rows_, prompter_);
        break;
    }
  });
  EXPECT_EQ(GetString("Winlogon", c.valueName), c.valueAfter);
  if (c.refused) {
    ASSERT_EQ(prompter_.refusals.size(), 1u);
    EXPECT_EQ(prompter_.refusals[0].key, "_UserinitProtected");
    EXPECT_EQ(prompter_.refusals[0].arg, c.item);
    EXPECT_TRUE(Records(kList).empty());
    EXPECT_TRUE(journal_.records.empty());
    if (c.op == ItemOp::kDisable) {
      EXPECT_TRUE(rows_.rows.at(0).enabled) << "the check box is restored";
      EXPECT_EQ(rows_.restoredChecks, 1);
    }
  } else {
    EXPECT_TRUE(prompter_.refusals.empty());
    EXPECT_EQ(journal_.records.size(), 1u);
  }
}

const std::string kUserinit = "C:\\Windows\\system32\\userinit.exe";

INSTANTIATE_TEST_SUITE_P(
    ListValue, UserinitTest,
    ::testing::Values(
        UserinitCase{"Userinit", kUserinit + ",", ItemOp::kDisable, kUserinit, true,
                     kUserinit + ","},
        UserinitCase{"Userinit", kUserinit + ",", ItemOp::kRemove, kUserinit, true,
                     kUserinit + ","},
        UserinitCase{"Userinit", kUserinit + ",", ItemOp::kModify, kUserinit, true,
                     kUserinit + ","},
        // Any path, any letter case, quoted.
        UserinitCase{"Userinit", "\"C:\\WINDOWS\\System32\\USERINIT.EXE\",C:\\x.exe",
                     ItemOp::kDisable, "\"C:\\WINDOWS\\System32\\USERINIT.EXE\"", true,
                     "\"C:\\WINDOWS\\System32\\USERINIT.EXE\",C:\\x.exe"},
        // The other items come and go; the trailing comma stays.
        UserinitCase{"Userinit", kUserinit + ",C:\\x.exe,", ItemOp::kDisable, "C:\\x.exe", false,
                     kUserinit + ","},
        UserinitCase{"Userinit", kUserinit + ",C:\\x.exe,", ItemOp::kRemove, "C:\\x.exe", false,
                     kUserinit + ","},
        UserinitCase{"Userinit", kUserinit + ",C:\\x.exe,", ItemOp::kModify, "C:\\x.exe", false,
                     kUserinit + ",C:\\new.exe,"},
        // Without userinit.exe in it, the last item does not go either: never an empty value.
        UserinitCase{"Userinit", "C:\\x.exe,", ItemOp::kDisable, "C:\\x.exe", true, "C:\\x.exe,"},
        UserinitCase{"Userinit", "C:\\x.exe", ItemOp::kRemove, "C:\\x.exe", true, "C:\\x.exe"},
        // Only the Userinit value is guarded.
        UserinitCase{"Load", kUserinit + " a.exe", ItemOp::kDisable, kUserinit, false, "a.exe"}));

// --- Add and Modify --------------------------------------------------------------------------

TEST_F(ListValueViewTest, AddStoresTheShortFormOfAnExistingFile) {
  const std::string dir = folder_ + "\\Program Files Tool";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  const std::string file = dir + "\\tool with a long name.exe";
  ASSERT_TRUE(WriteBytes(file, "MZ"));
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(file.c_str(), shortPath, MAX_PATH), 0u);

  SetValue("Win", "Load", "C:\\A.EXE");
  ListValueKind view = MakeView({load_, run_});
  prompter_.addAnswer = EntryInput{"Tool", file};
  view.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.lastAddLocation, load_);
  EXPECT_EQ(prompter_.lastAddType, "_TreeWininiType");
  EXPECT_EQ(GetString("Win", "Load"), "C:\\A.EXE," + std::string(shortPath));
  EXPECT_FALSE(GetString("Win", "Run"));
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kAdd);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType2Content");
  EXPECT_EQ(journal_.records[0].args,
            (std::vector<std::string>{load_, "Load", std::string(shortPath)}));
}

TEST_F(ListValueViewTest, AddOfAMissingPathWritesItAsTypedAndBlanksMakeSeveralItems) {
  SetValue("Win", "Run", "C:\\A.EXE");
  ListValueKind view = MakeView({run_});
  prompter_.addAnswer = EntryInput{"x", "C:\\no such dir\\x.exe /min"};
  view.Add(rows_, prompter_);
  EXPECT_EQ(GetString("Win", "Run"), "C:\\A.EXE,C:\\no such dir\\x.exe /min");
  std::vector<std::string> items;
  for (const Row& row : rows_.rows) items.push_back(row.data);
  EXPECT_EQ(items, (std::vector<std::string>{"C:\\A.EXE", "C:\\no", "such", "dir\\x.exe", "/min"}));
}

TEST_F(ListValueViewTest, AddToAMissingKeyIsRefusedAndCreatesNothing) {
  ListValueKind view = MakeView({load_});
  prompter_.addAnswer = EntryInput{"x", "C:\\x.exe"};
  view.Add(rows_, prompter_);
  EXPECT_FALSE(GetString("Win", "Load"));
  ASSERT_EQ(prompter_.refusals.size(), 1u);
  EXPECT_EQ(prompter_.refusals[0].key, "_AddNotWritten");
  EXPECT_TRUE(journal_.records.empty());
}

TEST_F(ListValueViewTest, ModifyOfAnEnabledRowMovesTheNewItemToTheEnd) {
  SetValue("Win", "Load", "a.exe b.exe");
  ListValueKind view = MakeView({load_});
  view.Refresh(rows_);
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{"ignored", "c.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(prompter_.lastFields.name, "Load");
  EXPECT_EQ(prompter_.lastFields.data, "a.exe");
  EXPECT_EQ(GetString("Win", "Load"), "b.exe,c.exe");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kModify);
  EXPECT_EQ(journal_.records[0].args,
            (std::vector<std::string>{load_, "Load", "a.exe", "Load", "c.exe"}));
}

TEST_F(ListValueViewTest, ModifyOfADisabledRowChangesOnlyTheRecordsData) {
  SetValue("Win", "Load", "a.exe");
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "off.exe"));
  ListValueKind view = MakeView({load_});
  view.Refresh(rows_);
  rows_.selected = FindRow(rows_, "Load", "off.exe", false);
  prompter_.modifyAnswer = EntryInput{"NewName", "off2.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(GetString("Win", "Load"), "a.exe");
  const std::vector<StoredRecord> records = Records(kList);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].valueName, "Load");
  EXPECT_EQ(records[0].valueData, "off2.exe");
  EXPECT_EQ(journal_.records.size(), 1u);
}

// --- Values that cannot be rewritten safely --------------------------------------------------

TEST_F(ListValueViewTest, AValueThatIsNoTextIsNeverRewritten) {
  const std::vector<std::pair<DWORD, std::string>> values = {
      {REG_BINARY, "a.exe b.exe"},
      {REG_MULTI_SZ, std::string("a.exe b.exe\0\0", 13)},
  };
  for (const auto& [type, bytes] : values) {
    SCOPED_TRACE(type);
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Subkey("Win").c_str(), &raw), ERROR_SUCCESS);
    UniqueHkey key(raw);
    ASSERT_EQ(
        RegSetValueExA(key.Get(), "Load", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())),
        ERROR_SUCCESS);
    const auto before = Snapshot("Win");
    prompter_ = ScriptedPrompter();
    ListValueKind view = MakeView({load_});
    DisableRow(view, "a.exe");
    RemoveRow(view, "b.exe", true);
    prompter_.addAnswer = EntryInput{"x", "C:\\x.exe"};
    view.Add(rows_, prompter_);
    EXPECT_EQ(GetValue("Win", "Load")->type, type);
    EXPECT_EQ(GetString("Win", "Load"), bytes);
    EXPECT_EQ(Snapshot("Win"), before);
    EXPECT_TRUE(Records(kList).empty());
    ASSERT_EQ(prompter_.refusals.size(), 3u);
    for (const auto& refusal : prompter_.refusals) {
      EXPECT_EQ(refusal.key, "_ListValueUnreadable");
      EXPECT_EQ(refusal.arg, load_);
    }
    EXPECT_TRUE(journal_.records.empty());
  }
}

// A value whose text holds characters the 8-bit text cannot carry would be rewritten with
// substitutes: its items are shown flagged, and no change reaches the value.
TEST_F(ListValueViewTest, AValueWithCharactersTheTextCannotCarryIsNeverRewritten) {
  SetWide("Win", L"Load", L"a.exe b\xD800.exe");
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "off.exe"));
  const auto before = Snapshot("Win");
  ListValueKind view = MakeView({load_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 3);
  EXPECT_TRUE(rows_.rows[0].exact);  // the record
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_FALSE(rows_.rows[i].exact);
    EXPECT_EQ(rows_.rows[i].type, "_TreeWininiTypeInexact");
  }
  DisableRow(view, "a.exe");
  RemoveRow(view, "a.exe", true);
  EnableRow(view, "off.exe");
  prompter_.addAnswer = EntryInput{"x", "C:\\x.exe"};
  view.Add(rows_, prompter_);
  rows_.selected = FindRow(rows_, "Load", "a.exe", true);
  prompter_.modifyAnswer = EntryInput{"Load", "C:\\y.exe"};
  view.Modify(rows_, prompter_);

  EXPECT_EQ(Snapshot("Win"), before);
  EXPECT_EQ(Records(kList).size(), 1u);
  EXPECT_TRUE(journal_.records.empty());
  std::vector<std::string> keys;
  for (const auto& refusal : prompter_.refusals) keys.push_back(refusal.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"_EntryNotAddressable", "_EntryNotAddressable",
                                            "_ListValueNotAddressable", "_ListValueNotAddressable",
                                            "_EntryNotAddressable"}));
}

TEST_F(ListValueViewTest, AValueThatCannotBeReadWholeIsNeverRewritten) {
  SetValue("Win", "Load", "a.exe b.exe");
  ASSERT_TRUE(store_->Append(kList, load_, "Load", "off.exe"));
  KindServices faulty = FaultyServices();
  ListValueKind view(faulty, {load_});
  view.Refresh(rows_);
  using Mode = FaultPlan::Mode;
  // The first counted call of each operation is its read of the value.
  const int on = FindRow(rows_, "Load", "a.exe", true);
  const int off = FindRow(rows_, "Load", "off.exe", false);
  plan_.Arm(Mode::kFail, 1);
  rows_.Toggle(on);
  view.Disable(rows_, prompter_, on);
  EXPECT_TRUE(rows_.rows[static_cast<std::size_t>(on)].enabled);
  plan_.Arm(Mode::kFail, 1);
  rows_.Toggle(off);
  view.Enable(rows_, prompter_, off);
  EXPECT_FALSE(rows_.rows[static_cast<std::size_t>(off)].enabled);
  plan_.Arm(Mode::kFail, 1);
  rows_.selected = on;
  view.Remove(rows_, prompter_);
  // Modify asks for the short form of the new path before it reads the value.
  plan_.Arm(Mode::kFail, 2);
  rows_.selected = FindRow(rows_, "Load", "a.exe", true);
  prompter_.modifyAnswer = EntryInput{"x", "x.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(plan_.calls.at(1), "Registry::ReadValue");
  plan_.Disarm();
  EXPECT_EQ(GetString("Win", "Load"), "a.exe b.exe");
  EXPECT_EQ(Records(kList).size(), 1u);
  ASSERT_EQ(prompter_.refusals.size(), 4u);
  for (const auto& refusal : prompter_.refusals) EXPECT_EQ(refusal.key, "_ListValueUnreadable");
  EXPECT_TRUE(journal_.records.empty());
}

// --- Through the real journal client and the shipped language file ---------------------------

// Stands in for the journal component and keeps the five texts of every record.
class CapturingComponent final : public JournalComponent {
 public:
  std::vector<std::vector<std::string>> records;
  HRESULT SetDataDirectory(const std::string&) override { return S_OK; }
  HRESULT WriteRecord(const std::string& logType, const std::string& category,
                      const std::string& itemType, const std::string& source,
                      const std::string& content) override {
    records.push_back({logType, category, itemType, source, content});
    return S_OK;
  }
  HRESULT ShowViewer() override { return S_OK; }
};

TEST_F(ListValueViewTest, JournalRecordsReadAsTheLanguageFileSays) {
  const char* source = std::getenv("QV_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "QV_SOURCE_DIR is set by ctest";
  std::string file = std::string("Z:") + source + "/lang/Quorvane.language";
  for (char& c : file) c = (c == '/') ? '\\' : c;
  LanguageTable language(file);
  CapturingComponent component;
  JournalClient client(&component, language);
  KindServices services{realRegistry_, realFiles_, realLinks_, *store_, client, language};

  SetValue("Win", "Load", "a.exe b.exe");
  SetValue("RunKey", "app", "C:\\app.exe /s 100%");
  ListValueKind list(services, {load_});
  RegistryKind registry(services, {Location("RunKey")});
  list.Refresh(rows_);
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{"ignored", "c.exe"};
  list.Modify(rows_, prompter_);
  registry.Refresh(rows_);
  rows_.Toggle(0);
  registry.Disable(rows_, prompter_, 0);

  ASSERT_EQ(component.records.size(), 2u);
  const std::vector<std::string>& modify = component.records[0];
  EXPECT_EQ(modify[0], language.T("_LogType"));
  EXPECT_EQ(modify[1], language.T("_LogCategory"));
  EXPECT_EQ(modify[2], language.T("_LogItemType3"));
  EXPECT_EQ(modify[3], language.T("_LogSource"));
  EXPECT_NE(modify[2], "_LogItemType3");  // the shipped file has the text
  // The content takes location, name, old item, name, new item in that order.
  EXPECT_EQ(modify[4], SafeFormat(language.T("_LogItemType3Content"),
                                  {load_, "Load", "a.exe", "Load", "c.exe"}));
  EXPECT_NE(modify[4].find("a.exe"), std::string::npos);
  EXPECT_EQ(component.records[1][2], language.T("_LogItemType5"));
  EXPECT_EQ(component.records[1][4],
            SafeFormat(language.T("_LogItemType5Content"), {Location("RunKey"), "app"}));
  EXPECT_NE(component.records[1][4].find(Location("RunKey")), std::string::npos);
}

}  // namespace
