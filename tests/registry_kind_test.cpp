// The registry view against the real registry of the test prefix and a real config.xml.
#include "core/registry_kind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/kind_factory.h"
#include "core/list_value_kind.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::FindRow;
using regkinds::KindsFixture;
using regkinds::Lines;

constexpr KindId kReg = KindId::kRegistry;

class RegistryViewTest : public KindsFixture {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    services_.emplace(Services());
    runA_ = Location("RunA");
    runB_ = Location("RunB");
  }
  RegistryKind MakeView(std::vector<std::string> locations) {
    return RegistryKind(*services_, std::move(locations));
  }

  std::optional<KindServices> services_;
  std::string runA_, runB_;
};

// --- Refresh ---------------------------------------------------------------------------------

TEST_F(RegistryViewTest, RefreshListsStringAndExpandableValuesWithTheirTypeTexts) {
  SetValue("RunA", "a1", "C:\\a1.exe");
  SetValue("RunA", "a2", "%SystemRoot%\\a2.exe", REG_EXPAND_SZ);
  SetDword("RunA", "a3", 7);
  SetValue("RunA", "a4", "C:\\a4.exe /min");
  SetValue("RunA", "a5", std::string("x.exe\0y.exe\0", 12), REG_MULTI_SZ);
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  // The expandable data is shown as stored, not expanded.
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"a1|C:\\a1.exe|" + runA_ + "|on",
                                                    "a2|%SystemRoot%\\a2.exe|" + runA_ + "|on",
                                                    "a4|C:\\a4.exe /min|" + runA_ + "|on"}));
  ASSERT_EQ(rows_.Count(), 3);
  EXPECT_EQ(rows_.rows[0].type, "_RegString");
  EXPECT_EQ(rows_.rows[1].type, "_RegExpandString");
  EXPECT_EQ(rows_.rows[2].type, "_RegString");
  EXPECT_EQ(view.ColumnWidths(), (std::array<int, 5>{150, 60, 350, 350, 240}));
  EXPECT_EQ(view.Kind(), KindId::kRegistry);
}

TEST_F(RegistryViewTest, RefreshListsLongNamesAndDataAndTheValuesAfterThem) {
  // Names sort in creation order, so Wine's sorted enumeration keeps the order.
  const std::string longName = "b_" + std::string(300, 'n');
  const std::string longData = "C:\\" + std::string(70000, 'd') + ".exe";
  SetValue("RunA", "a_first", "C:\\first.exe");
  SetValue("RunA", longName, longData);
  SetValue("RunA", "c_last", "C:\\last.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 3);
  EXPECT_EQ(rows_.rows[1].name, longName);
  EXPECT_EQ(rows_.rows[1].data, longData);
  EXPECT_EQ(rows_.rows[2].name, "c_last");
}

TEST_F(RegistryViewTest, RefreshOrdersLocationByLocationDisabledRowsFirst) {
  SetValue("RunA", "a1", "C:\\a1.exe");
  SetValue("RunB", "b1", "C:\\b1.exe");
  ASSERT_TRUE(store_->Append(kReg, runB_, "bOff", "C:\\boff.exe"));
  // Letter case of the record's path differs: still listed, with the view's own string.
  std::string upperA = runA_;
  for (char& c : upperA) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(store_->Append(kReg, upperA, "aOff1", "C:\\aoff1.exe"));
  ASSERT_TRUE(store_->Append(kReg, runA_, "aOff2", "C:\\aoff2.exe"));
  ASSERT_TRUE(store_->Append(kReg, Location("Elsewhere"), "x", "C:\\x.exe"));
  // A record with the same name as a live value is listed as well.
  ASSERT_TRUE(store_->Append(kReg, runA_, "a1", "C:\\old.exe"));

  RegistryKind view = MakeView({runA_, runB_});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{
                              "aOff1|C:\\aoff1.exe|" + runA_ + "|off",
                              "aOff2|C:\\aoff2.exe|" + runA_ + "|off",
                              "a1|C:\\old.exe|" + runA_ + "|off",
                              "a1|C:\\a1.exe|" + runA_ + "|on",
                              "bOff|C:\\boff.exe|" + runB_ + "|off",
                              "b1|C:\\b1.exe|" + runB_ + "|on",
                          }));
}

