// Entries whose texts hold characters XML cannot carry (control characters) go into config.xml
// and come back byte for byte, for each kind, through the real registry, files and store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/list_value_kind.h"
#include "core/registry_kind.h"
#include "core/startup_folder_kind.h"
#include "support/registry_kinds_fixture.h"

namespace {

using regkinds::FindRow;
using regkinds::KindsFixture;

const std::string kEscCommand = "C:\\Tools\\log.exe \x1B[31mred\x1B[0m %TEMP%";

class KindTextRoundTripTest : public KindsFixture {
 protected:
  void SetUp() override {
    KindsFixture::SetUp();
    services_.emplace(Services());
  }

  // Disables the row (name, data), checks that the store file stays readable and holds it,
  // then enables it again.
  void DisableAndEnable(EntryKind& kind, const std::string& name, const std::string& data) {
    kind.Refresh(rows_);
    const int live = FindRow(rows_, name, data, true);
    ASSERT_GE(live, 0);
    rows_.Toggle(live);
    kind.Disable(rows_, prompter_, live);
    ASSERT_TRUE(prompter_.refusals.empty()) << prompter_.refusals.front().key;

    // Another reader of the file (the next start of the program) sees the record whole.
    XmlDisabledStore reader(storePath_);
    const std::vector<StoredRecord> records = reader.ListAll(kind.Kind());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].valueName, name);
    EXPECT_EQ(records[0].valueData, data);
    EXPECT_FALSE(reader.Unreadable());

    kind.Refresh(rows_);
    const int kept = FindRow(rows_, name, data, false);
    ASSERT_GE(kept, 0);
    rows_.Toggle(kept);
    kind.Enable(rows_, prompter_, kept);
    ASSERT_TRUE(prompter_.refusals.empty()) << prompter_.refusals.front().key;
    EXPECT_TRUE(Records(kind.Kind()).empty());
  }

  std::optional<KindServices> services_;
};

TEST_F(KindTextRoundTripTest, RegistryValuesWithControlCharactersComeBackExactly) {
  struct Case {
    std::string name;
    std::string data;
  };
  for (const Case& c : std::vector<Case>{{"Log", kEscCommand},
                                         {std::string("Odd\x01name\x1F"), "C:\\odd.exe"},
                                         {"Tabbed\tname", "C:\\a.exe\r\n/b"}}) {
    SetValue("Run", c.name, c.data);
    RegistryKind kind(*services_, {Location("Run")});
    DisableAndEnable(kind, c.name, c.data);
    const std::optional<Value> value = GetValue("Run", c.name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, c.data);
    EXPECT_EQ(ValueNames("Run"), std::vector<std::string>{c.name});
    RegDeleteTreeA(HKEY_CURRENT_USER, Subkey("Run").c_str());
  }
}

TEST_F(KindTextRoundTripTest, ListItemsWithControlCharactersComeBackExactly) {
  const std::string item = "C:\\Tools\\log\x1B.exe";
  SetValue("Win", "Load", "C:\\first.exe," + item);
  ListValueKind kind(*services_, {Location("Win\\Load")});
  DisableAndEnable(kind, "Load", item);
  const std::optional<std::string> text = GetString("Win", "Load");
  ASSERT_TRUE(text);
  EXPECT_NE(text->find(item), std::string::npos) << *text;
  EXPECT_NE(text->find("C:\\first.exe"), std::string::npos) << *text;
}

TEST_F(KindTextRoundTripTest, StartupShortcutsWithControlCharactersInTheTargetComeBackExactly) {
  const std::string folder = folder_ + "\\Startup";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string target = "C:\\Tools\\log\x1B.exe";
  ASSERT_TRUE(realLinks_.WriteLink(folder + "\\Log.lnk", target));
  const std::optional<std::string> read = realLinks_.ReadTarget(folder + "\\Log.lnk");
  if (!read || *read != target) GTEST_SKIP() << "the shell keeps no control character in a target";
  const std::string before = ReadBytes(folder + "\\Log.lnk");
  StartupFolderKind kind(*services_, {folder});
  DisableAndEnable(kind, "Log.lnk", target);
  EXPECT_EQ(ReadBytes(folder + "\\Log.lnk"), before);
}

TEST_F(KindTextRoundTripTest, EveryKindSaysWhenConfigXmlCannotBeReadAndLeavesItAsItIs) {
  const std::string damaged =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>"
      "<disabledregistryitem path=\"x\" valuedata=\"\x01\" valuename=\"a\"/>";
  const std::string folder = folder_ + "\\Startup";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(folder + "\\live.bat", "@echo off\r\n"));
  SetValue("Run", "live", "C:\\live.exe");
  SetValue("Win", "Load", "C:\\live.exe");
  RegistryKind registry(*services_, {Location("Run")});
  StartupFolderKind startup(*services_, {folder});
  ListValueKind list(*services_, {Location("Win\\Load")});
  for (EntryKind* kind : std::vector<EntryKind*>{&registry, &startup, &list}) {
    ASSERT_TRUE(WriteBytes(storePath_, damaged));
    kind->Refresh(rows_);
    // Without a language file the key stands for its text.
    EXPECT_EQ(rows_.notice.rfind("_StoreUnreadable", 0), 0u) << rows_.notice;
    // The live entry is still listed, and the file is not touched by a refused Disable.
    ASSERT_EQ(rows_.Count(), 1);
    rows_.Toggle(0);
    kind->Disable(rows_, prompter_, 0);
    EXPECT_EQ(prompter_.refusals.size(), 1u);
    prompter_.refusals.clear();
    EXPECT_EQ(ReadBytes(storePath_), damaged);

    ASSERT_TRUE(WriteBytes(storePath_, "<config><toolquorvane/></config>"));
    kind->Refresh(rows_);
    EXPECT_EQ(rows_.notice, "");
  }
}

}  // namespace
