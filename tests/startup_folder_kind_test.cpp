// The startup folder view against real folders, real shortcuts (some made by Windows) and a real
// config.xml: listing, the .lnk rules, kept files of disabled entries, and the fault matrix.
#include "core/startup_folder_kind.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/kept_files.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/win_handles.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/faulty_platform.h"
#include "support/link_settings.h"
#include "support/memory_rows.h"
#include "support/recording_journal.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace {

const char kEmptyStore[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane/></config>\r\n";
const char kType[] = "_StartupFolderType";  // the language table without a file gives keys

// Real folders and a real store in a temp folder, and a view over them.
class StartupFolderTest : public ::testing::Test {
 protected:
  StartupFolderTest()
      : allUsers_(root_ / "All Users Startup"),
        user_(root_ / "User Startup"),
        store_(root_ / "config.xml") {
    CreateDirectoryA(allUsers_.c_str(), nullptr);
    CreateDirectoryA(user_.c_str(), nullptr);
    WriteBytes(root_ / "config.xml", kEmptyStore);
  }

  StartupFolderKind View(std::vector<std::string> locations) {
    return StartupFolderKind(services_, std::move(locations));
  }
  StartupFolderKind View() { return View({allUsers_}); }

  void Link(const std::string& folder, const std::string& name, const std::string& target) {
    ASSERT_TRUE(links_.WriteLink(folder + "\\" + name, target));
  }
  void Fixture(const std::string& folder, const std::string& name, const std::string& fixture) {
    ASSERT_TRUE(WriteBytes(folder + "\\" + name, FixtureLink(fixture)));
  }
  void Record(const std::string& path, const std::string& name, const std::string& data) {
    ASSERT_TRUE(store_.Append(KindId::kStartupFolder, path, name, data));
  }
  std::vector<StoredRecord> Records() { return store_.ListAll(KindId::kStartupFolder); }

  // The names in a folder as the file system spells them, directories and "." left out.
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (auto entries = files_.List(folder)) {
      for (const DirEntry& e : *entries) {
        if (!(e.attributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(e.name);
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> KeptIn(const std::string& folder) {
    return FilesIn(KeptFolderOf(folder));
  }
  std::string Target(const std::string& file) {
    return links_.ReadTarget(file).value_or("<unreadable>");
  }
  std::string Arguments(const std::string& file) {
    const std::optional<LinkCommand> command = links_.ReadCommand(file);
    return command ? command->arguments : "<unreadable>";
  }
  int RowOf(const std::string& name, bool enabled) {
    for (int i = 0; i < rows_.Count(); ++i) {
      if (rows_.rows[i].name == name && rows_.rows[i].enabled == enabled) return i;
    }
    return -1;
  }
  // What a click on a check box does: the mark changes, then the kind runs.
  void Uncheck(StartupFolderKind& view, int row) {
    ASSERT_GE(row, 0);
    rows_.Toggle(row);
    view.Disable(rows_, prompter_, row);
  }
  void Check(StartupFolderKind& view, int row) {
    ASSERT_GE(row, 0);
    rows_.Toggle(row);
    view.Enable(rows_, prompter_, row);
  }

  TempFolder root_{"qvsf"};
  std::string allUsers_, user_;
  Win32FileSystem files_;
  Win32ShellLinks links_;
  Win32Registry registry_;
  XmlDisabledStore store_;
  RecordingJournal journal_;
  LanguageTable language_;
  KindServices services_{registry_, files_, links_, store_, journal_, language_};
  MemoryRows rows_;
  ScriptedPrompter prompter_;
};

// ---- Text rules of the kept files and folders

TEST(KeptFileNames, NumberedCopiesAndTheirRecognition) {
  struct Case {
    const char* name;
    int copy;
    const char* numbered;
  };
  const Case cases[] = {
      {"App.lnk", 1, "App.lnk"}, {"App.lnk", 2, "App (2).lnk"},
      {"App2", 3, "App2 (3)"},   {"my.tool.exe", 2, "my.tool (2).exe"},
      {".lnk", 2, ".lnk (2)"},   {"Заметки.lnk", 12, "Заметки (12).lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numbered);
    EXPECT_EQ(NumberedName(c.name, c.copy), c.numbered);
    EXPECT_EQ(CopyNumberOf(c.numbered, c.name), c.copy);
  }
  struct Other {
    const char* file;
    const char* name;
    int copy;
  };
  const Other others[] = {
      {"app.LNK", "App.lnk", 1},         {"APP (2).lnk", "App.lnk", 2},
      {"App (1).lnk", "App.lnk", 0},     {"App (02).lnk", "App.lnk", 0},
      {"App (x).lnk", "App.lnk", 0},     {"App ().lnk", "App.lnk", 0},
      {"App (2).exe", "App.lnk", 0},     {"Apps (2).lnk", "App.lnk", 0},
      {"App(2).lnk", "App.lnk", 0},      {"App (2) (2).lnk", "App (2).lnk", 2},
      {"App (2).lnk", "App (2).lnk", 1}, {"Other.lnk", "App.lnk", 0},
  };
  for (const Other& o : others) {
    SCOPED_TRACE(o.file);
    EXPECT_EQ(CopyNumberOf(o.file, o.name), o.copy);
  }
}

TEST(KeptFileNames, OneTrailingBackslashIsTrimmed) {
  EXPECT_EQ(TrimFolder("C:\\Startup\\"), "C:\\Startup");
  EXPECT_EQ(TrimFolder("C:\\Startup"), "C:\\Startup");
  EXPECT_EQ(TrimFolder("C:\\Startup\\\\"), "C:\\Startup\\");
  EXPECT_EQ(TrimFolder("\\"), "");
  EXPECT_EQ(TrimFolder(""), "");
  EXPECT_EQ(JoinPath("C:\\S\\", "App.lnk"), "C:\\S\\App.lnk");
  EXPECT_EQ(KeptFolderOf("C:\\S"), std::string("C:\\S\\") + kKeptFolderName);
}

// ---- Refresh

TEST_F(StartupFolderTest, ListsOnlyOrdinaryFilesAtTheTopOfTheFolder) {
  Link(allUsers_, "App.lnk", "C:\\Tools\\app.exe");
  Link(allUsers_, "Old.lnk", "C:\\Tools\\old.exe");
  SetFileAttributesA((allUsers_ + "\\Old.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(WriteBytes(allUsers_ + "\\desktop.ini", "[.ShellClassInfo]"));
  SetFileAttributesA((allUsers_ + "\\desktop.ini").c_str(),
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(CreateDirectoryA((allUsers_ + "\\Sub").c_str(), nullptr));
  Link(allUsers_ + "\\Sub", "Inner.lnk", "C:\\inner.exe");
  ASSERT_TRUE(WriteBytes(allUsers_ + "\\tool.exe", "MZ"));

  StartupFolderKind view = View({allUsers_ + "\\"});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 2);
  std::sort(rows_.rows.begin(), rows_.rows.end(),
            [](const Row& a, const Row& b) { return a.name < b.name; });
  EXPECT_EQ(rows_.rows[0].name, "App.lnk");
  EXPECT_EQ(rows_.rows[0].type, kType);
  EXPECT_EQ(rows_.rows[0].data, "C:\\Tools\\app.exe");
  EXPECT_EQ(rows_.rows[0].location, allUsers_);  // the trimmed folder that was scanned
  EXPECT_TRUE(rows_.rows[0].enabled);
  EXPECT_EQ(rows_.rows[1].name, "tool.exe");
  EXPECT_EQ(rows_.rows[1].data, allUsers_ + "\\tool.exe");  // not a shortcut: its own path
  EXPECT_EQ(rows_.appendsOutsideFilling, 0);
  EXPECT_FALSE(rows_.filling);
}

TEST_F(StartupFolderTest, BothFoldersListDisabledRowsFirstThenFiles) {
  Link(allUsers_, "A.lnk", "C:\\a.exe");
  Link(user_, "U.lnk", "C:\\u.exe");
  Record(user_, "UD.lnk", "C:\\ud.exe");
  Record(allUsers_, "AD.lnk", "C:\\ad.exe");
  Record(root_ / "Moved Folder", "M.lnk", "C:\\m.exe");  // names no folder of the list
  Record(user_ + "\\", "UD2.lnk", "C:\\ud2.exe");        // stored with a trailing backslash
  CharUpperA(allUsers_.data());                          // case differs from the records
  StartupFolderKind view = View({allUsers_, user_});
  view.Refresh(rows_);

  std::vector<std::string> names;
  for (const Row& row : rows_.rows) names.push_back(row.name + (row.enabled ? "+" : "-"));
  EXPECT_EQ(names,
            (std::vector<std::string>{"AD.lnk-", "A.lnk+", "UD.lnk-", "UD2.lnk-", "U.lnk+"}));
  EXPECT_EQ(rows_.rows[0].location, allUsers_);  // the location-list text for a record
  EXPECT_EQ(rows_.rows[0].data, "C:\\ad.exe");
  EXPECT_EQ(rows_.appendsOutsideFilling, 0);
}

TEST_F(StartupFolderTest, EmptyFolderTextListsNothingAndRefusesAdd) {
  // Something in the current folder that a scan of "" would find.
  char current[MAX_PATH * 3] = {};
  GetCurrentDirectoryA(sizeof(current), current);
  Record("", "Ghost.lnk", "C:\\ghost.exe");
  StartupFolderKind view = View({""});
  view.Refresh(rows_);
  EXPECT_EQ(rows_.Count(), 0);

  prompter_.addAnswer = EntryInput{"Notes", "C:\\notes.exe"};
  view.Add(rows_, prompter_);
  ASSERT_EQ(prompter_.refusals.size(), 1u);
  EXPECT_EQ(prompter_.refusals[0].key, "_StartupFolderUnknown");
  EXPECT_EQ(prompter_.refusals[0].arg, "Notes");
  EXPECT_FALSE(files_.Exists(std::string(current) + "\\Notes.lnk"));
  EXPECT_FALSE(files_.Exists("\\Notes.lnk"));
  EXPECT_TRUE(journal_.records.empty());
}

TEST_F(StartupFolderTest, KindColumnsAndTypeText) {
  StartupFolderKind view = View();
  EXPECT_EQ(view.Kind(), KindId::kStartupFolder);
  EXPECT_EQ(view.TypeText(), kType);
  EXPECT_EQ(view.ColumnWidths(), (std::array<int, 5>{200, 80, 350, 350, 240}));
}

// ---- Add

TEST_F(StartupFolderTest, AddAppendsLnkOnlyWhenMissing) {
  struct Case {
    const char* typed;
    const char* written;
  };
  const Case cases[] = {{"Notes", "Notes.lnk"},
                        {"Memo.LNK", "Memo.LNK"},
                        {"Report.lnk.txt", "Report.lnk.txt.lnk"},
                        {"Заметки 日本 \xF0\x9F\x98\x80", "Заметки 日本 \xF0\x9F\x98\x80.lnk"}};
  // The view over both folders writes into the first.
  StartupFolderKind view = View({allUsers_, user_});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    journal_.records.clear();
    prompter_.addAnswer = EntryInput{c.typed, "C:\\Программы\\notes.exe"};
    view.Add(rows_, prompter_);
    const std::vector<std::string> names = FilesIn(allUsers_);
    EXPECT_NE(std::find(names.begin(), names.end(), c.written), names.end());
    EXPECT_EQ(Target(allUsers_ + "\\" + c.written), "C:\\Программы\\notes.exe");
    ASSERT_EQ(journal_.records.size(), 1u);
    EXPECT_EQ(journal_.records[0].kind, JournalKind::kAdd);
    EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType2Content1");
    EXPECT_EQ(journal_.records[0].args, std::vector<std::string>{allUsers_ + "\\" + c.written});
    EXPECT_NE(RowOf(c.written, true), -1);  // refreshed
  }
  EXPECT_TRUE(FilesIn(user_).empty());
  EXPECT_EQ(prompter_.lastAddLocation, allUsers_);
  EXPECT_EQ(prompter_.lastAddType, kType);
  EXPECT_TRUE(prompter_.refusals.empty());
}

TEST_F(StartupFolderTest, AddAsksBeforeReplacingAnExistingFile) {
  Fixture(allUsers_, "Notes.lnk", "sample11.lnk");
  StartupFolderKind view = View();
  prompter_.addAnswer = EntryInput{"notes", "C:\\new.exe"};
  prompter_.replaceAnswer = false;
  view.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.replaceQuestions, std::vector<std::string>{"notes.lnk"});
  EXPECT_EQ(prompter_.replaceKeys, std::vector<std::string>{"_ConfirmReplaceFile"});
  EXPECT_EQ(ReadBytes(allUsers_ + "\\Notes.lnk"), FixtureLink("sample11.lnk"));
  EXPECT_TRUE(journal_.records.empty());

  prompter_.replaceAnswer = true;
  view.Add(rows_, prompter_);
  EXPECT_EQ(FilesIn(allUsers_).size(), 1u);
  EXPECT_EQ(Target(allUsers_ + "\\Notes.lnk"), "C:\\new.exe");
  EXPECT_TRUE(KeptIn(allUsers_).empty());  // no temporary file stays behind
  EXPECT_EQ(journal_.records.size(), 1u);
}

TEST_F(StartupFolderTest, AddRefusesNamesThatLeaveTheFolder) {
  StartupFolderKind view = View();
  for (const char* name : {"..\\Escape", "sub/Escape", "C:Escape", "a|b"}) {
    prompter_.addAnswer = EntryInput{name, "C:\\x.exe"};
    view.Add(rows_, prompter_);
  }
  ASSERT_EQ(prompter_.refusals.size(), 4u);
  EXPECT_EQ(prompter_.refusals[0].key, "_AddNotWritten");
  EXPECT_TRUE(FilesIn(allUsers_).empty());
  EXPECT_TRUE(FilesIn(root_.Path()) == std::vector<std::string>{"config.xml"});
  EXPECT_TRUE(journal_.records.empty());
}

TEST_F(StartupFolderTest, CancelledAddWritesNothing) {
  StartupFolderKind view = View();
  view.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.addCalls, 1);
  EXPECT_TRUE(FilesIn(allUsers_).empty());
  EXPECT_TRUE(journal_.records.empty());
  StartupFolderKind none = View({});
  none.Add(rows_, prompter_);
  EXPECT_EQ(prompter_.addCalls, 1);  // no folder: no dialog
}

// ---- Modify

TEST_F(StartupFolderTest, ModifyRenameKeepsTheFileAndAddsNoExtension) {
  Fixture(allUsers_, "App.lnk", "sample11.lnk");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = RowOf("App.lnk", true);
  const std::string target = rows_.rows[rows_.selected].data;
  prompter_.modifyAnswer = EntryInput{"App2", target};
  view.Modify(rows_, prompter_);

  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"App2"});
  EXPECT_EQ(ReadBytes(allUsers_ + "\\App2"), FixtureLink("sample11.lnk"));
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kModify);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType3Content1");
  EXPECT_EQ(journal_.records[0].args,
            (std::vector<std::string>{allUsers_ + "\\App.lnk", allUsers_ + "\\App2", target}));
  EXPECT_EQ(prompter_.lastFields.name, "App.lnk");
  EXPECT_EQ(prompter_.lastFields.location, allUsers_);
  EXPECT_NE(RowOf("App2", true), -1);
}

TEST_F(StartupFolderTest, ModifyTargetKeepsArgumentsOfAWindowsShortcut) {
  Fixture(allUsers_, "Tool.lnk", "sample13.lnk");
  const std::string settings = LinkSettings(allUsers_ + "\\Tool.lnk");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = 0;
  // The typed command holds the arguments the row showed.
  prompter_.modifyAnswer = EntryInput{
      "Tool2.lnk", "C:\\Windows\\System32\\notepad.exe " + Arguments(allUsers_ + "\\Tool.lnk")};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"Tool2.lnk"});
  EXPECT_EQ(Target(allUsers_ + "\\Tool2.lnk"), "C:\\Windows\\System32\\notepad.exe");
  EXPECT_EQ(LinkSettings(allUsers_ + "\\Tool2.lnk"), settings);
  EXPECT_TRUE(KeptIn(allUsers_).empty());
}

