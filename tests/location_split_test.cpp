// Splitting location strings into root, subkey and value name; the registry views' trimming;
// and the module path helpers of the running test exe.
#include "core/location_split.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "core/ansi_text.h"
#include "core/module_paths.h"

namespace {

constexpr UINT kShiftJis = 932;
// A code page 932 character whose trail byte is '\'.
#define SJIS_SO "\x95\x5C"

struct KeyCase {
  const char* location;
  bool splits;
  HKEY root;
  const char* subkey;
  REGSAM view = 0;
};

class SplitKeyPathTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SplitKeyPathTest, SplitsLikeTheRegistryViews) {
  const KeyCase& c = GetParam();
  const std::optional<KeyPath> split = SplitKeyPath(c.location);
  ASSERT_EQ(split.has_value(), c.splits) << c.location;
  if (!c.splits) return;
  EXPECT_EQ(split->root, c.root) << c.location;
  EXPECT_EQ(split->subkey, c.subkey) << c.location;
  EXPECT_EQ(split->view, c.view) << c.location;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitKeyPathTest,
    ::testing::Values(
        KeyCase{"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true,
                HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        KeyCase{"hkey_local_machine\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true,
                HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        KeyCase{"Hkey_Users\\.DEFAULT", true, HKEY_USERS, ".DEFAULT"},
        KeyCase{"\\\\HKEY_CURRENT_USER\\Software\\X\\\\", true, HKEY_CURRENT_USER, "Software\\X"},
        KeyCase{"HKEY_CLASSES_ROOT\\txtfile", true, HKEY_CLASSES_ROOT, "txtfile"},
        KeyCase{"HKEY_CURRENT_CONFIG\\System", true, HKEY_CURRENT_CONFIG, "System"},
        // the registry form keeps a list value's name as the last key component
        KeyCase{"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load",
                true, HKEY_CURRENT_USER,
                "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load"},
        // inner doubled separators are the subkey's business
        KeyCase{"HKEY_USERS\\A\\\\B", true, HKEY_USERS, "A\\\\B"},
        // the 32-bit view of HKEY_LOCAL_MACHINE\Software, in any letter case
        KeyCase{
            "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
            true, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
            KEY_WOW64_32KEY},
        KeyCase{"HKEY_LOCAL_MACHINE\\SOFTWARE\\wow6432node\\X\\", true, HKEY_LOCAL_MACHINE,
                "SOFTWARE\\X", KEY_WOW64_32KEY},
        KeyCase{"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node", true, HKEY_LOCAL_MACHINE, "Software",
                KEY_WOW64_32KEY},
        // only that key, only under HKEY_LOCAL_MACHINE
        KeyCase{"HKEY_LOCAL_MACHINE\\Software\\WOW6432NodeX\\Y", true, HKEY_LOCAL_MACHINE,
                "Software\\WOW6432NodeX\\Y"},
        KeyCase{"HKEY_LOCAL_MACHINE\\Software\\X\\WOW6432Node\\Y", true, HKEY_LOCAL_MACHINE,
                "Software\\X\\WOW6432Node\\Y"},
        KeyCase{"HKEY_CURRENT_USER\\Software\\WOW6432Node\\Y", true, HKEY_CURRENT_USER,
                "Software\\WOW6432Node\\Y"},
        KeyCase{"HKEY_LOCAL_MACHINE", false, nullptr, ""},
        KeyCase{"HKEY_LOCAL_MACHINE\\", false, nullptr, ""},
        KeyCase{"HKEY_PERFORMANCE_DATA\\X", false, nullptr, ""},
        KeyCase{"HKLM\\Software", false, nullptr, ""},
        KeyCase{" HKEY_USERS\\X", false, nullptr, ""}, KeyCase{"", false, nullptr, ""},
        KeyCase{"\\\\\\", false, nullptr, ""}));

struct ValueCase {
  const char* location;
  bool splits;
  HKEY root;
  const char* subkey;
  const char* valueName;
};

class SplitValuePathTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SplitValuePathTest, SplitsLikeTheListValueViews) {
  const ValueCase& c = GetParam();
  const std::optional<ValuePath> split = SplitValuePath(c.location);
  ASSERT_EQ(split.has_value(), c.splits) << c.location;
  if (!c.splits) return;
  EXPECT_EQ(split->root, c.root) << c.location;
  EXPECT_EQ(split->subkey, c.subkey) << c.location;
  EXPECT_EQ(split->valueName, c.valueName) << c.location;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitValuePathTest,
    ::testing::Values(
        ValueCase{
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load",
            true, HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
            "Load"},
        ValueCase{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\"
                  "Userinit",
                  true, HKEY_LOCAL_MACHINE,
                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Userinit"},
        ValueCase{"HKEY_CURRENT_USER\\Software\\Load", true, HKEY_CURRENT_USER, "Software", "Load"},
        ValueCase{"\\hkey_current_user\\Software\\Load\\\\", true, HKEY_CURRENT_USER, "Software",
                  "Load"},
        ValueCase{"HKEY_CURRENT_USER\\Load", false, nullptr, "", ""},
        ValueCase{"HKEY_CURRENT_USER", false, nullptr, "", ""},
        ValueCase{"HKEY_PERFORMANCE_DATA\\Software\\Load", false, nullptr, "", ""},
        ValueCase{"\\\\", false, nullptr, "", ""}));

TEST(TrimRegistryLocations, DropsEmptiesAndKeepsOrder) {
  EXPECT_EQ(TrimRegistryLocations({"\\\\\\", "HKEY_USERS\\X"}),
            std::vector<std::string>({"HKEY_USERS\\X"}));
  EXPECT_EQ(TrimRegistryLocations({"\\HKEY_USERS\\B\\", "", "HKEY_USERS\\A\\\\", "\\"}),
            std::vector<std::string>({"HKEY_USERS\\B", "HKEY_USERS\\A"}));
  EXPECT_TRUE(TrimRegistryLocations({}).empty());
}

TEST(RootKeyTable, HoldsTheFiveUpperCaseNames) {
  ASSERT_EQ(RootKeyTable().size(), 5u);
  EXPECT_EQ(FindRootKey("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(FindRootKey("HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
  EXPECT_EQ(FindRootKey("HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(FindRootKey("HKEY_USERS"), HKEY_USERS);
  EXPECT_EQ(FindRootKey("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
  // the comparison itself is exact: upper-casing is the split's job
  EXPECT_FALSE(FindRootKey("hkey_users").has_value());
  EXPECT_FALSE(FindRootKey("HKEY_PERFORMANCE_DATA").has_value());
}

class DoubleByteSplitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!IsValidCodePage(kShiftJis)) GTEST_SKIP() << "code page 932 is not installed";
  }
};

// A byte-by-byte scan would take the trail byte 0x5C for a separator in each of these.
TEST_F(DoubleByteSplitTest, TrailByteIsNeverASeparator) {
  std::optional<KeyPath> key = SplitKeyPath("HKEY_CURRENT_USER\\Software\\" SJIS_SO, kShiftJis);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->subkey, "Software\\" SJIS_SO);

  key = SplitKeyPath("\\HKEY_CURRENT_USER\\" SJIS_SO "\\\\", kShiftJis);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->subkey, SJIS_SO);

  std::optional<ValuePath> value =
      SplitValuePath("HKEY_CURRENT_USER\\Software\\Ke" SJIS_SO "y", kShiftJis);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->subkey, "Software");
  EXPECT_EQ(value->valueName, "Ke" SJIS_SO "y");

  value = SplitValuePath("HKEY_CURRENT_USER\\Software\\Name" SJIS_SO, kShiftJis);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->subkey, "Software");
  EXPECT_EQ(value->valueName, "Name" SJIS_SO);

