// The registry view on the kinds of key the later tree nodes name: the machine's keys in the
// 32-bit view (written as HKEY_LOCAL_MACHINE\Software\WOW6432Node\...) and policy-style keys
// under both roots. Each case lists, adds, modifies, disables, enables and removes an entry on a
// test key of the same shape, and reads every result back in the registry view it must be in.
#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/registry_kind.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::FindRow;
using regkinds::KindsFixture;
using regkinds::Lines;

struct LocationCase {
  const char* label;
  HKEY root;
  const char* rootName;
  // The location string begins with this under the root; the key is reached as
  // `viewPrefix` + the rest in registry view `view`.
  const char* shownPrefix;
  const char* viewPrefix;
  REGSAM view;
  REGSAM otherView;  // 0: no other view to check
};

void PrintTo(const LocationCase& c, std::ostream* os) {
  *os << c.label;
}

class RegistryLocationTest : public KindsFixture,
                             public ::testing::WithParamInterface<LocationCase> {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    services_.emplace(Services());
    const LocationCase& c = GetParam();
    own_ = "loc_" + regkinds::UniqueSuffix();
    relative_ = "QuorvaneTest\\" + own_ + "\\Policies\\Explorer\\Run";
    location_ = std::string(c.rootName) + "\\" + c.shownPrefix + relative_;
    subkey_ = std::string(c.viewPrefix) + relative_;
  }
  void TearDown() override {
    const LocationCase& c = GetParam();
    for (REGSAM view : {c.view, c.otherView}) {
      HKEY parent = nullptr;
      if (RegOpenKeyExA(c.root, (std::string(c.viewPrefix) + "QuorvaneTest").c_str(), 0,
                        KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
        RegDeleteTreeA(parent, own_.c_str());
        RegCloseKey(parent);
      }
    }
    KindsFixture::TearDown();
  }

  // The value's data as read in registry view `view`; nullopt when it is not there.
  std::optional<std::string> Read(const std::string& subkey, const std::string& name,
                                  REGSAM view) const {
    const RegRead read = realRegistry_.ReadValue(GetParam().root, subkey, name, view);
    if (read.status != RegReadStatus::kOk) return std::nullopt;
    return read.value.data;
  }
  std::optional<std::string> InView(const std::string& name) const {
    return Read(subkey_, name, GetParam().view);
  }
  // Absent from the other view, when the case has one.
  void ExpectOnlyInItsView(const std::string& name) const {
    if (GetParam().otherView) {
      EXPECT_FALSE(Read(subkey_, name, GetParam().otherView)) << name << " in the other view";
    }
  }
  void SetInView(const std::string& name, const std::string& data) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(GetParam().root, subkey_.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | GetParam().view, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    UniqueHkey key(raw);
    ASSERT_EQ(
        RegSetValueExA(raw, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)),
        ERROR_SUCCESS);
  }

  std::optional<KindServices> services_;
  std::string own_, relative_, location_, subkey_;
};

TEST_P(RegistryLocationTest, EveryOperationReachesTheKeyInItsRegistryView) {
  const LocationCase& c = GetParam();
  RegistryKind view(*services_, {location_});
  ASSERT_EQ(view.Locations(), std::vector<std::string>{location_});

  // Listed, with the location as written.
  SetInView("listed", "C:\\listed.exe");
  view.Refresh(rows_);
  EXPECT_EQ(Lines(rows_), std::vector<std::string>{"listed|C:\\listed.exe|" + location_ + "|on"});

  // Added.
  prompter_.addAnswer = EntryInput{"added", "C:\\added.exe /a"};
  view.Add(rows_, prompter_);
  EXPECT_EQ(InView("added"), "C:\\added.exe /a");
  ExpectOnlyInItsView("added");

  // Modified.
  rows_.selected = FindRow(rows_, "listed", "C:\\listed.exe", true);
  prompter_.modifyAnswer = EntryInput{"listed", "C:\\changed.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(InView("listed"), "C:\\changed.exe");
  ExpectOnlyInItsView("listed");

  // Disabled: the record holds the location as written, the value is gone.
  int row = FindRow(rows_, "added", "C:\\added.exe /a", true);
  ASSERT_GE(row, 0);
  rows_.Toggle(row);
  view.Disable(rows_, prompter_, row);
  EXPECT_FALSE(InView("added"));
  const std::vector<StoredRecord> records = Records(KindId::kRegistry);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].location, location_);

  // Enabled again, into the same view.
  rows_.Toggle(row);
  view.Enable(rows_, prompter_, row);
  EXPECT_EQ(InView("added"), "C:\\added.exe /a");
  ExpectOnlyInItsView("added");
  EXPECT_TRUE(Records(KindId::kRegistry).empty());

  // Removed.
  view.Refresh(rows_);
  rows_.selected = FindRow(rows_, "listed", "C:\\changed.exe", true);
  view.Remove(rows_, prompter_);
  EXPECT_FALSE(InView("listed"));
  EXPECT_EQ(Lines(rows_), std::vector<std::string>{"added|C:\\added.exe /a|" + location_ + "|on"});
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_EQ(journal_.records.size(), 5u);

  // The 32-bit view's key is the one a registry editor shows under WOW6432Node.
  if (c.view == KEY_WOW64_32KEY) {
    EXPECT_EQ(Read(std::string(c.shownPrefix) + relative_, "added", 0), "C:\\added.exe /a");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Locations, RegistryLocationTest,
    ::testing::Values(LocationCase{"machine_32_bit", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
                                   "Software\\WOW6432Node\\", "Software\\", KEY_WOW64_32KEY,
                                   KEY_WOW64_64KEY},
                      LocationCase{"machine_64_bit", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
                                   "Software\\", "Software\\", KEY_WOW64_64KEY, KEY_WOW64_32KEY},
                      LocationCase{"current_user", HKEY_CURRENT_USER, "HKEY_CURRENT_USER",
                                   "Software\\", "Software\\", 0, 0}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