// Names compare ignoring case: the new file must not be deleted as "the old one".
TEST_F(StartupFolderTest, ModifyOfTheLetterCaseOnlyKeepsTheFile) {
  Link(allUsers_, "app.lnk", "C:\\old.exe");
  StartupFolderKind view = View();
  for (const char* target : {"C:\\old.exe", "C:\\new.exe"}) {
    SCOPED_TRACE(target);
    view.Refresh(rows_);
    rows_.selected = 0;
    prompter_.modifyAnswer =
        EntryInput{rows_.rows[0].name == "app.lnk" ? "App.lnk" : "app.lnk", target};
    view.Modify(rows_, prompter_);
    ASSERT_EQ(FilesIn(allUsers_).size(), 1u);
    EXPECT_EQ(Target(allUsers_ + "\\" + FilesIn(allUsers_)[0]), target);
  }
  EXPECT_TRUE(prompter_.replaceQuestions.empty());
}

TEST_F(StartupFolderTest, ModifyAsksBeforeReplacingAnotherFile) {
  Link(allUsers_, "A.lnk", "C:\\a.exe");
  Link(allUsers_, "B.lnk", "C:\\b.exe");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = RowOf("A.lnk", true);
  prompter_.modifyAnswer = EntryInput{"B.lnk", "C:\\a2.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(prompter_.replaceQuestions, std::vector<std::string>{"B.lnk"});
  EXPECT_EQ(Target(allUsers_ + "\\A.lnk"), "C:\\a.exe");
  EXPECT_EQ(Target(allUsers_ + "\\B.lnk"), "C:\\b.exe");
  EXPECT_TRUE(journal_.records.empty());

  prompter_.replaceAnswer = true;
  view.Modify(rows_, prompter_);
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"B.lnk"});
  EXPECT_EQ(Target(allUsers_ + "\\B.lnk"), "C:\\a2.exe");
  EXPECT_EQ(journal_.records.size(), 1u);
}