TEST_F(RegistryViewTest, ARecordIsListedUnderEveryLocationItMatches) {
  ASSERT_TRUE(store_->Append(kReg, runA_, "aOff", "C:\\aoff.exe"));
  std::string lowerA = runA_;
  for (char& c : lowerA) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  RegistryKind view = MakeView({runA_, runB_, lowerA});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"aOff|C:\\aoff.exe|" + runA_ + "|off",
                                                    "aOff|C:\\aoff.exe|" + lowerA + "|off"}));
}

TEST_F(RegistryViewTest, RefreshHoldsTheFillingFlagAndSkipsWhatCannotBeListed) {
  SetValue("RunB", "b1", "C:\\b1.exe");
  ASSERT_TRUE(store_->Append(kReg, runA_, "aOff", "C:\\aoff.exe"));  // RunA key is missing
  ASSERT_TRUE(store_->Append(kReg, "HKEY_PERFORMANCE_DATA\\X", "p", "C:\\p.exe"));
  RegistryKind view = MakeView({runA_, "HKEY_PERFORMANCE_DATA\\X", runB_});
  rows_.rows.push_back(Row{"stale", "", "", "", true});
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"aOff|C:\\aoff.exe|" + runA_ + "|off",
                                                    "b1|C:\\b1.exe|" + runB_ + "|on"}));
  EXPECT_EQ(rows_.appendsOutsideFilling, 0);
  EXPECT_FALSE(rows_.filling);
}

TEST_F(RegistryViewTest, LocationListIsTrimmedOfBackslashesAndEmptyStrings) {
  RegistryKind view = MakeView({"\\\\", "\\\\" + runA_ + "\\\\", "HKEY_USERS\\X", ""});
  EXPECT_EQ(view.Locations(), (std::vector<std::string>{runA_, "HKEY_USERS\\X"}));
}

// --- Disable and Enable ----------------------------------------------------------------------

TEST_F(RegistryViewTest, DisableStoresTheRecordThenDeletesTheValue) {
  SetValue("RunA", "app", "C:\\app.exe -x");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.Toggle(0);
  view.Disable(rows_, prompter_, 0);

  EXPECT_FALSE(GetString("RunA", "app"));
  const std::vector<StoredRecord> records = Records(kReg);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].location, runA_);
  EXPECT_EQ(records[0].valueName, "app");
  EXPECT_EQ(records[0].valueData, "C:\\app.exe -x");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kDisable);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType5Content");
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{runA_, "app"}));
  // Not refreshed: the row stays, unchecked.
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"app|C:\\app.exe -x|" + runA_ + "|off"}));
  EXPECT_TRUE(prompter_.refusals.empty());
}

TEST_F(RegistryViewTest, DisableThenEnableRestoresNameAndDataAndTakesOneRecordOut) {
  SetValue("RunA", "app", "C:\\app.exe");
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\app.exe"));  // an older equal record
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  const int live = FindRow(rows_, "app", "C:\\app.exe", true);
  ASSERT_GE(live, 0);
  rows_.Toggle(live);
  view.Disable(rows_, prompter_, live);
  EXPECT_EQ(Records(kReg).size(), 2u);
  rows_.Toggle(live);
  view.Enable(rows_, prompter_, live);

  EXPECT_EQ(GetValue("RunA", "app")->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(GetString("RunA", "app"), "C:\\app.exe");
  EXPECT_EQ(Records(kReg).size(), 1u);
  ASSERT_EQ(journal_.records.size(), 2u);
  EXPECT_EQ(journal_.records[1].kind, JournalKind::kEnable);
  EXPECT_EQ(journal_.records[1].contentKey, "_LogItemType4Content");
  EXPECT_EQ(journal_.records[1].args, (std::vector<std::string>{runA_, "app"}));
  EXPECT_TRUE(rows_.rows[static_cast<std::size_t>(live)].enabled);
}

TEST_F(RegistryViewTest, EnableOverwritesALiveValueOfTheSameName) {
  SetValue("RunA", "app", "C:\\live.exe");
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\stored.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  prompter_.replaceAnswer = true;
  const int stored = FindRow(rows_, "app", "C:\\stored.exe", false);
  ASSERT_GE(stored, 0);
  rows_.Toggle(stored);
  view.Enable(rows_, prompter_, stored);
  EXPECT_EQ(GetString("RunA", "app"), "C:\\stored.exe");
  EXPECT_TRUE(Records(kReg).empty());
}

TEST_F(RegistryViewTest, EnableCreatesAMissingKey) {
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\app.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  rows_.Toggle(0);
  view.Enable(rows_, prompter_, 0);
  EXPECT_EQ(GetString("RunA", "app"), "C:\\app.exe");
  EXPECT_TRUE(Records(kReg).empty());
}

TEST_F(RegistryViewTest, NonAsciiNamesAndDataRoundTrip) {
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"Программа", "C:\\Программы\\запуск.exe /тихо"},
      {"工具", "C:\\工具\\启动.exe"},
      {"emoji😀", "C:\\😀\\run🚀.exe"},
  };
  for (const auto& [name, data] : entries) SetValue("RunA", name, data);
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  for (const auto& [name, data] : entries) {
    const int row = FindRow(rows_, name, data, true);
    ASSERT_GE(row, 0) << name;
    rows_.Toggle(row);
    view.Disable(rows_, prompter_, row);
    EXPECT_FALSE(GetString("RunA", name)) << name;
  }
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 3);
  for (const auto& [name, data] : entries) {
    const int row = FindRow(rows_, name, data, false);
    ASSERT_GE(row, 0) << name;
    rows_.Toggle(row);
    view.Enable(rows_, prompter_, row);
    EXPECT_EQ(GetString("RunA", name), data) << name;
  }
  EXPECT_TRUE(Records(kReg).empty());
  EXPECT_TRUE(prompter_.refusals.empty());
}

