// The journal's record line format: escaping keeps one record per line whatever the texts hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "journal/record_format.h"

namespace {

struct EscapeCase {
  const char* name;
  std::string text;
  std::string escaped;
};

class EscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTest, EscapesAndRoundTrips) {
  const EscapeCase& c = GetParam();
  EXPECT_EQ(EscapeField(c.text), c.escaped);
  EXPECT_EQ(UnescapeField(c.escaped), c.text);
}

const EscapeCase kEscapes[] = {
    {"Plain", "C:\\x.exe", "C:\\\\x.exe"},
    {"Tab", "a\tb", "a\\tb"},
    {"LineBreaks", "a\r\nb\n", "a\\r\\nb\\n"},
    {"BackslashBeforeLetter", "\\t is not a tab", "\\\\t is not a tab"},
    {"TrailingBackslash", "dir\\", "dir\\\\"},
    {"Empty", "", ""},
    {"Utf8", "日本\tÜ", "日本\\tÜ"},
};

INSTANTIATE_TEST_SUITE_P(Table, EscapeTest, ::testing::ValuesIn(kEscapes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFormat, UnknownEscapesAndALoneBackslashStayAsTheyStand) {
  EXPECT_EQ(UnescapeField("\\q\\"), "\\q\\");
}

TEST(RecordFormat, LineHoldsEveryFieldAndNoLineBreak) {
  const std::vector<std::string> fields = {
      "2024-01-02 03:04:05", "Info", "cat\t", "item\n", "src\\", "multi\r\nline"};
  const std::string line = FormatRecordLine(fields);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  EXPECT_EQ(line.find('\r'), std::string::npos);
  EXPECT_EQ(ParseRecordLine(line), fields);
  EXPECT_EQ(ParseRecordLine(line + "\r"), fields);
}

TEST(RecordFormat, EmptyFieldsSurvive) {
  const std::vector<std::string> fields(kRecordFieldCount, "");
  EXPECT_EQ(ParseRecordLine(FormatRecordLine(fields)), fields);
}

TEST(RecordFormat, FileKeepsOnlyWholeRecordsInOrder) {
  const std::vector<std::string> a = {"t1", "a", "b", "c", "d", "e"};
  const std::vector<std::string> b = {"t2", "a", "b", "c", "d", "tab\there"};
  const std::string file = FormatRecordLine(a) + "\r\n" + "stray text\r\n\r\n" +
                           "t\tcut\tshort\r\n" + FormatRecordLine(b) + "\n" + "t3\ttorn";
  const std::vector<std::string> lines = RecordLines(file);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(ParseRecordLine(lines[0]), a);
  EXPECT_EQ(ParseRecordLine(lines[1]), b);
}

TEST(RecordFormat, EmptyFileHasNoRecords) {
  EXPECT_TRUE(RecordLines("").empty());
}

}  // namespace