  // the only byte 0x5C after the root belongs to a character: no value name
  EXPECT_FALSE(SplitValuePath("HKEY_CURRENT_USER\\Soft" SJIS_SO "ware", kShiftJis));

  EXPECT_EQ(TrimRegistryLocations({"\\" SJIS_SO "\\", "HKEY_USERS\\X" SJIS_SO}, kShiftJis),
            std::vector<std::string>({SJIS_SO, "HKEY_USERS\\X" SJIS_SO}));
}

TEST_F(DoubleByteSplitTest, RootNameIsUpperCasedInThatCodePage) {
  const std::optional<ValuePath> value =
      SplitValuePath("hkey_local_machine\\" SJIS_SO "\\Userinit", kShiftJis);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(value->subkey, SJIS_SO);
  EXPECT_EQ(value->valueName, "Userinit");
}

TEST(AnsiText, StepsOverDoubleByteCharacters) {
  if (!IsValidCodePage(kShiftJis)) GTEST_SKIP() << "code page 932 is not installed";
  const std::string text = "a" SJIS_SO "b";
  EXPECT_EQ(NextCharIn(text, 0, kShiftJis), 1u);
  EXPECT_EQ(NextCharIn(text, 1, kShiftJis), 3u);
  EXPECT_EQ(NextCharIn(text, 3, kShiftJis), 4u);
  // a lead byte at the very end does not step past the text
  EXPECT_EQ(NextCharIn(std::string("a\x95"), 1, kShiftJis), 2u);
  // an embedded zero byte is stepped over like any other byte
  EXPECT_EQ(NextCharIn(std::string("a\0b", 3), 1), 2u);
}

TEST(AnsiText, UpperCasesInTheActiveCodePage) {
  EXPECT_EQ(UpperCaseIn("hkey_users"), "HKEY_USERS");
  EXPECT_EQ(UpperCaseIn(""), "");
  // UTF-8 text (the program's code page) keeps its multi-byte characters whole
  EXPECT_EQ(UpperCaseIn("k\xC3\xA4se"), "K\xC3\x84SE");
}

// Upper-cases an ASCII copy, for comparing Windows paths without regard to case.
std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(ModulePaths, AreFoundBesideTheRunningExe) {
  const std::string module = ModulePath();
  const std::string suffix = "\\LOCATION_SPLIT_TEST.EXE";
  ASSERT_GT(module.size(), suffix.size());
  EXPECT_EQ(Upper(module.substr(module.size() - suffix.size())), suffix);

  const std::string directory = module.substr(0, module.size() - suffix.size());
  EXPECT_EQ(ExeDirectory(), directory);
  EXPECT_EQ(Upper(ExeBaseName()), "LOCATION_SPLIT_TEST");
  EXPECT_EQ(LanguageFilePath(), directory + "\\" + ExeBaseName() + ".language");
  EXPECT_EQ(HelpFilePath(), directory + "\\" + ExeBaseName() + ".chm");
  EXPECT_EQ(JournalDataDirectory(), directory + "\\Log\\Data");
  EXPECT_EQ(StoreFilePath(), directory + "\\config.xml");
}

}  // namespace
