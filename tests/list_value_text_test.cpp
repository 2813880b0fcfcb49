// Splitting, cutting and appending items of list values.
#include "core/list_value_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
  std::string value;
  std::vector<std::string> items;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << "'" << c.value << "'";
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, GivesItemsInOrder) {
  EXPECT_EQ(SplitListItems(GetParam().value), GetParam().items) << "value: " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    ListValueText, SplitTest,
    ::testing::Values(SplitCase{"a.exe b.exe", {"a.exe", "b.exe"}},
                      SplitCase{"a.exe, b.exe", {"a.exe", "", "b.exe"}},
                      SplitCase{"C:\\WINDOWS\\system32\\userinit.exe,",
                                {"C:\\WINDOWS\\system32\\userinit.exe", ""}},
                      SplitCase{"", {""}}, SplitCase{",", {"", ""}},
                      SplitCase{" a.exe", {"", "a.exe"}},
                      SplitCase{"a.exe,,b.exe c.exe", {"a.exe", "", "b.exe", "c.exe"}},
                      SplitCase{"C:\\A.EXE C:\\B.EXE", {"C:\\A.EXE", "C:\\B.EXE"}},
                      SplitCase{"a.exe b.exe a.exe", {"a.exe", "b.exe", "a.exe"}},
                      // Multi-byte UTF-8 text stays whole.
                      SplitCase{"C:\\Программы\\app.exe,C:\\工具\\😀.exe",
                                {"C:\\Программы\\app.exe", "C:\\工具\\😀.exe"}}));

struct CutCase {
  std::string value;
  std::string item;
  std::string result;
};

void PrintTo(const CutCase& c, std::ostream* os) {
  *os << "'" << c.item << "' out of '" << c.value << "'";
}

class CutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutTest, RemovesWholeItemsAndTidiesSeparators) {
  const CutCase& c = GetParam();
  EXPECT_EQ(CutListItem(c.value, c.item), c.result)
      << "cut '" << c.item << "' out of '" << c.value << "'";
}

INSTANTIATE_TEST_SUITE_P(
    ListValueText, CutTest,
    ::testing::Values(
        // The examples of how a cut reads.
        CutCase{"a.exe b.exe c.exe", "b.exe", "a.exe,c.exe"},
        CutCase{"a.exe,b.exe,c.exe", "b.exe", "a.exe,c.exe"},
        CutCase{"a.exe, b.exe, c.exe", "b.exe", "a.exe,c.exe"},
        // A trailing separator that was there stays; an empty item between two items goes.
        CutCase{"C:\\WINDOWS\\system32\\userinit.exe,", "", "C:\\WINDOWS\\system32\\userinit.exe,"},
        CutCase{"C:\\WINDOWS\\system32\\userinit.exe,C:\\x.exe,", "C:\\x.exe",
                "C:\\WINDOWS\\system32\\userinit.exe,"},
        CutCase{"a.exe b.exe ", "b.exe", "a.exe "}, CutCase{"a.exe b.exe , ", "b.exe", "a.exe,"},
        CutCase{"a.exe,", "a.exe", ""}, CutCase{"a.exe b.exe a.exe", "a.exe", "b.exe"},
        CutCase{"a.exe b.exe", "a.exe", "b.exe"}, CutCase{"a.exe b.exe", "b.exe", "a.exe"},
        // Whole items only: text of the item inside a longer item stays.
        CutCase{"bb.exe b.exe", "b.exe", "bb.exe"}, CutCase{"b.exe bb.exe", "b.exe", "bb.exe"},
        CutCase{"bb.exe", "b.exe", "bb.exe"}, CutCase{"b.exe.bak,b.exe", "b.exe", "b.exe.bak"},
        CutCase{"C:\\x\\b.exe,b.exe", "b.exe", "C:\\x\\b.exe"},
        // Case-sensitive comparison.
        CutCase{"A.EXE a.exe", "a.exe", "A.EXE"},
        // A run of separators between two items becomes one comma; a single one is kept.
        CutCase{"a,,,b", "", "a,b"}, CutCase{"a   b", "", "a,b"}, CutCase{"a      b", "", "a,b"},
        CutCase{"a ,b", "", "a,b"}, CutCase{"a , b", "", "a,b"}, CutCase{"a.exe", "a.exe", ""},
        CutCase{"a b,c", "", "a b,c"}, CutCase{"", "a.exe", ""},
        CutCase{" , a.exe , ", "", "a.exe,"},
        // An item that holds a separator is matched between item boundaries too.
        CutCase{"a.exe C:\\x.exe /min b.exe", "C:\\x.exe /min", "a.exe,b.exe"},
        CutCase{"Программа.exe,工具.exe,😀.exe", "工具.exe", "Программа.exe,😀.exe"}));

struct AppendCase {
  std::string value;
  std::string item;
  std::string result;
};

void PrintTo(const AppendCase& c, std::ostream* os) {
  *os << "'" << c.item << "' to '" << c.value << "'";
}

class AppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendTest, AddsAtTheEnd) {
  const AppendCase& c = GetParam();
  EXPECT_EQ(AppendListItem(c.value, c.item), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    ListValueText, AppendTest,
    ::testing::Values(AppendCase{"", "a.exe", "a.exe"}, AppendCase{"b.exe", "a.exe", "b.exe,a.exe"},
                      AppendCase{"C:\\A.EXE", "C:\\PROGRA~1\\Tool\\tool.exe",
                                 "C:\\A.EXE,C:\\PROGRA~1\\Tool\\tool.exe"},
                      // Separators inside the value are not touched.
                      AppendCase{"a.exe, b.exe", "c.exe", "a.exe, b.exe,c.exe"},
                      AppendCase{" a.exe ", "c.exe", "a.exe,c.exe "},
                      AppendCase{"a.exe,", "", "a.exe,"}, AppendCase{"", "", ""},
                      // The trailing separator stays last; no empty item is made.
                      AppendCase{"C:\\WINDOWS\\system32\\userinit.exe,", "C:\\x.exe",
                                 "C:\\WINDOWS\\system32\\userinit.exe,C:\\x.exe,"},
                      AppendCase{"a.exe,, ", "b.exe", "a.exe,b.exe,"},
                      AppendCase{",", "a.exe", "a.exe"}));

// Modify of an enabled row is a cut followed by an append.
TEST(ListValueText, ModifyMovesTheItemToTheEnd) {
  EXPECT_EQ(AppendListItem(CutListItem("a.exe b.exe", "a.exe"), "c.exe"), "b.exe,c.exe");
}

TEST(ListValueText, TellsTheUserinitProgramByItsFileName) {
  struct Case {
    const char* item;
    bool userinit;
  };
  for (const Case& c :
       {Case{"C:\\Windows\\system32\\userinit.exe", true}, Case{"USERINIT.EXE", true},
        Case{"\"C:\\Windows\\System32\\UserInit.exe\"", true},
        Case{"C:/Windows/userinit.exe", true}, Case{"C:userinit.exe", true},
        Case{"C:\\Windows\\system32\\userinit.exe.bak", false},
        Case{"C:\\Tools\\myuserinit.exe", false}, Case{"userinit", false},
        Case{"C:\\userinit.exe\\x.exe", false}, Case{"", false}}) {
    EXPECT_EQ(IsUserinitProgram(c.item), c.userinit) << c.item;
  }
  EXPECT_TRUE(HasListItems(" a.exe,"));
  EXPECT_FALSE(HasListItems(" , ,"));
  EXPECT_FALSE(HasListItems(""));
}

}  // namespace
