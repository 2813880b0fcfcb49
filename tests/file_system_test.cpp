// The real file system and shell link classes under Wine: listing, moves that do or do not
// replace, the hidden folder, short names, and shortcuts written here or by Windows.
#include "platform/file_system.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/shell_links.h"
#include "platform/wide_path.h"
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

TEST(FileSystem, ListMatchingGivesTheNamesOfThePatternIgnoringCase) {
  TempFolder root;
  for (const std::string& folder : {root.Path(), NestedFolder(root.Path(), 300)}) {
    SCOPED_TRACE(folder.size());
    for (const char* name : {"App.lnk", "app (2).LNK", "App (3).lnk", "Other.lnk", "App.exe"}) {
      ASSERT_TRUE(WriteBytes(folder + "\\" + name, "x"));
    }
    Win32FileSystem files;
    const auto entries = files.ListMatching(folder, "App*.lnk");
    ASSERT_TRUE(entries.has_value());
    std::vector<std::string> names;
    for (const DirEntry& entry : *entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"App (3).lnk", "App.lnk", "app (2).LNK"}));
    EXPECT_FALSE(files.ListMatching(folder + "\\missing", "*").has_value());
    EXPECT_FALSE(files.ListMatching("", "*").has_value());
  }
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

// ---- Paths longer than MAX_PATH

std::wstring Wide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

TEST(WideFilePath, ShortPathsAreOnlyConvertedLongOnesNormalisedAndPrefixed) {
  const std::string segment(60, 's');
  std::string deep = "C:\\Start";
  for (int i = 0; i < 5; ++i) deep += "\\" + segment;  // 308 characters
  struct Case {
    std::string path;
    std::wstring wide;
  };
  const Case cases[] = {
      {"C:\\Start\\App.lnk", L"C:\\Start\\App.lnk"},
      {"Заметки.lnk", L"\u0417\u0430\u043c\u0435\u0442\u043a\u0438.lnk"},
      {"", L""},
      {deep + "\\App.lnk", L"\\\\?\\" + Wide(deep) + L"\\App.lnk"},
      // Forward slashes, "." and ".." mean nothing in the \\?\ form: resolved first.
      {deep + "/sub\\.\\..\\App.lnk", L"\\\\?\\" + Wide(deep) + L"\\App.lnk"},
      {"\\\\server\\share" + deep.substr(2), L"\\\\?\\UNC\\server\\share" + Wide(deep.substr(2))},
      // Already in a device form: left as written.
      {"\\\\?\\" + deep + "\\.", L"\\\\?\\" + Wide(deep) + L"\\."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WideFilePath(c.path), c.wide);
  }
  EXPECT_EQ(AcpFromWide(WideFromAcp("Заметки 日本 \xF0\x9F\x98\x80")),
            "Заметки 日本 \xF0\x9F\x98\x80");
}

