// Windows' own switch of run entries (StartupApproved): how its bytes read, which key holds the
// switches of which location, and what the registry and startup-folder kinds do with it. The
// kinds run against switch keys of the test's own under HKCU and HKLM\Software\QuorvaneTest.
#include "core/startup_approved.h"

#include <gtest/gtest.h>

#include "core/registry_kind.h"
#include "core/startup_folder_kind.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::KindsFixture;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

// 2024-03-01 12:00 UTC as FILETIME ticks, little-endian in bytes 4 to 11 of an off value.
constexpr std::uint64_t kOffSince = 0x01DA6BD3'4B9C8000;
std::string OffValue(int first) {
  std::string bytes = Bytes({first, 0, 0, 0});
  for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((kOffSince >> (8 * i)) & 0xFF));
  return bytes;
}

TEST(StartupApprovedValue, FirstByteOddMeansOffWithTheDateWhenThereIsOne) {
  struct Case {
    const char* what;
    std::string bytes;
    bool off;
    std::uint64_t since;
  };
  const Case cases[] = {
      {"empty", "", false, 0},
      {"on as Windows writes it", SwitchedOnValue(), false, 0},
      {"on, even first byte with a date", OffValue(0x06), false, 0},
      {"off by Task Manager", OffValue(0x03), true, kOffSince},
      {"off, 0x07", OffValue(0x07), true, kOffSince},
      {"off, any odd first byte", OffValue(0x01), true, kOffSince},
      {"short and odd: off, no date", Bytes({0x03, 0, 0, 0, 1, 2}), true, 0},
      {"one odd byte", Bytes({0x03}), true, 0},
      {"short and even", Bytes({0x02, 0}), false, 0},
      {"longer than twelve bytes", OffValue(0x03) + Bytes({9, 9}), true, kOffSince},
  };
  for (const Case& c : cases) {
    const ApprovedState state = ParseApprovedValue(c.bytes);
    EXPECT_EQ(state.off, c.off) << c.what;
    EXPECT_EQ(state.offSince, c.since) << c.what;
  }
  EXPECT_EQ(SwitchedOnValue(), Bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(StartupApprovedPlaces, WindowsKeepsASwitchKeyPerRunKeyAndStartupFolder) {
  const std::string base =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
  const ApprovedPlaces places =
      WindowsApprovedPlaces("C:\\ProgramData\\Startup", "C:\\Users\\me\\Startup");
  struct Case {
    std::string location;
    HKEY root;
    std::string subkey;  // empty: no switch
  };
  const Case cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", HKEY_CURRENT_USER,
       base + "\\Run"},
      {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", HKEY_LOCAL_MACHINE,
       base + "\\Run"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run\\",
       HKEY_LOCAL_MACHINE, base + "\\Run32"},
      {"c:\\programdata\\startup\\", HKEY_LOCAL_MACHINE, base + "\\StartupFolder"},
      {"C:\\Users\\me\\Startup", HKEY_CURRENT_USER, base + "\\StartupFolder"},
      {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", nullptr, ""},
      {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices", nullptr,
       ""},
      {"", nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::optional<ApprovedKey> key = places.KeyFor(c.location);
    ASSERT_EQ(key.has_value(), !c.subkey.empty()) << c.location;
    if (!key) continue;
    EXPECT_EQ(key->root, c.root) << c.location;
    EXPECT_EQ(key->subkey, c.subkey) << c.location;
  }
  // A folder that is not known (the Shell Folders value is missing) has no switch.
  EXPECT_FALSE(WindowsApprovedPlaces("", "").KeyFor("").has_value());
}

// The kinds with their switches under test keys: the Run key's switches under HKCU, a second
// Run key's under HKLM, the startup folder's under HKCU.
class StartupApprovedKindsTest : public KindsFixture {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    hklmBase_ = "Software\\QuorvaneTest\\approved_" + regkinds::UniqueSuffix();
    runKey_ = Location("Run");
    runLm_ = Location("RunLM");
    startup_ = folder_ + "\\Startup";
    ASSERT_TRUE(CreateDirectoryA(startup_.c_str(), nullptr));
    places_.Add(runKey_, HKEY_CURRENT_USER, Subkey("Approved\\Run"));
    places_.Add(runLm_, HKEY_LOCAL_MACHINE, hklmBase_ + "\\Run");
    places_.Add(startup_, HKEY_CURRENT_USER, Subkey("Approved\\StartupFolder"));
    services_.emplace(Services());
    services_->approved = &places_;
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, hklmBase_.c_str());
    KindsFixture::TearDown();
  }

  void SetSwitch(HKEY root, const std::string& subkey, const std::string& name,
                 const std::string& bytes) {
    ASSERT_TRUE(realRegistry_.WriteBinary(root, subkey, name, bytes, true));
  }
  std::optional<std::string> Switch(HKEY root, const std::string& subkey, const std::string& name) {
    const RegRead read = realRegistry_.ReadValue(root, subkey, name);
    if (read.status != RegReadStatus::kOk) return std::nullopt;
    EXPECT_EQ(read.value.type, static_cast<DWORD>(REG_BINARY));
    return read.value.data;
  }
  std::optional<std::string> RunSwitch(const std::string& name) {
    return Switch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), name);
  }
  void Check(EntryKind& view, int row) {
    rows_.Toggle(row);
    view.Enable(rows_, prompter_, row);
  }

  std::string hklmBase_, runKey_, runLm_, startup_;
  ApprovedPlaces places_;
  std::optional<KindServices> services_;
};