TEST_F(StartupFolderTest, ModifyOfADisabledRowUpdatesTheRecordAndItsKeptFile) {
  Fixture(allUsers_, "App.lnk", "sample8.lnk");
  const std::string settings = LinkSettings(allUsers_ + "\\App.lnk");
  const std::string arguments = Arguments(allUsers_ + "\\App.lnk");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  Uncheck(view, 0);
  view.Refresh(rows_);
  rows_.selected = RowOf("App.lnk", false);
  ASSERT_GE(rows_.selected, 0);
  const std::string command = "C:\\Windows\\System32\\notepad.exe " + arguments;
  prompter_.modifyAnswer = EntryInput{"Renamed.lnk", command};
  view.Modify(rows_, prompter_);

  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].valueName, "Renamed.lnk");
  EXPECT_EQ(Records()[0].valueData, command);
  EXPECT_EQ(KeptIn(allUsers_), std::vector<std::string>{"Renamed.lnk"});
  EXPECT_EQ(
      journal_.records.back().args,
      (std::vector<std::string>{allUsers_ + "\\App.lnk", allUsers_ + "\\Renamed.lnk", command}));
  // Enable brings back the kept file, arguments and all, under the new name and target.
  Check(view, RowOf("Renamed.lnk", false));
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"Renamed.lnk"});
  EXPECT_EQ(Target(allUsers_ + "\\Renamed.lnk"), "C:\\Windows\\System32\\notepad.exe");
  EXPECT_EQ(LinkSettings(allUsers_ + "\\Renamed.lnk"), settings);
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(KeptIn(allUsers_).empty());
}

