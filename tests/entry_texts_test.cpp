// What message boxes and edit fields make of an entry's texts: cutting, the remove question,
// quoting and joining lines.
#include "ui/entry_texts.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EntryTexts, LongTextsAreCutWithAnEllipsisShortOnesKept) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\a.exe", 20, "C:\\a.exe"},
      {"0123456789", 10, "0123456789"},
      {"0123456789A", 10, "0123456..."},
      {"abc", 2, ".."},
      {"", 5, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CutForMessage(c.text, c.limit), c.expected) << c.text;

  const std::string huge = "C:\\huge.exe " + std::string(40000, 'a');
  const std::string cut = CutForMessage(huge, kMessageDataLimit);
  EXPECT_EQ(cut.size(), kMessageDataLimit);
  EXPECT_EQ(cut.substr(0, 12), "C:\\huge.exe ");
  EXPECT_EQ(cut.substr(cut.size() - 4), "a...");
}

TEST(EntryTexts, CuttingNeverSplitsACharacter) {
  // "ü" is two bytes in UTF-8, the program's code page; every cut lands between characters.
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
  std::string text;
  for (int i = 0; i < 20; ++i) text += "\xC3\xBC";
  for (std::size_t limit = 4; limit < 12; ++limit) {
    const std::string cut = CutForMessage(text, limit);
    EXPECT_LE(cut.size(), limit);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    const std::string kept = cut.substr(0, cut.size() - 3);
    EXPECT_EQ(kept.size() % 2, 0u) << limit;
    EXPECT_GE(kept.size() + 4, limit) << "no more is dropped than the split character";
  }
}

TEST(EntryTexts, TheRemoveQuestionAlwaysNamesTheEntry) {
  struct Case {
    const char* question;
    const char* name;
    std::string data;
    std::string expected;
  };
  const Case cases[] = {
      {"Remove?\n\n%s\n\nGone for good.", "Updater", "C:\\up.exe /q",
       "Remove?\n\nUpdater\nC:\\up.exe /q\n\nGone for good."},
      // A translation that lost its %s, and no text at all (the key comes back).
      {"Remove this entry?", "Updater", "C:\\up.exe", "Remove this entry?\n\nUpdater\nC:\\up.exe"},
      {"_AreyousureDeleteThisEntry", "U", "u.exe", "_AreyousureDeleteThisEntry\n\nU\nu.exe"},
      // "%%s" is a percent sign and an s, not a place for the entry.
      {"100%%s sure?", "U", "u.exe", "100%%s sure?\n\nU\nu.exe"},
      // A list-value item has no name of its own here; a row without data still has its name.
      {"Remove %s?", "", "u.exe", "Remove u.exe?"},
      {"Remove %s?", "Link.lnk", "", "Remove Link.lnk?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemoveQuestion(c.question, c.name, c.data), c.expected) << c.question;
  }
  const std::string longName(500, 'n');
  const std::string question = RemoveQuestion("%s", longName, std::string(40000, 'd'));
  EXPECT_EQ(question, CutForMessage(longName, kMessageNameLimit) + "\n" +
                          CutForMessage(std::string(40000, 'd'), kMessageDataLimit));
}

TEST(EntryTexts, PickedPathsAreQuotedWhenTheyHaveBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Tools\\app.exe", "C:\\Tools\\app.exe"},
      {"C:\\Program Files\\App\\app.exe", "\"C:\\Program Files\\App\\app.exe\""},
      {"\"C:\\Program Files\\app.exe\"", "\"C:\\Program Files\\app.exe\""},
      {"", ""},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(QuotedCommandPath(path), expected) << path;
}

TEST(EntryTexts, TypedLineBreaksBecomeOneLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\a.exe /x", "C:\\a.exe /x"},
      {"C:\\a.exe\r\n", "C:\\a.exe"},
      {"\r\nC:\\a.exe", "C:\\a.exe"},
      {"C:\\a.exe\r\n\r\n/x", "C:\\a.exe /x"},
      {"a\nb\rc", "a b c"},
      {"  keep blanks  ", "  keep blanks  "},
  };
  for (const auto& [typed, expected] : cases) EXPECT_EQ(SingleLine(typed), expected) << typed;
}

}  // namespace