// --- Remove ----------------------------------------------------------------------------------

TEST_F(RegistryViewTest, RemoveOfAnEnabledRowDeletesTheValue) {
  SetValue("RunA", "a1", "C:\\a1.exe");
  SetValue("RunA", "a2", "C:\\a2.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.selected = 0;
  view.Remove(rows_, prompter_);
  EXPECT_EQ(prompter_.lastRemoveName, "a1");
  EXPECT_EQ(prompter_.lastRemoveData, "C:\\a1.exe");
  EXPECT_FALSE(GetString("RunA", "a1"));
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"a2|C:\\a2.exe|" + runA_ + "|on"}));
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kRemove);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType1Content");
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{runA_, "a1"}));
}

TEST_F(RegistryViewTest, RemoveOfADisabledRowRemovesOnlyTheFirstMatchingRecord) {
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\app.exe"));
  ASSERT_TRUE(store_->Append(kReg, runA_, "APP", "c:\\APP.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.selected = 1;
  view.Remove(rows_, prompter_);
  const std::vector<StoredRecord> records = Records(kReg);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].valueName, "APP");  // the first match in document order went
  EXPECT_EQ(journal_.records.size(), 1u);
}

TEST_F(RegistryViewTest, RemoveOfAVanishedRecordChangesNothingAndWritesNoJournal) {
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\app.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_TRUE(store_->RemoveMatching(kReg, runA_, "app", "C:\\app.exe"));
  rows_.selected = 0;
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_EQ(rows_.Count(), 0);
  EXPECT_TRUE(prompter_.refusals.empty());
}

TEST_F(RegistryViewTest, RemoveAskedAndAnsweredCancelOrWithoutSelectionChangesNothing) {
  SetValue("RunA", "a1", "C:\\a1.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  view.Remove(rows_, prompter_);  // nothing selected
  EXPECT_EQ(prompter_.noSelectionMessages, 1);
  EXPECT_EQ(prompter_.removeQuestions, 0);
  rows_.selected = 0;
  prompter_.removeAnswer = false;
  view.Remove(rows_, prompter_);
  EXPECT_EQ(prompter_.removeQuestions, 1);
  EXPECT_EQ(GetString("RunA", "a1"), "C:\\a1.exe");
  EXPECT_TRUE(journal_.records.empty());
}

struct ReselectCase {
  int rows;
  int removed;
  int selectedAfter;
};

void PrintTo(const ReselectCase& c, std::ostream* os) {
  *os << "remove row " << c.removed << " of " << c.rows;
}

class RegistryReselectTest : public RegistryViewTest,
                             public ::testing::WithParamInterface<ReselectCase> {};

TEST_P(RegistryReselectTest, SelectsTheSameIndexOrTheNewLastRow) {
  const ReselectCase& c = GetParam();
  for (int i = 0; i < c.rows; ++i) {
    SetValue("RunA", "v" + std::to_string(i), "C:\\v" + std::to_string(i) + ".exe");
  }
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.selected = c.removed;
  view.Remove(rows_, prompter_);
  EXPECT_EQ(rows_.Count(), c.rows - 1);
  EXPECT_EQ(rows_.selected, c.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Remove, RegistryReselectTest,
                         ::testing::Values(ReselectCase{1, 0, -1}, ReselectCase{4, 3, 2},
                                           ReselectCase{5, 2, 2}, ReselectCase{3, 0, 0}));

// --- Add, Modify, Property -------------------------------------------------------------------

TEST_F(RegistryViewTest, AddWritesToTheFirstKeyAndOverwritesAnExistingName) {
  SetValue("RunA", "app", "C:\\old.exe");
  RegistryKind view = MakeView({runA_, runB_});
  prompter_.addAnswer = EntryInput{"app", "C:\\new.exe /s"};
  prompter_.replaceAnswer = true;
  view.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.lastAddType, "_RegString");
  EXPECT_EQ(prompter_.lastAddLocation, runA_);
  EXPECT_EQ(GetString("RunA", "app"), "C:\\new.exe /s");
  EXPECT_FALSE(GetString("RunB", "app"));
  EXPECT_EQ(Lines(rows_), (std::vector<std::string>{"app|C:\\new.exe /s|" + runA_ + "|on"}));
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kAdd);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType2Content");
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{runA_, "app", "C:\\new.exe /s"}));
}