// ---- Disable and Enable

TEST_F(StartupFolderTest, DisableAndEnableKeepTheBytesOfWindowsShortcutsAndPrograms) {
  const char* fixtures[] = {"sample11.lnk", "sample13.lnk", "sample6.lnk", "sample3.lnk"};
  for (const char* fixture : fixtures) Fixture(allUsers_, fixture, fixture);
  ASSERT_TRUE(WriteBytes(allUsers_ + "\\tool.exe", "MZ program bytes"));
  StartupFolderKind view = View();
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 5);
  std::vector<Row> before = rows_.rows;

  for (int i = 0; i < rows_.Count(); ++i) Uncheck(view, i);
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_TRUE(FilesIn(allUsers_).empty());
  EXPECT_EQ(KeptIn(allUsers_).size(), 5u);
  const DWORD attributes = GetFileAttributesA(KeptFolderOf(allUsers_).c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  const std::vector<StoredRecord> records = Records();
  ASSERT_EQ(records.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(records[i].location, before[i].location);
    EXPECT_EQ(records[i].valueName, before[i].name);
    EXPECT_EQ(records[i].valueData, before[i].data);
    EXPECT_FALSE(rows_.rows[i].enabled);  // rows stay where they were, unchecked
    EXPECT_EQ(journal_.records[i].kind, JournalKind::kDisable);
    EXPECT_EQ(journal_.records[i].contentKey, "_LogItemType5Content1");
    EXPECT_EQ(journal_.records[i].args,
              std::vector<std::string>{allUsers_ + "\\" + before[i].name});
  }
  // Disabled rows come back from the store in the order they were disabled.
  view.Refresh(rows_);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rows_.rows[i].name, before[i].name);
    EXPECT_FALSE(rows_.rows[i].enabled);
  }

  journal_.records.clear();
  for (int i = 0; i < rows_.Count(); ++i) Check(view, i);
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(KeptIn(allUsers_).empty());
  for (const char* fixture : fixtures) {
    EXPECT_EQ(ReadBytes(allUsers_ + "\\" + fixture), FixtureLink(fixture)) << fixture;
  }
  EXPECT_EQ(ReadBytes(allUsers_ + "\\tool.exe"), "MZ program bytes");
  ASSERT_EQ(journal_.records.size(), 5u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kEnable);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType4Content1");
}

