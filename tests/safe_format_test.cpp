// The safe formatter against hostile and ordinary formats from a language file.
#include "store/safe_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FormatCase {
  const char* name;
  std::string format;
  std::vector<std::string> args;
  std::string expected;
};

class SafeFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SafeFormatTest, FormatsOnlyStringConversions) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(SafeFormat(c.format, c.args), c.expected);
}

const FormatCase kCases[] = {
    {"ArgumentsInOrder", "Removed %s from %s", {"App", "HKCU\\Run"}, "Removed App from HKCU\\Run"},
    {"NoConversionsIgnoresArguments", "_LogItemType1Content", {"a", "b"}, "_LogItemType1Content"},
    {"EmptyFormat", "", {"a"}, ""},
    {"MoreConversionsThanArguments", "%s|%s|%s", {"one"}, "one||"},
    {"NoArgumentsAtAll", "[%s]", {}, "[]"},
    {"FewerConversionsThanArguments", "%s", {"one", "two"}, "one"},
    {"IntegerConversionIsText", "%d items in %s", {"Run"}, "%d items in Run"},
    {"WriteBackConversionIsText", "%n%s", {"x"}, "%nx"},
    {"HexConversionIsText", "%x%p", {"x"}, "%x%p"},
    {"WideStringConversionIsText", "%ls and %s", {"x"}, "%ls and x"},
    {"WidthIsText", "%5s|%s", {"x"}, "%5s|x"},
    {"FlagIsText", "%-s|%s", {"x"}, "%-s|x"},
    {"DoublePercentThenS", "%%s %s", {"x"}, "%s x"},
    {"DoublePercent", "100%% of %s", {"x"}, "100% of x"},
    {"LonePercentAtEnd", "%s at 50%", {"x"}, "x at 50%"},
    {"OnlyAPercent", "%", {"x"}, "%"},
    {"PercentInsideArgumentIsText", "%s;%s", {"%s%n%d", "%%"}, "%s%n%d;%%"},
    {"TripleConversionFromOneArgumentList", "%s%s%s", {"a", "b", "c"}, "abc"},
    {"Utf8ArgumentsAreCopiedWhole", "→%s←", {"Überprüfung 日本"}, "→Überprüfung 日本←"},
    {"UpperCaseSIsText", "%S", {"x"}, "%S"},
};

INSTANTIATE_TEST_SUITE_P(Table, SafeFormatTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeFormat, ManyConversionsNeverReadPastArguments) {
  std::string format;
  for (int i = 0; i < 1000; ++i) format += "%s%d%n";
  const std::string result = SafeFormat(format, {"A", "B"});
  std::string expected = "A%d%nB%d%n";
  for (int i = 2; i < 1000; ++i) expected += "%d%n";
  EXPECT_EQ(result, expected);
}

}  // namespace
