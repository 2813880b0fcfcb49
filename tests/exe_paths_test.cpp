// The exe directory and base name rules the program uses to find its language, help, store
// and journal files. Pure text: also built natively with the sanitizers.
#include "core/exe_paths.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
  const char* path;
  const char* directory;
  const char* baseName;
};

class ExePathsTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ExePathsTest, SplitsDirectoryAndBaseName) {
  const PathCase& c = GetParam();
  EXPECT_EQ(ExeDirectoryOf(c.path), c.directory) << c.path;
  EXPECT_EQ(ExeBaseNameOf(c.path), c.baseName) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExePathsTest,
    ::testing::Values(PathCase{"C:\\Tools\\App.exe", "C:\\Tools", "App"},
                      PathCase{"C:App.exe", "C:", "App"},
                      PathCase{"C:\\Tools\\App", "C:\\Tools", "App"},
                      PathCase{"C:\\App.exe", "C:", "App"},
                      PathCase{"C:\\Tools\\My.App.exe", "C:\\Tools", "My.App"},
                      // a dot in a folder name is not the file name's extension
                      PathCase{"C:\\Tools.d\\App", "C:\\Tools.d", "App"},
                      // a doubled separator leaves no trailing backslash behind
                      PathCase{"C:\\Tools\\\\App.exe", "C:\\Tools", "App"},
                      PathCase{"\\\\server\\share\\App.exe", "\\\\server\\share", "App"},
                      PathCase{"App.exe", "", "App"}, PathCase{"", "", ""},
                      PathCase{"C:\\Tools\\.exe", "C:\\Tools", ""}));

// A stepper for a double-byte code page in which 0x81 to 0x9F start two-byte characters whose
// second byte may be '\' (0x5C), as in code page 932.
std::size_t DoubleByteStep(const std::string& text, std::size_t pos) {
  const unsigned char byte = static_cast<unsigned char>(text[pos]);
  return (byte >= 0x81 && byte <= 0x9F && pos + 1 < text.size()) ? pos + 2 : pos + 1;
}

TEST(ExePaths, TrailByteThatLooksLikeABackslashIsNoSeparator) {
  // C:\Tools\<0x95 0x5C>.exe : the only real separator is the one after Tools.
  const std::string path = "C:\\Tools\\\x95\x5C.exe";
  EXPECT_EQ(ExeDirectoryOf(path, DoubleByteStep), "C:\\Tools");
  EXPECT_EQ(ExeBaseNameOf(path, DoubleByteStep), "\x95\x5C");
  // A folder name ending in that character keeps its trail byte.
  const std::string folder = "C:\\\x95\x5C\\App.exe";
  EXPECT_EQ(ExeDirectoryOf(folder, DoubleByteStep), "C:\\\x95\x5C");
  EXPECT_EQ(ExeBaseNameOf(folder, DoubleByteStep), "App");
}

}  // namespace