// A startup folder of 300 characters, and one of 240 whose kept files alone are past MAX_PATH.
TEST_F(StartupFolderTest, FilesPastMaxPathListDisableAndEnableWithTheirBytes) {
  for (const std::size_t length : {240u, 300u}) {
    SCOPED_TRACE(length);
    const std::string folder = NestedFolder(root_ / ("deep" + std::to_string(length)), length);
    Fixture(folder, "App.lnk", "sample11.lnk");
    ASSERT_TRUE(WriteBytes(folder + "\\tool.exe", "MZ program bytes"));
    StartupFolderKind view = View({folder});
    view.Refresh(rows_);
    ASSERT_EQ(rows_.Count(), 2);
    const int app = RowOf("App.lnk", true);
    ASSERT_GE(app, 0);
    EXPECT_FALSE(rows_.rows[app].data.empty());  // read as a shortcut through the long path
    EXPECT_EQ(rows_.rows[RowOf("tool.exe", true)].data, folder + "\\tool.exe");

    Uncheck(view, 0);
    Uncheck(view, 1);
    EXPECT_TRUE(prompter_.refusals.empty());
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_EQ(KeptIn(folder), (std::vector<std::string>{"App.lnk", "tool.exe"}));
    ASSERT_GT(KeptFolderOf(folder).size() + 1 + 7, static_cast<std::size_t>(MAX_PATH));

    view.Refresh(rows_);
    ASSERT_EQ(rows_.Count(), 2);
    Check(view, 0);
    Check(view, 1);
    EXPECT_TRUE(prompter_.refusals.empty());
    EXPECT_TRUE(KeptIn(folder).empty());  // Enable found both kept files
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(ReadBytes(folder + "\\App.lnk"), FixtureLink("sample11.lnk"));
    EXPECT_EQ(ReadBytes(folder + "\\tool.exe"), "MZ program bytes");
  }
}

TEST_F(StartupFolderTest, FilesPastMaxPathAreModifiedAndRemoved) {
  const std::string folder = NestedFolder(root_ / "deep", 300);
  Fixture(folder, "App.lnk", "sample13.lnk");
  Link(folder, "Other.lnk", "C:\\other.exe");
  const std::string settings = LinkSettings(folder + "\\App.lnk");
  StartupFolderKind view = View({folder});
  view.Refresh(rows_);

  // A live shortcut gets a new name and target and keeps its arguments.
  rows_.selected = RowOf("App.lnk", true);
  prompter_.modifyAnswer = EntryInput{
      "App2.lnk", "C:\\Windows\\System32\\notepad.exe " + Arguments(folder + "\\App.lnk")};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"App2.lnk", "Other.lnk"}));
  EXPECT_EQ(Target(folder + "\\App2.lnk"), "C:\\Windows\\System32\\notepad.exe");
  EXPECT_EQ(LinkSettings(folder + "\\App2.lnk"), settings);

  // A disabled one: its kept file follows the record.
  Uncheck(view, RowOf("App2.lnk", true));
  view.Refresh(rows_);
  rows_.selected = RowOf("App2.lnk", false);
  prompter_.modifyAnswer = EntryInput{"App3.lnk", "C:\\Windows\\System32\\calc.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(KeptIn(folder), std::vector<std::string>{"App3.lnk"});
  EXPECT_EQ(Target(KeptFolderOf(folder) + "\\App3.lnk"), "C:\\Windows\\System32\\calc.exe");

  // Remove of the disabled and of the live row.
  rows_.selected = RowOf("App3.lnk", false);
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(KeptIn(folder).empty());
  EXPECT_TRUE(Records().empty());
  rows_.selected = RowOf("Other.lnk", true);
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(FilesIn(folder).empty());
  EXPECT_EQ(rows_.Count(), 0);
  EXPECT_TRUE(prompter_.refusals.empty());
  EXPECT_EQ(journal_.records.size(), 5u);
}

TEST_F(StartupFolderTest, TwoKeptFilesOfOneNameNeverOverwriteEachOther) {
  Fixture(allUsers_, "App.lnk", "sample11.lnk");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  Uncheck(view, 0);
  Fixture(allUsers_, "App.lnk", "sample13.lnk");  // a new file of the same name
  view.Refresh(rows_);
  Uncheck(view, RowOf("App.lnk", true));
  EXPECT_EQ(KeptIn(allUsers_), (std::vector<std::string>{"App (2).lnk", "App.lnk"}));
  ASSERT_EQ(Records().size(), 2u);

  // Enable of the second record finds the numbered copy by its target.
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 2);
  Check(view, 1);
  EXPECT_EQ(ReadBytes(allUsers_ + "\\App.lnk"), FixtureLink("sample13.lnk"));
  EXPECT_EQ(KeptIn(allUsers_), std::vector<std::string>{"App.lnk"});

  // The first now meets a live file of its name: nothing is replaced without a Yes.
  Check(view, 0);
  EXPECT_EQ(prompter_.replaceQuestions, std::vector<std::string>{"App.lnk"});
  EXPECT_FALSE(rows_.rows[0].enabled);
  EXPECT_EQ(ReadBytes(allUsers_ + "\\App.lnk"), FixtureLink("sample13.lnk"));
  EXPECT_EQ(Records().size(), 1u);
  EXPECT_EQ(journal_.records.back().kind, JournalKind::kEnable);  // only the one that happened
  EXPECT_EQ(journal_.records.size(), 3u);
}