TEST_F(RegistryViewTest, AddCancelledOrWithoutLocationsDoesNothing) {
  RegistryKind empty = MakeView({});
  prompter_.addAnswer = EntryInput{"app", "C:\\app.exe"};
  empty.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.addCalls, 0);
  RegistryKind view = MakeView({runA_});
  prompter_.addAnswer.reset();
  view.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.addCalls, 1);
  EXPECT_TRUE(ValueNames("RunA").empty());
  EXPECT_TRUE(journal_.records.empty());
}

struct ModifyCase {
  const char* what;
  std::string newName;
  std::string newData;
  std::vector<std::string> namesAfter;
};

void PrintTo(const ModifyCase& c, std::ostream* os) {
  *os << c.what;
}

class RegistryModifyTest : public RegistryViewTest,
                           public ::testing::WithParamInterface<ModifyCase> {};

TEST_P(RegistryModifyTest, EnabledRowIsRewrittenUnderItsNewName) {
  const ModifyCase& c = GetParam();
  SetValue("RunA", "app", "C:\\app.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{c.newName, c.newData};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(prompter_.lastFields.type, "_RegString");
  EXPECT_EQ(prompter_.lastFields.location, runA_);
  EXPECT_EQ(prompter_.lastFields.name, "app");
  EXPECT_EQ(prompter_.lastFields.data, "C:\\app.exe");
  EXPECT_EQ(ValueNames("RunA").size(), c.namesAfter.size());
  for (const std::string& name : c.namesAfter) EXPECT_EQ(GetString("RunA", name), c.newData);
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kModify);
  EXPECT_EQ(journal_.records[0].args,
            (std::vector<std::string>{runA_, "app", "C:\\app.exe", c.newName, c.newData}));
}

INSTANTIATE_TEST_SUITE_P(
    Modify, RegistryModifyTest,
    ::testing::Values(ModifyCase{"data only", "app", "C:\\app2.exe", {"app"}},
                      ModifyCase{"renamed", "tool", "C:\\tool.exe", {"tool"}},
                      // Names are case-insensitive: the value written must not be deleted.
                      ModifyCase{"case only", "App", "C:\\App.exe", {"App"}}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) c = (c == ' ') ? '_' : c;
      return name;
    });

TEST_F(RegistryViewTest, ModifyOfADisabledRowUpdatesItsRecordOnly) {
  SetValue("RunA", "app", "C:\\live.exe");
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\stored.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  rows_.selected = FindRow(rows_, "app", "C:\\stored.exe", false);
  prompter_.modifyAnswer = EntryInput{"app2", "C:\\stored2.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(GetString("RunA", "app"), "C:\\live.exe");
  const std::vector<StoredRecord> records = Records(kReg);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].valueName, "app2");
  EXPECT_EQ(records[0].valueData, "C:\\stored2.exe");
  EXPECT_EQ(journal_.records.size(), 1u);
  EXPECT_NE(FindRow(rows_, "app2", "C:\\stored2.exe", false), -1);
}