// Every operation in a folder whose path is 300 characters long, and for a file that is past
// MAX_PATH only inside the kept-files folder (a startup folder of 240 characters).
TEST(FileSystem, PathsPastMaxPathWorkLikeShortOnes) {
  for (const std::size_t length : {240u, 300u}) {
    SCOPED_TRACE(length);
    TempFolder root;
    const std::string folder = NestedFolder(root.Path(), length);
    ASSERT_GE(folder.size(), length);
    const std::string kept = folder + "\\Kept files of the folder";
    const std::string file = folder + "\\tool.exe";
    ASSERT_TRUE(WriteBytes(file, "MZ bytes"));
    Win32FileSystem files;

    const auto entries = files.List(folder);
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(std::any_of(entries->begin(), entries->end(),
                            [](const DirEntry& e) { return e.name == "tool.exe"; }));
    EXPECT_TRUE(files.Exists(file));
    ASSERT_TRUE(files.CreateHiddenFolder(kept));
    EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributesW(TestLongPath(kept).c_str()) & FILE_ATTRIBUTE_HIDDEN);

    const std::string keptFile = kept + "\\tool.exe";
    ASSERT_GT(keptFile.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(files.MoveFile(file, keptFile));
    EXPECT_FALSE(files.Exists(file));
    EXPECT_EQ(ReadBytes(keptFile), "MZ bytes");
    ASSERT_TRUE(WriteBytes(file, "new"));
    EXPECT_FALSE(files.MoveFile(keptFile, file));  // never replaces
    EXPECT_TRUE(files.ReplaceFile(keptFile, file));
    EXPECT_EQ(ReadBytes(file), "MZ bytes");

    const std::string shortPath = files.ShortPath(file);
    EXPECT_FALSE(shortPath.empty());
    EXPECT_LT(shortPath.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_EQ(ReadBytes(shortPath), "MZ bytes");

    EXPECT_TRUE(files.DeleteFile(file));
    EXPECT_FALSE(files.Exists(file));
    EXPECT_FALSE(files.DeleteFile(file));
  }
}

TEST(ShellLinks, ShortcutsPastMaxPathAreReadWrittenAndRetargeted) {
  TempFolder root;
  const std::string folder = NestedFolder(root.Path(), 300);
  Win32ShellLinks links;
  ASSERT_TRUE(links.WriteLink(folder + "\\Written.lnk", "C:\\Tools\\app.exe"));
  EXPECT_EQ(links.ReadTarget(folder + "\\Written.lnk"), "C:\\Tools\\app.exe");

  ASSERT_TRUE(WriteBytes(folder + "\\Windows.lnk", FixtureLink("sample11.lnk")));
  const std::string settings = LinkSettings(folder + "\\Windows.lnk");
  ASSERT_NE(settings.substr(0, 1), "|");  // it has arguments, read through the long path
  ASSERT_TRUE(links.WriteRetargeted(folder + "\\Windows.lnk", folder + "\\Copy.lnk",
                                    "C:\\windows\\notepad.exe",
                                    links.ReadCommand(folder + "\\Windows.lnk")->arguments));
  EXPECT_EQ(links.ReadTarget(folder + "\\Copy.lnk"), "C:\\windows\\notepad.exe");
  EXPECT_EQ(LinkSettings(folder + "\\Copy.lnk"), settings);
}

TEST(ShellLinks, WrittenLinkReadsBackItsTarget) {
  TempFolder folder;
  Win32ShellLinks links;
  struct Case {
    const char* file;
    std::string target;
    std::string arguments;
  };
  const Case cases[] = {
      {"plain.lnk", "C:\\windows\\notepad.exe", ""},
      {"missing target.lnk", "C:\\No Such Folder\\tool.exe", "--profile \"Work Account\""},
      {"Кириллица.lnk", "C:\\Программы\\日本語\\\xF0\x9F\x98\x80.exe", "/файл 日本"},
      {"no extension", "C:\\windows\\notepad.exe", "/min"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(links.WriteLink(folder / c.file, c.target, c.arguments));
    const auto target = links.ReadTarget(folder / c.file);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(*target, c.target);
    const auto command = links.ReadCommand(folder / c.file);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->target, c.target);
    EXPECT_EQ(command->arguments, c.arguments);
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
    const std::string arguments = links.ReadCommand(folder / name)->arguments;
    ASSERT_TRUE(links.WriteRetargeted(folder / name, copy, "C:\\windows\\notepad.exe", arguments));
    EXPECT_EQ(links.ReadTarget(copy), "C:\\windows\\notepad.exe");
    EXPECT_EQ(LinkSettings(copy), settings);
    // New arguments replace the old; the working folder and icon stay.
    const std::string other = folder / (std::string("new arguments of ") + name);
    ASSERT_TRUE(links.WriteRetargeted(folder / name, other, "C:\\x.exe", "/new \"a b\""));
    EXPECT_EQ(LinkSettings(other), "/new \"a b\"" + settings.substr(settings.find('|')));
    // The source is left as it was.
    EXPECT_EQ(ReadBytes(folder / name), FixtureLink(name));
  }

  ASSERT_TRUE(WriteBytes(folder / "tool.exe", "MZ"));
  EXPECT_FALSE(links.WriteRetargeted(folder / "tool.exe", folder / "c2.lnk", "C:\\x.exe", ""));
  EXPECT_FALSE(links.WriteRetargeted(folder / "missing.lnk", folder / "c3.lnk", "C:\\x.exe", ""));
  EXPECT_FALSE(links.ReadCommand(folder / "tool.exe").has_value());
}

}  // namespace