TEST_F(StartupFolderTest, EnableWithoutKeptFileWritesAShortcutFromTheRecord) {
  Record(allUsers_, "Other.lnk", "C:\\Other\\other.exe");  // written by another copy
  StartupFolderKind view = View();
  view.Refresh(rows_);
  Check(view, 0);
  EXPECT_TRUE(rows_.rows[0].enabled);
  EXPECT_EQ(Target(allUsers_ + "\\Other.lnk"), "C:\\Other\\other.exe");
  EXPECT_TRUE(Records().empty());
}

TEST_F(StartupFolderTest, IdenticalRecordsActOnTheFirstAndKeepTheSecond) {
  Record(allUsers_, "Twin.lnk", "C:\\twin.exe");
  Record(allUsers_, "Twin.lnk", "C:\\twin.exe");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 2);
  EXPECT_EQ(rows_.rows[0].name, rows_.rows[1].name);

  rows_.selected = 1;
  prompter_.modifyAnswer = EntryInput{"Twin2.lnk", "C:\\twin2.exe"};
  view.Modify(rows_, prompter_);
  ASSERT_EQ(Records().size(), 2u);
  EXPECT_EQ(Records()[0].valueName, "Twin2.lnk");
  EXPECT_EQ(Records()[1].valueName, "Twin.lnk");

  rows_.selected = RowOf("Twin.lnk", false);
  view.Remove(rows_, prompter_);
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].valueName, "Twin2.lnk");
}

// ---- Shortcut parts, plain files and the kept-files folder

TEST_F(StartupFolderTest, ShortcutsKeepTargetArgumentsFolderAndIconOnAddModifyAndEnable) {
  StartupFolderKind view = View();
  const std::string typed = "\"C:\\Program Files\\Contoso\\sync.exe\" --profile \"Work Account\"";
  prompter_.addAnswer = EntryInput{"Sync", typed};
  view.Add(rows_, prompter_);
  EXPECT_EQ(Target(allUsers_ + "\\Sync.lnk"), "C:\\Program Files\\Contoso\\sync.exe");
  EXPECT_EQ(Arguments(allUsers_ + "\\Sync.lnk"), "--profile \"Work Account\"");
  // The row shows what Modify will write back.
  ASSERT_GE(RowOf("Sync.lnk", true), 0);
  EXPECT_EQ(rows_.rows[RowOf("Sync.lnk", true)].data, typed);

  // Modify of a Windows shortcut: new target and arguments, its folder and icon stay.
  Fixture(allUsers_, "Tool.lnk", "sample13.lnk");
  const std::string settings = LinkSettings(allUsers_ + "\\Tool.lnk");
  view.Refresh(rows_);
  rows_.selected = RowOf("Tool.lnk", true);
  prompter_.modifyAnswer = EntryInput{"Tool.lnk", "C:\\Windows\\System32\\notepad.exe /a \"b c\""};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(Target(allUsers_ + "\\Tool.lnk"), "C:\\Windows\\System32\\notepad.exe");
  EXPECT_EQ(LinkSettings(allUsers_ + "\\Tool.lnk"),
            "/a \"b c\"" + settings.substr(settings.find('|')));
  EXPECT_EQ(rows_.rows[RowOf("Tool.lnk", true)].data,
            "C:\\Windows\\System32\\notepad.exe /a \"b c\"");

  // A record without its kept file is split by the same rule.
  Record(allUsers_, "Other.lnk", typed);
  view.Refresh(rows_);
  Check(view, RowOf("Other.lnk", false));
  EXPECT_EQ(Target(allUsers_ + "\\Other.lnk"), "C:\\Program Files\\Contoso\\sync.exe");
  EXPECT_EQ(Arguments(allUsers_ + "\\Other.lnk"), "--profile \"Work Account\"");
  EXPECT_TRUE(prompter_.refusals.empty());
}

TEST_F(StartupFolderTest, APlainFileIsOnlyEverRenamedAndKeepsItsContent) {
  const std::string content = "@echo off\r\nstart notepad\r\n";
  ASSERT_TRUE(WriteBytes(allUsers_ + "\\tool.bat", content));
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = RowOf("tool.bat", true);
  ASSERT_EQ(rows_.rows[rows_.selected].data, allUsers_ + "\\tool.bat");

  // A changed command is refused, nothing touched.
  prompter_.modifyAnswer = EntryInput{"tool.bat", "C:\\Windows\\System32\\notepad.exe"};
  view.Modify(rows_, prompter_);
  ASSERT_EQ(prompter_.refusals.size(), 1u);
  EXPECT_EQ(prompter_.refusals[0].key, "_ModifyPlainFileCommand");
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"tool.bat"});
  EXPECT_EQ(ReadBytes(allUsers_ + "\\tool.bat"), content);
  EXPECT_TRUE(journal_.records.empty());

  // A new name with the path shown: a rename, the path follows.
  prompter_.modifyAnswer = EntryInput{"run.bat", allUsers_ + "\\tool.bat"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"run.bat"});
  EXPECT_EQ(ReadBytes(allUsers_ + "\\run.bat"), content);
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].args.back(), allUsers_ + "\\run.bat");

  // Disabled, renamed and enabled again: the same bytes under the new name.
  Uncheck(view, RowOf("run.bat", true));
  EXPECT_EQ(Records()[0].valueData, allUsers_ + "\\run.bat");
  view.Refresh(rows_);
  rows_.selected = RowOf("run.bat", false);
  prompter_.modifyAnswer = EntryInput{"run.bat", "C:\\other.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(prompter_.refusals.back().key, "_ModifyPlainFileCommand");
  EXPECT_EQ(Records()[0].valueData, allUsers_ + "\\run.bat");
  prompter_.modifyAnswer = EntryInput{"go.bat", allUsers_ + "\\run.bat"};
  view.Modify(rows_, prompter_);
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0].valueName, "go.bat");
  EXPECT_EQ(Records()[0].valueData, allUsers_ + "\\go.bat");
  Check(view, RowOf("go.bat", false));
  EXPECT_EQ(FilesIn(allUsers_), std::vector<std::string>{"go.bat"});
  EXPECT_EQ(ReadBytes(allUsers_ + "\\go.bat"), content);
  EXPECT_EQ(prompter_.refusals.size(), 2u);

  // A plain file's record whose kept file is gone is not turned into a shortcut to itself.
  Record(allUsers_, "lost.bat", allUsers_ + "\\lost.bat");
  view.Refresh(rows_);
  Check(view, RowOf("lost.bat", false));
  EXPECT_EQ(prompter_.refusals.back().key, "_EnablePlainFileMissing");
  EXPECT_FALSE(files_.Exists(allUsers_ + "\\lost.bat"));
  EXPECT_EQ(Records().size(), 1u);
}