TEST_F(StartupApprovedKindsTest, RowsWindowsSwitchedOffAreLiveButUnchecked) {
  struct Case {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no switch value
    bool off;
    std::uint64_t since;
  };
  const Case cases[] = {
      {"absent", std::nullopt, false, 0},       {"on", SwitchedOnValue(), false, 0},
      {"off", OffValue(0x03), true, kOffSince}, {"off7", OffValue(0x07), true, kOffSince},
      {"short", Bytes({0x03, 0}), true, 0},     {"even", OffValue(0x02), false, 0},
  };
  struct View {
    std::string location, key;
    HKEY root;
  };
  for (const View& v :
       {View{runKey_, "Run", HKEY_CURRENT_USER}, View{runLm_, "RunLM", HKEY_LOCAL_MACHINE}}) {
    const std::string switches =
        v.root == HKEY_CURRENT_USER ? Subkey("Approved\\Run") : hklmBase_ + "\\Run";
    for (const Case& c : cases) {
      SetValue(v.key, c.name, std::string("C:\\") + c.name + ".exe");
      if (c.bytes) SetSwitch(v.root, switches, c.name, *c.bytes);
    }
    // A switch of another type is not Windows' and says nothing.
    SetValue(v.key, "texty", "C:\\texty.exe");
    if (v.root == HKEY_CURRENT_USER) SetValue("Approved\\Run", "texty", "\x03");
    RegistryKind view(*services_, {v.location});
    view.Refresh(rows_);
    ASSERT_EQ(rows_.Count(), static_cast<int>(std::size(cases)) + 1);
    for (const Case& c : cases) {
      const auto row = std::find_if(rows_.rows.begin(), rows_.rows.end(),
                                    [&](const Row& r) { return r.name == c.name; });
      ASSERT_NE(row, rows_.rows.end()) << c.name;
      EXPECT_EQ(row->windowsOff, c.off) << v.key << " " << c.name;
      EXPECT_EQ(row->enabled, !c.off) << v.key << " " << c.name << ": the check mark";
      EXPECT_EQ(row->windowsOffSince, c.since) << v.key << " " << c.name;
    }
  }
}

TEST_F(StartupApprovedKindsTest, CheckingAWindowsOffRowSwitchesItOnAndTouchesNothingElse) {
  SetValue("Run", "app", "C:\\app.exe /min");
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "app", OffValue(0x03));
  RegistryKind view(*services_, {runKey_});
  view.Refresh(rows_);
  ASSERT_TRUE(rows_.rows.at(0).windowsOff);

  // Disable of a row whose check box is already cleared does nothing.
  view.Disable(rows_, prompter_, 0);
  EXPECT_EQ(RunSwitch("app"), OffValue(0x03));
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_TRUE(Records(KindId::kRegistry).empty());
  EXPECT_FALSE(rows_.rows.at(0).enabled);

  Check(view, 0);
  EXPECT_EQ(RunSwitch("app"), SwitchedOnValue());
  EXPECT_EQ(GetString("Run", "app"), "C:\\app.exe /min");
  EXPECT_TRUE(Records(KindId::kRegistry).empty());
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kEnable);
  EXPECT_EQ(journal_.records[0].args, (std::vector<std::string>{runKey_, "app"}));
  EXPECT_TRUE(rows_.rows.at(0).enabled);
  EXPECT_FALSE(rows_.rows.at(0).windowsOff);
  EXPECT_TRUE(prompter_.refusals.empty());

  // Now an ordinary live row: clearing it is our own Disable again.
  rows_.Toggle(0);
  view.Disable(rows_, prompter_, 0);
  EXPECT_FALSE(GetString("Run", "app"));
  EXPECT_EQ(Records(KindId::kRegistry).size(), 1u);
}

