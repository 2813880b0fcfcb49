// Line-break escapes of language texts. Pure text: also built natively with the sanitizers.
#include "store/escape_expand.h"

#include <gtest/gtest.h>

namespace {

struct EscapeCase {
  const char* text;
  const char* expanded;
};

class EscapeExpandTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeExpandTest, ExpandsOnlyBackslashRAndBackslashN) {
  EXPECT_EQ(ExpandEscapes(GetParam().text), GetParam().expanded) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EscapeExpandTest,
    ::testing::Values(EscapeCase{"", ""}, EscapeCase{"plain", "plain"}, EscapeCase{"a\\nb", "a\nb"},
                      EscapeCase{"a\\r\\nb", "a\r\nb"}, EscapeCase{"\\n\\n", "\n\n"},
                      // other escapes and a lone backslash stay as they are
                      EscapeCase{"C:\\temp\\x", "C:\\temp\\x"}, EscapeCase{"end\\", "end\\"},
                      EscapeCase{"\\N\\R", "\\N\\R"},
                      // pairs do not overlap: the first backslash pairs with nothing
                      EscapeCase{"\\\\n", "\\\n"},
                      // a CR produced by the first pass does not start a new pair
                      EscapeCase{"\\\\rn", "\\\rn"}));

}  // namespace