TEST_F(StartupFolderTest, TheKeptFolderGoesWithItsLastKeptFileOnly) {
  const std::string kept = KeptFolderOf(allUsers_);
  Link(allUsers_, "A.lnk", "C:\\a.exe");
  Link(allUsers_, "B.lnk", "C:\\b.exe");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  Uncheck(view, RowOf("A.lnk", true));
  Uncheck(view, RowOf("B.lnk", true));
  view.Refresh(rows_);
  Check(view, RowOf("A.lnk", false));
  EXPECT_TRUE(files_.Exists(kept));  // B's file is still in it
  Check(view, RowOf("B.lnk", false));
  EXPECT_FALSE(files_.Exists(kept));

  // Remove of the last disabled entry takes the folder along.
  view.Refresh(rows_);
  Uncheck(view, RowOf("A.lnk", true));
  view.Refresh(rows_);
  rows_.selected = RowOf("A.lnk", false);
  view.Remove(rows_, prompter_);
  EXPECT_FALSE(files_.Exists(kept));

  // A file someone else put there keeps the folder.
  view.Refresh(rows_);
  Uncheck(view, RowOf("B.lnk", true));
  ASSERT_TRUE(WriteBytes(kept + "\\foreign.txt", "not ours"));
  view.Refresh(rows_);
  Check(view, RowOf("B.lnk", false));
  EXPECT_EQ(KeptIn(allUsers_), std::vector<std::string>{"foreign.txt"});
  EXPECT_TRUE(prompter_.refusals.empty());

  // Modify's temporary file leaves no folder behind.
  ASSERT_TRUE(DeleteFileA((kept + "\\foreign.txt").c_str()));
  ASSERT_TRUE(RemoveDirectoryA(kept.c_str()));
  view.Refresh(rows_);
  rows_.selected = RowOf("B.lnk", true);
  prompter_.modifyAnswer = EntryInput{"B.lnk", "C:\\b2.exe"};
  view.Modify(rows_, prompter_);
  EXPECT_EQ(Target(allUsers_ + "\\B.lnk"), "C:\\b2.exe");
  EXPECT_FALSE(files_.Exists(kept));
}

// ---- Remove and Property

TEST_F(StartupFolderTest, RemoveOfAnEnabledRowDeletesItsFile) {
  Link(allUsers_, "A.lnk", "C:\\a.exe");
  Record(allUsers_, "A.lnk", "C:\\a.exe");  // a disabled twin must stay
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = RowOf("A.lnk", true);
  view.Remove(rows_, prompter_);
  EXPECT_EQ(prompter_.lastRemoveName, "A.lnk");
  EXPECT_EQ(prompter_.lastRemoveData, "C:\\a.exe");
  EXPECT_TRUE(FilesIn(allUsers_).empty());
  EXPECT_EQ(Records().size(), 1u);
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kRemove);
  EXPECT_EQ(journal_.records[0].contentKey, "_LogItemType1Content1");
  EXPECT_EQ(journal_.records[0].args, std::vector<std::string>{allUsers_ + "\\A.lnk"});
}

TEST_F(StartupFolderTest, RemoveOfADisabledRowRemovesItsRecordAndKeptFileOnly) {
  Fixture(allUsers_, "App.lnk", "sample11.lnk");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  Uncheck(view, 0);
  Link(allUsers_, "App.lnk", "C:\\live.exe");  // a live file of the same name stays
  view.Refresh(rows_);
  rows_.selected = RowOf("App.lnk", false);
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(KeptIn(allUsers_).empty());
  EXPECT_EQ(Target(allUsers_ + "\\App.lnk"), "C:\\live.exe");
  EXPECT_EQ(journal_.records.back().args, std::vector<std::string>{allUsers_ + "\\App.lnk"});
}

TEST_F(StartupFolderTest, RemoveReselectsTheRowAtItsIndexOrTheLast) {
  Record(allUsers_, "1.lnk", "C:\\1.exe");
  Record(allUsers_, "2.lnk", "C:\\2.exe");
  Record(allUsers_, "3.lnk", "C:\\3.exe");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  rows_.selected = 1;
  view.Remove(rows_, prompter_);
  EXPECT_EQ(rows_.Count(), 2);
  EXPECT_EQ(rows_.selected, 1);
  EXPECT_EQ(rows_.rows[1].name, "3.lnk");
  view.Remove(rows_, prompter_);  // the last row: the new last is selected
  EXPECT_EQ(rows_.selected, 0);
  view.Remove(rows_, prompter_);  // the only row: nothing left, nothing selected
  EXPECT_EQ(rows_.Count(), 0);
  EXPECT_EQ(rows_.selected, -1);
  EXPECT_EQ(journal_.records.size(), 3u);
}