TEST_F(RegistryViewTest, ModifyOfAVanishedRecordWritesNoJournal) {
  ASSERT_TRUE(store_->Append(kReg, runA_, "app", "C:\\stored.exe"));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_TRUE(store_->RemoveMatching(kReg, runA_, "app", "C:\\stored.exe"));
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{"app2", "C:\\x.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_EQ(rows_.Count(), 0);
}

TEST_F(RegistryViewTest, PropertyShowsTheSelectedRowAndChangesNothing) {
  SetValue("RunA", "app", "C:\\app.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  view.Property(rows_, prompter_);
  EXPECT_EQ(prompter_.noSelectionMessages, 1);
  rows_.selected = 0;
  view.Property(rows_, prompter_);
  EXPECT_EQ(prompter_.propertyCalls, 1);
  EXPECT_EQ(prompter_.lastFields.location, runA_);
  EXPECT_EQ(prompter_.lastFields.name, "app");
  EXPECT_EQ(prompter_.lastFields.data, "C:\\app.exe");
  EXPECT_TRUE(journal_.records.empty());
}

// --- Values the 8-bit text cannot address ------------------------------------------------------

struct InexactCase {
  const char* what;
  UINT codePage;  // the program's text model the registry is read in
  std::wstring name;
  std::wstring data;
};

void PrintTo(const InexactCase& c, std::ostream* os) {
  *os << c.what;
}

class RegistryInexactTest : public RegistryViewTest,
                            public ::testing::WithParamInterface<InexactCase> {};

// Such a value is listed and flagged, and nothing may change it through its substitute texts:
// before this, Disable stored the substitutes and reported the value gone while it stayed live.
TEST_P(RegistryInexactTest, IsListedFlaggedAndNeverChanged) {
  const InexactCase& c = GetParam();
  SetWide("RunA", c.name, c.data);
  SetWide("RunA", L"plain", L"C:\\plain.exe");
  Win32Registry registry(c.codePage);
  KindServices services{registry, realFiles_, realLinks_, *store_, journal_, language_};
  RegistryKind view(services, {runA_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 2);
  const int row = rows_.rows[0].exact ? 1 : 0;
  ASSERT_FALSE(rows_.rows[static_cast<std::size_t>(row)].exact);
  EXPECT_EQ(rows_.rows[static_cast<std::size_t>(row)].type, "_RegStringInexact");
  EXPECT_TRUE(rows_.rows[static_cast<std::size_t>(1 - row)].exact);
  EXPECT_EQ(rows_.rows[static_cast<std::size_t>(1 - row)].type, "_RegString");
  const auto before = Snapshot("RunA");

  rows_.Toggle(row);
  view.Disable(rows_, prompter_, row);
  EXPECT_TRUE(rows_.rows[static_cast<std::size_t>(row)].enabled) << "check mark put back";
  rows_.selected = row;
  prompter_.modifyAnswer = EntryInput{"renamed", "C:\\renamed.exe"};
  view.Modify(rows_, prompter_);
  rows_.selected = row;
  view.Remove(rows_, prompter_);
  view.Property(rows_, prompter_);

  EXPECT_EQ(Snapshot("RunA"), before);
  EXPECT_TRUE(Records(kReg).empty());
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_EQ(prompter_.modifyCalls, 0);
  EXPECT_EQ(prompter_.removeQuestions, 0);
  EXPECT_EQ(prompter_.propertyCalls, 1);
  ASSERT_EQ(prompter_.refusals.size(), 3u);
  for (const auto& refusal : prompter_.refusals) EXPECT_EQ(refusal.key, "_EntryNotAddressable");
}

INSTANTIATE_TEST_SUITE_P(
    Inexact, RegistryInexactTest,
    ::testing::Values(InexactCase{"lone_surrogate_name", CP_ACP, L"bad\xD800", L"C:\\bad.exe"},
                      InexactCase{"cjk_name_under_1252", 1252, L"\x5DE5\x5177", L"C:\\tool.exe"},
                      InexactCase{"cjk_data_under_1252", 1252, L"tool", L"C:\\\x5DE5\x5177.exe"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(RegistryViewTest, ALatinNameWrittenWideDisablesAndEnablesExactly) {
  SetWide("RunA", L"caf\xE9", L"C:\\caf\xE9\\run.exe");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  ASSERT_TRUE(rows_.rows[0].exact);
  const auto before = Snapshot("RunA");
  rows_.Toggle(0);
  view.Disable(rows_, prompter_, 0);
  EXPECT_TRUE(Snapshot("RunA").empty());
  ASSERT_EQ(Records(kReg).size(), 1u);
  rows_.Toggle(0);
  view.Enable(rows_, prompter_, 0);
  EXPECT_EQ(Snapshot("RunA"), before);
  EXPECT_TRUE(Records(kReg).empty());
  EXPECT_TRUE(prompter_.refusals.empty());
}

// --- Never overwriting a value without asking -----------------------------------------------

enum class Overwriter { kAdd, kEnable, kModify };

struct OverwriteCase {
  const char* what;
  Overwriter op;
  DWORD neighbourType;  // the value already under the new name
  bool answer;          // the answer to the replace question
};

void PrintTo(const OverwriteCase& c, std::ostream* os) {
  *os << c.what;
}

class RegistryOverwriteTest : public RegistryViewTest,
                              public ::testing::WithParamInterface<OverwriteCase> {};

// Add, Enable and a renaming Modify onto the name of an existing value: a string value is
// replaced only after Yes; a value of a type the view does not list is never touched.
TEST_P(RegistryOverwriteTest, ReplacesOnlyAStringValueAndOnlyAfterYes) {
  const OverwriteCase& c = GetParam();
  const std::string multi("x.exe\0y.exe\0\0", 13);
  const DWORD number = 7;
  if (c.neighbourType == REG_SZ) SetValue("RunA", "tool", "C:\\old.exe");
  if (c.neighbourType == REG_MULTI_SZ) SetValue("RunA", "tool", multi.substr(0, 12), REG_MULTI_SZ);
  if (c.neighbourType == REG_DWORD) SetDword("RunA", "tool", number);
  if (c.op == Overwriter::kModify) SetValue("RunA", "app", "C:\\app.exe");
  if (c.op == Overwriter::kEnable) {
    ASSERT_TRUE(store_->Append(kReg, runA_, "tool", "C:\\new.exe"));
  }
  const auto before = Snapshot("RunA");
  const std::size_t recordsBefore = Records(kReg).size();

  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  prompter_.replaceAnswer = c.answer;
  int toggled = -1;
  switch (c.op) {
    case Overwriter::kAdd:
      prompter_.addAnswer = EntryInput{"tool", "C:\\new.exe"};
      view.Add(rows_, prompter_);
      break;
    case Overwriter::kEnable:
      toggled = FindRow(rows_, "tool", "C:\\new.exe", false);
      ASSERT_GE(toggled, 0);
      rows_.Toggle(toggled);
      view.Enable(rows_, prompter_, toggled);
      break;
    case Overwriter::kModify:
      rows_.selected = FindRow(rows_, "app", "C:\\app.exe", true);
      prompter_.modifyAnswer = EntryInput{"tool", "C:\\new.exe"};
      view.Modify(rows_, prompter_);
      break;
  }

  const bool asked = c.neighbourType == REG_SZ;
  const bool replaced = asked && c.answer;
  EXPECT_EQ(prompter_.replaceQuestions,
            asked ? std::vector<std::string>{"tool"} : std::vector<std::string>{});
  if (asked) {
    EXPECT_EQ(prompter_.replaceKeys, std::vector<std::string>{"_ConfirmReplaceValue"});
  }
  if (replaced) {
    EXPECT_EQ(GetValue("RunA", "tool")->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(GetString("RunA", "tool"), "C:\\new.exe");
    EXPECT_EQ(ValueNames("RunA").size(), 1u);  // a renamed entry left its old name
    EXPECT_EQ(Records(kReg).size(), 0u);
    EXPECT_EQ(journal_.records.size(), 1u);
  } else {
    EXPECT_EQ(Snapshot("RunA"), before) << "type and bytes kept";
    EXPECT_EQ(Records(kReg).size(), recordsBefore);
    EXPECT_TRUE(journal_.records.empty());
    if (toggled >= 0) {
      EXPECT_FALSE(rows_.rows[static_cast<std::size_t>(toggled)].enabled);
    }
  }
  if (asked) {
    EXPECT_TRUE(prompter_.refusals.empty());
  } else {
    ASSERT_EQ(prompter_.refusals.size(), 1u);
    EXPECT_EQ(prompter_.refusals[0].key, "_ValueNotString");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Overwrite, RegistryOverwriteTest,
    ::testing::Values(OverwriteCase{"add_string_yes", Overwriter::kAdd, REG_SZ, true},
                      OverwriteCase{"add_string_no", Overwriter::kAdd, REG_SZ, false},
                      OverwriteCase{"add_multi", Overwriter::kAdd, REG_MULTI_SZ, true},
                      OverwriteCase{"add_dword", Overwriter::kAdd, REG_DWORD, true},
                      OverwriteCase{"enable_string_yes", Overwriter::kEnable, REG_SZ, true},
                      OverwriteCase{"enable_string_no", Overwriter::kEnable, REG_SZ, false},
                      OverwriteCase{"enable_multi", Overwriter::kEnable, REG_MULTI_SZ, true},
                      OverwriteCase{"enable_dword", Overwriter::kEnable, REG_DWORD, true},
                      OverwriteCase{"modify_string_yes", Overwriter::kModify, REG_SZ, true},
                      OverwriteCase{"modify_string_no", Overwriter::kModify, REG_SZ, false},
                      OverwriteCase{"modify_multi", Overwriter::kModify, REG_MULTI_SZ, true},
                      OverwriteCase{"modify_dword", Overwriter::kModify, REG_DWORD, false}),
    [](const auto& info) { return std::string(info.param.what); });

// A listed value that someone else turned into another type since the list was filled is not
// the entry any more: Disable and Remove leave it alone.
TEST_F(RegistryViewTest, DisableAndRemoveLeaveAValueThatChangedItsType) {
  for (const bool disable : {true, false}) {
    SetValue("RunA", "app", "C:\\app.exe");
    RegistryKind view = MakeView({runA_});
    view.Refresh(rows_);
    SetValue("RunA", "app", std::string("C:\\app.exe\0more", 16), REG_MULTI_SZ);
    const auto before = Snapshot("RunA");
    prompter_ = ScriptedPrompter();
    if (disable) {
      rows_.Toggle(0);
      view.Disable(rows_, prompter_, 0);
      EXPECT_TRUE(rows_.rows[0].enabled);
    } else {
      rows_.selected = 0;
      view.Remove(rows_, prompter_);
    }
    EXPECT_EQ(Snapshot("RunA"), before) << (disable ? "Disable" : "Remove");
    EXPECT_TRUE(Records(kReg).empty());
    EXPECT_TRUE(journal_.records.empty());
    ASSERT_EQ(prompter_.refusals.size(), 1u);
    EXPECT_EQ(prompter_.refusals[0].key, "_ValueNotString");
  }
}

// --- Expandable strings ----------------------------------------------------------------------

// An expandable value goes through Disable, Enable, Modify (in place and renamed) and Remove
// with its type and its bytes exactly as they were: its data is never expanded.
TEST_F(RegistryViewTest, AnExpandableValueKeepsItsTypeAndBytesThroughEveryOperation) {
  const std::wstring data = L"%windir%\\system32\\SecurityHealthSystray.exe";
  const auto bytes = [](const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + 1) * sizeof(wchar_t));
  };
  SetWideRaw("RunA", L"SecurityHealth", REG_EXPAND_SZ, bytes(data));
  const auto before = Snapshot("RunA");
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  ASSERT_EQ(Lines(rows_),
            std::vector<std::string>{
                "SecurityHealth|%windir%\\system32\\SecurityHealthSystray.exe|" + runA_ + "|on"});

  rows_.Toggle(0);
  view.Disable(rows_, prompter_, 0);
  EXPECT_TRUE(Snapshot("RunA").empty());
  ASSERT_EQ(Records(kReg).size(), 1u);
  EXPECT_EQ(Records(kReg)[0].valueType, static_cast<DWORD>(REG_EXPAND_SZ));
  const std::string file = ReadBytes(storePath_);
  EXPECT_NE(file.find("valuename=\"SecurityHealth\" valuetype=\"REG_EXPAND_SZ\""),
            std::string::npos)
      << file;
  // Listed from the store with its type.
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.rows[0].type, "_RegExpandString");
  rows_.Toggle(0);
  view.Enable(rows_, prompter_, 0);
  EXPECT_EQ(Snapshot("RunA"), before);
  EXPECT_TRUE(Records(kReg).empty());

  // Modify keeps the type, in place and under a new name.
  view.Refresh(rows_);
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{"SecurityHealth", "%ProgramFiles%\\Health\\health.exe /q"};
  view.Modify(rows_, prompter_);
  using Values = std::map<std::wstring, std::pair<DWORD, std::string>>;
  EXPECT_EQ(Snapshot("RunA"),
            (Values{{L"SecurityHealth",
                     {REG_EXPAND_SZ, bytes(L"%ProgramFiles%\\Health\\health.exe /q")}}}));
  rows_.selected = 0;
  prompter_.modifyAnswer = EntryInput{"Health", "%ProgramFiles%\\Health\\health.exe /q"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(
      Snapshot("RunA"),
      (Values{{L"Health", {REG_EXPAND_SZ, bytes(L"%ProgramFiles%\\Health\\health.exe /q")}}}));

  rows_.selected = 0;
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(Snapshot("RunA").empty());
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_EQ(journal_.records.size(), 5u);
}

// Disable and Remove delete only a value of the row's own type: a string row whose value became
// expandable, or the other way round, is left alone.
TEST_F(RegistryViewTest, DisableAndRemoveDeleteOnlyAValueOfTheRowsType) {
  for (const DWORD listed : {static_cast<DWORD>(REG_SZ), static_cast<DWORD>(REG_EXPAND_SZ)}) {
    for (const bool disable : {true, false}) {
      const std::string where = std::string(listed == REG_SZ ? "string" : "expandable") +
                                (disable ? " Disable" : " Remove");
      SetValue("RunA", "app", "C:\\app.exe", listed);
      RegistryKind view = MakeView({runA_});
      view.Refresh(rows_);
      SetValue("RunA", "app", "C:\\app.exe", listed == REG_SZ ? REG_EXPAND_SZ : REG_SZ);
      const auto before = Snapshot("RunA");
      prompter_ = ScriptedPrompter();
      if (disable) {
        rows_.Toggle(0);
        view.Disable(rows_, prompter_, 0);
      } else {
        rows_.selected = 0;
        view.Remove(rows_, prompter_);
      }
      EXPECT_EQ(Snapshot("RunA"), before) << where;
      EXPECT_TRUE(Records(kReg).empty()) << where;
      ASSERT_EQ(prompter_.refusals.size(), 1u) << where;
      EXPECT_EQ(prompter_.refusals[0].key, "_ValueNotString") << where;
    }
  }
}

// --- The view factory ------------------------------------------------------------------------

TEST_F(RegistryViewTest, FactoryMakesOneViewOfEachNodesKindWithItsLocations) {
  std::vector<CatalogueNode> catalogue(3);
  catalogue[0].kind = KindId::kStartupFolder;
  catalogue[0].locations = {folder_, ""};
  catalogue[1].kind = KindId::kRegistry;
  catalogue[1].locations = {runA_ + "\\", runB_};
  catalogue[2].kind = KindId::kListValue;
  catalogue[2].locations = {Location("Win\\Load"), Location("Win\\Run")};
  const auto views = CreateEntryKinds(catalogue, *services_);
  ASSERT_EQ(views.size(), 3u);
  EXPECT_EQ(views[0]->Kind(), KindId::kStartupFolder);
  EXPECT_EQ(views[0]->Locations(), (std::vector<std::string>{folder_, ""}));
  EXPECT_EQ(views[1]->Kind(), KindId::kRegistry);
  EXPECT_EQ(views[1]->Locations(), (std::vector<std::string>{runA_, runB_}));
  EXPECT_EQ(views[2]->Kind(), KindId::kListValue);
  EXPECT_EQ(views[2]->Locations(), catalogue[2].locations);
  EXPECT_EQ(views[2]->TypeText(), "_TreeWininiType");
}

}  // namespace

namespace {

// The Status column of a Refresh: kept rows, and programs that are not there.
TEST_F(RegistryViewTest, TheStatusColumnSaysKeptAndMissingPrograms) {
  char system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string present = std::string("\"") + system + "\\notepad.exe\" /a";
  SetValue("RunA", "here", present);
  SetValue("RunA", "gone", "C:\\No Such Folder\\gone.exe /b");
  SetValue("RunA", "expanded", "%SystemRoot%\\notepad.exe");
  ASSERT_TRUE(store_->Append(kReg, runA_, "kept", present));
  RegistryKind view = MakeView({runA_});
  view.Refresh(rows_);
  std::vector<std::string> statuses;
  for (const Row& row : rows_.rows) statuses.push_back(row.name + ":" + row.status);
  std::sort(statuses.begin(), statuses.end());
  EXPECT_EQ(statuses, (std::vector<std::string>{"expanded:", "gone:_StatusFileMissing",
                                                "here:", "kept:_StatusKept"}));
}

}  // namespace
