// The real file system and shell link classes under Wine: listing, moves that do or do not
// replace, the hidden folder, short names, and shortcuts written here or by Windows.
#include "platform/file_system.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/shell_links.h"
#include "support/link_settings.h"
#include "support/temp_folder.h"

namespace {

DWORD Attributes(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

TEST(FileSystem, ListGivesEveryEntryWithItsAttributes) {
  TempFolder folder;
  ASSERT_TRUE(WriteBytes(folder / "a.txt", "a"));
  ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  SetFileAttributesA((folder / "a.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  Win32FileSystem files;
  const auto entries = files.List(folder.Path());
  ASSERT_TRUE(entries.has_value());
  std::vector<std::string> names;
  for (const DirEntry& entry : *entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.txt", "sub"}));
  for (const DirEntry& entry : *entries) {
    if (entry.name == "a.txt") {
      EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_READONLY);
    }
    if (entry.name == "sub") {
      EXPECT_TRUE(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
  }
}

TEST(FileSystem, ListOfMissingOrEmptyFolderIsNothing) {
  TempFolder folder;
  Win32FileSystem files;
  EXPECT_FALSE(files.List(folder / "missing").has_value());
  // An empty text must never fall back to the current or root directory.
  EXPECT_FALSE(files.List("").has_value());
}

TEST(FileSystem, MoveNeverReplacesButReplaceDoes) {
  TempFolder folder;
  Win32FileSystem files;
  ASSERT_TRUE(WriteBytes(folder / "from", "new"));
  ASSERT_TRUE(WriteBytes(folder / "to", "old"));

  EXPECT_FALSE(files.MoveFile(folder / "from", folder / "to"));
  EXPECT_EQ(ReadBytes(folder / "to"), "old");
  EXPECT_TRUE(files.Exists(folder / "from"));

  EXPECT_TRUE(files.ReplaceFile(folder / "from", folder / "to"));
  EXPECT_EQ(ReadBytes(folder / "to"), "new");
  EXPECT_FALSE(files.Exists(folder / "from"));

  EXPECT_TRUE(files.MoveFile(folder / "to", folder / "moved"));
  EXPECT_EQ(ReadBytes(folder / "moved"), "new");
  EXPECT_FALSE(files.MoveFile(folder / "gone", folder / "other"));
}

TEST(FileSystem, DeleteAndExists) {
  TempFolder folder;
  Win32FileSystem files;
  ASSERT_TRUE(WriteBytes(folder / "f", "x"));
  EXPECT_TRUE(files.Exists(folder / "f"));
  EXPECT_TRUE(files.Exists(folder.Path()));
  EXPECT_FALSE(files.Exists(""));
  EXPECT_TRUE(files.DeleteFile(folder / "f"));
  EXPECT_FALSE(files.Exists(folder / "f"));
  EXPECT_FALSE(files.DeleteFile(folder / "f"));
}

TEST(FileSystem, HiddenFolderIsCreatedOnceAndHidden) {
  TempFolder folder;
  Win32FileSystem files;
  const std::string kept = folder / "Kept";
  ASSERT_TRUE(files.CreateHiddenFolder(kept));
  DWORD attributes = Attributes(kept);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  // Again, with a file inside: still there, still hidden.
  ASSERT_TRUE(WriteBytes(kept + "\\inside", "x"));
  EXPECT_TRUE(files.CreateHiddenFolder(kept));
  EXPECT_EQ(ReadBytes(kept + "\\inside"), "x");
  // A file in the way is no folder.
  ASSERT_TRUE(WriteBytes(folder / "plain", "x"));
  EXPECT_FALSE(files.CreateHiddenFolder(folder / "plain"));
  EXPECT_FALSE(files.CreateHiddenFolder(""));
}

TEST(FileSystem, ShortPathMatchesTheSystemsAndIsEmptyForMissingFiles) {
  TempFolder folder;
  Win32FileSystem files;
  const std::string longName = folder / "A rather long file name with spaces.txt";
  ASSERT_TRUE(WriteBytes(longName, "x"));
  char expected[MAX_PATH * 3] = {};
  ASSERT_NE(GetShortPathNameA(longName.c_str(), expected, sizeof(expected)), 0u);
  EXPECT_EQ(files.ShortPath(longName), expected);
  EXPECT_FALSE(files.ShortPath(longName).empty());
  EXPECT_EQ(files.ShortPath(folder / "missing.txt"), "");
  EXPECT_EQ(files.ShortPath(""), "");
}

TEST(FileSystem, NonAsciiNamesRoundTrip) {
  TempFolder folder;
  Win32FileSystem files;
  const std::string name = "Заметки 日本 \xF0\x9F\x98\x80.txt";
  ASSERT_TRUE(WriteBytes(folder / name, "x"));
  const auto entries = files.List(folder.Path());
  ASSERT_TRUE(entries.has_value());
  EXPECT_TRUE(std::any_of(entries->begin(), entries->end(),
                          [&](const DirEntry& e) { return e.name == name; }));
  EXPECT_TRUE(files.MoveFile(folder / name, folder / ("2 " + name)));
  EXPECT_TRUE(files.Exists(folder / ("2 " + name)));
}

TEST(ShellLinks, WrittenLinkReadsBackItsTarget) {
  TempFolder folder;
  Win32ShellLinks links;
  struct Case {
    const char* file;
    std::string target;
  };
  const Case cases[] = {
      {"plain.lnk", "C:\\windows\\notepad.exe"},
      {"missing target.lnk", "C:\\No Such Folder\\tool.exe"},
      {"Кириллица.lnk", "C:\\Программы\\日本語\\\xF0\x9F\x98\x80.exe"},
      {"no extension", "C:\\windows\\notepad.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(links.WriteLink(folder / c.file, c.target));
    const auto target = links.ReadTarget(folder / c.file);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(*target, c.target);
  }
}

TEST(ShellLinks, WriteFailsWhereNoFileCanBeMade) {
  TempFolder folder;
  Win32ShellLinks links;
  EXPECT_FALSE(links.WriteLink(folder / "missing\\App.lnk", "C:\\windows\\notepad.exe"));
  EXPECT_FALSE(links.WriteLink("", "C:\\windows\\notepad.exe"));
}

TEST(ShellLinks, NonShortcutsAndMissingFilesReadAsNothing) {
  TempFolder folder;
  Win32ShellLinks links;
  ASSERT_TRUE(WriteBytes(folder / "tool.exe", "MZ not really a program"));
  ASSERT_TRUE(WriteBytes(folder / "fake.lnk", "not a shortcut at all"));
  EXPECT_FALSE(links.ReadTarget(folder / "tool.exe").has_value());
  EXPECT_FALSE(links.ReadTarget(folder / "fake.lnk").has_value());
  EXPECT_FALSE(links.ReadTarget(folder / "missing.lnk").has_value());
}

// Shortcuts made by Windows: every one loads; one has no file-system target.
TEST(ShellLinks, ReadsShortcutsMadeByWindows) {
  TempFolder folder;
  Win32ShellLinks links;
  const char* names[] = {"sample.lnk",   "sample2.lnk",          "sample3.lnk", "sample5.lnk",
                         "sample6.lnk",  "sample7.lnk",          "sample8.lnk", "sample11.lnk",
                         "sample13.lnk", "microsoft_example.lnk"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::string bytes = FixtureLink(name);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(WriteBytes(folder / name, bytes));
    const auto target = links.ReadTarget(folder / name);
    ASSERT_TRUE(target.has_value());
    if (std::string(name) == "sample3.lnk") {
      EXPECT_EQ(*target, "");
    } else {
      EXPECT_FALSE(target->empty());
    }
  }
}

TEST(ShellLinks, RetargetedCopyKeepsArgumentsFolderAndIcon) {
  TempFolder folder;
  Win32ShellLinks links;
  for (const char* name : {"sample11.lnk", "sample13.lnk", "sample6.lnk"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteBytes(folder / name, FixtureLink(name)));
    const std::string settings = LinkSettings(folder / name);
    ASSERT_NE(settings.substr(0, 1), "|");  // it has arguments

    const std::string copy = folder / (std::string("copy of ") + name);
    ASSERT_TRUE(links.WriteRetargeted(folder / name, copy, "C:\\windows\\notepad.exe"));
    EXPECT_EQ(links.ReadTarget(copy), "C:\\windows\\notepad.exe");
    EXPECT_EQ(LinkSettings(copy), settings);
    // The source is left as it was.
    EXPECT_EQ(ReadBytes(folder / name), FixtureLink(name));
  }

  ASSERT_TRUE(WriteBytes(folder / "tool.exe", "MZ"));
  EXPECT_FALSE(links.WriteRetargeted(folder / "tool.exe", folder / "c2.lnk", "C:\\x.exe"));
  EXPECT_FALSE(links.WriteRetargeted(folder / "missing.lnk", folder / "c3.lnk", "C:\\x.exe"));
}

}  // namespace