TEST_F(StartupFolderTest, RowCommandsNeedASelectionAndAConfirmation) {
  Link(allUsers_, "A.lnk", "C:\\a.exe");
  StartupFolderKind view = View();
  view.Refresh(rows_);
  view.Modify(rows_, prompter_);
  view.Remove(rows_, prompter_);
  view.Property(rows_, prompter_);
  EXPECT_EQ(prompter_.noSelectionMessages, 3);
  EXPECT_EQ(prompter_.modifyCalls + prompter_.propertyCalls + prompter_.removeQuestions, 0);

  rows_.selected = 0;
  prompter_.removeAnswer = false;
  view.Remove(rows_, prompter_);
  EXPECT_TRUE(files_.Exists(allUsers_ + "\\A.lnk"));
  view.Modify(rows_, prompter_);  // cancelled
  EXPECT_TRUE(files_.Exists(allUsers_ + "\\A.lnk"));
  EXPECT_TRUE(journal_.records.empty());

  view.Property(rows_, prompter_);
  EXPECT_EQ(prompter_.propertyCalls, 1);
  EXPECT_EQ(prompter_.lastFields.type, kType);
  EXPECT_EQ(prompter_.lastFields.location, allUsers_);
  EXPECT_EQ(prompter_.lastFields.name, "A.lnk");
  EXPECT_EQ(prompter_.lastFields.data, "C:\\a.exe");
}

TEST_F(StartupFolderTest, NonAsciiNamesAndTargetsRoundTrip) {
  const std::string name = "Заметки 日本語 \xF0\x9F\x98\x80.lnk";
  const std::string target = "C:\\Программы\\日本語\\\xF0\x9F\x98\x80 tool.exe";
  Link(allUsers_, name, target);
  StartupFolderKind view = View();
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.rows[0].name, name);
  EXPECT_EQ(rows_.rows[0].data, "\"" + target + "\"");  // quoted: it holds a blank
  Uncheck(view, 0);
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.rows[0].name, name);
  EXPECT_EQ(rows_.rows[0].data, "\"" + target + "\"");
  EXPECT_FALSE(rows_.rows[0].enabled);
  Check(view, 0);
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_TRUE(rows_.rows[0].enabled);
  EXPECT_EQ(Target(allUsers_ + "\\" + name), target);
  EXPECT_TRUE(prompter_.refusals.empty());
}

}  // namespace

namespace {

// The real folder, except that the file system reports one name as not carried exactly by the
// 8-bit text (as for a name with a lone surrogate, which Wine's file system cannot hold).
class InexactNameFiles final : public FileSystem {
 public:
  InexactNameFiles(FileSystem& real, std::string inexact) : real_(real), inexact_(inexact) {}
  std::optional<std::vector<DirEntry>> List(const std::string& folder) override {
    auto entries = real_.List(folder);
    if (entries) {
      for (DirEntry& entry : *entries) entry.exact = entry.name != inexact_;
    }
    return entries;
  }
  std::optional<std::vector<DirEntry>> ListMatching(const std::string& folder,
                                                    const std::string& pattern) override {
    return real_.ListMatching(folder, pattern);
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  Status DeleteFile(const std::string& /*path*/) override { return Changed(); }
  Status MoveFile(const std::string& /*from*/, const std::string& /*to*/) override {
    return Changed();
  }
  Status ReplaceFile(const std::string& /*from*/, const std::string& /*to*/) override {
    return Changed();
  }
  Status CreateHiddenFolder(const std::string& /*path*/) override { return Changed(); }
  Status RemoveEmptyFolder(const std::string& /*path*/) override { return Changed(); }
  std::string ShortPath(const std::string& path) override { return real_.ShortPath(path); }
  int changes = 0;

 private:
  Status Changed() {
    ++changes;
    return Status(ERROR_ACCESS_DENIED);
  }
  FileSystem& real_;
  std::string inexact_;
};

// A file whose name cannot be given back to the system is listed as such, and every change
// through its row is refused before anything is touched, so it is never taken for gone.
TEST_F(StartupFolderTest, AFileWhoseNameCannotBeCarriedIsListedButNeverChanged) {
  ASSERT_TRUE(WriteBytes(allUsers_ + "\\odd.bat", "@echo off\r\n"));
  InexactNameFiles files(files_, "odd.bat");
  KindServices services{registry_, files, links_, store_, journal_, language_};
  StartupFolderKind view(services, {allUsers_});
  view.Refresh(rows_);
  ASSERT_EQ(rows_.Count(), 1);
  EXPECT_EQ(rows_.rows[0].type, "_StartupFolderTypeInexact");
  EXPECT_FALSE(rows_.rows[0].exact);
  rows_.selected = 0;
  view.Remove(rows_, prompter_);
  prompter_.modifyAnswer = EntryInput{"other.bat", ""};
  view.Modify(rows_, prompter_);
  rows_.Toggle(0);
  view.Disable(rows_, prompter_, 0);
  EXPECT_TRUE(rows_.rows[0].enabled);  // the check mark went back
  ASSERT_EQ(prompter_.refusals.size(), 3u);
  for (const auto& refusal : prompter_.refusals) EXPECT_EQ(refusal.key, "_EntryNotAddressable");
  EXPECT_EQ(files.changes, 0);
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(journal_.records.empty());
}

}  // namespace