TEST_F(StartupApprovedKindsTest, EnableFromTheStoreSwitchesAnOffSwitchOnAndCreatesNone) {
  ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, "app", "C:\\app.exe"));
  ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, "plain", "C:\\plain.exe"));
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "app", OffValue(0x07));
  RegistryKind view(*services_, {runKey_});
  view.Refresh(rows_);
  Check(view, 0);
  Check(view, 1);
  EXPECT_EQ(GetString("Run", "app"), "C:\\app.exe");
  EXPECT_EQ(RunSwitch("app"), SwitchedOnValue());
  EXPECT_EQ(GetString("Run", "plain"), "C:\\plain.exe");
  EXPECT_FALSE(RunSwitch("plain")) << "no switch is made where Windows has none";
  EXPECT_EQ(journal_.records.size(), 2u);
}

TEST_F(StartupApprovedKindsTest, RemoveOfALiveEntryTakesItsSwitchAlong) {
  SetValue("Run", "app", "C:\\app.exe");
  SetValue("Run", "other", "C:\\other.exe");
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "app", OffValue(0x03));
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "other", SwitchedOnValue());
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "kept", OffValue(0x03));
  ASSERT_TRUE(store_->Append(KindId::kRegistry, runKey_, "kept", "C:\\kept.exe"));
  RegistryKind view(*services_, {runKey_});
  view.Refresh(rows_);
  // The Windows-off row is live: Remove deletes the value and its switch.
  rows_.selected = regkinds::FindRow(rows_, "app", "C:\\app.exe", false);
  view.Remove(rows_, prompter_);
  EXPECT_FALSE(GetString("Run", "app"));
  EXPECT_FALSE(RunSwitch("app"));
  EXPECT_EQ(RunSwitch("other"), SwitchedOnValue());
  // A store row's Remove leaves the switch: there is no live entry it belongs to.
  rows_.selected = regkinds::FindRow(rows_, "kept", "C:\\kept.exe", false);
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(Records(KindId::kRegistry).empty());
  EXPECT_EQ(RunSwitch("kept"), OffValue(0x03));
}

TEST_F(StartupApprovedKindsTest, ARenamedEntryKeepsItsSwitch) {
  SetValue("Run", "app", "C:\\app.exe");
  SetSwitch(HKEY_CURRENT_USER, Subkey("Approved\\Run"), "app", OffValue(0x03));
  RegistryKind view(*services_, {runKey_});
  view.Refresh(rows_);
  rows_.selected = regkinds::FindRow(rows_, "app", "C:\\app.exe", false);
  prompter_.modifyAnswer = EntryInput{"renamed", "C:\\app.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(GetString("Run", "renamed"), "C:\\app.exe");
  EXPECT_FALSE(RunSwitch("app"));
  EXPECT_EQ(RunSwitch("renamed"), OffValue(0x03));
  // Still shown as Windows has it: switched off.
  const int row = regkinds::FindRow(rows_, "renamed", "C:\\app.exe", false);
  ASSERT_GE(row, 0);
  EXPECT_TRUE(rows_.rows[static_cast<std::size_t>(row)].windowsOff);
}

TEST_F(StartupApprovedKindsTest, StartupFolderFilesFollowTheirSwitchByFileName) {
  ASSERT_TRUE(realLinks_.WriteLink(startup_ + "\\App.lnk", "C:\\app.exe"));
  ASSERT_TRUE(realLinks_.WriteLink(startup_ + "\\On.lnk", "C:\\on.exe"));
  const std::string switches = Subkey("Approved\\StartupFolder");
  SetSwitch(HKEY_CURRENT_USER, switches, "app.LNK", OffValue(0x03));
  StartupFolderKind view(*services_, {startup_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 2);
  const int app = regkinds::FindRow(rows_, "App.lnk", "C:\\app.exe", false);
  ASSERT_GE(app, 0);
  EXPECT_TRUE(rows_.rows[app].windowsOff);
  EXPECT_EQ(rows_.rows[app].windowsOffSince, kOffSince);
  EXPECT_GE(regkinds::FindRow(rows_, "On.lnk", "C:\\on.exe", true), 0);

  Check(view, app);
  EXPECT_EQ(Switch(HKEY_CURRENT_USER, switches, "app.LNK"), SwitchedOnValue());
  EXPECT_TRUE(realFiles_.Exists(startup_ + "\\App.lnk"));
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kEnable);

  SetSwitch(HKEY_CURRENT_USER, switches, "App.lnk", OffValue(0x03));
  view.Refresh(rows_);
  rows_.selected = regkinds::FindRow(rows_, "App.lnk", "C:\\app.exe", false);
  view.Remove(rows_, prompter_);
  EXPECT_FALSE(realFiles_.Exists(startup_ + "\\App.lnk"));
  EXPECT_FALSE(Switch(HKEY_CURRENT_USER, switches, "App.lnk"));
}

}  // namespace
