// The edit dialogs, the file information dialog and the About dialog, driven through their real
// windows: queued answers handle each modal window while the typed call runs.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/module_paths.h"
#include "gui/dialog_answerer.h"
#include "gui/shell_recorder.h"
#include "gui/user_input.h"
#include "gui/window_reading.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/about_dialog.h"
#include "ui/centre_window.h"
#include "ui/edit_dialogs.h"
#include "ui/file_info.h"
#include "ui/file_info_dialog.h"
#include "ui/version_info.h"
#include "ui/web_links.h"

namespace {

std::string ExeFolder() {
  const std::string path = ModulePath();
  return path.substr(0, path.find_last_of('\\'));
}
std::string SamplePath() {
  return ExeFolder() + "\\" + QV_VERSION_SAMPLE;
}

// A language file in the temporary folder, removed at the end.
class LanguageFile {
 public:
  explicit LanguageFile(const std::string& lines) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "qv_dialogs_" + std::to_string(GetCurrentProcessId()) +
            std::to_string(counter_++) + ".language";
    std::ofstream(path_, std::ios::binary) << "[String]\r\n" << lines;
  }
  ~LanguageFile() { DeleteFileA(path_.c_str()); }
  LanguageTable Table() const { return LanguageTable(path_); }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const auto& t : texts) {
    if (t == text) return true;
  }
  return false;
}

const LanguageFile& MessagesFile() {
  static const LanguageFile file(
      "_ToolQuorvane=Quorvane\r\n"
      "_ApplicationNameInvalid=Please type a display name.\r\n"
      "_ApplicationPathInvalid=Please type an application path.\r\n"
      "_AddNewProgram=Add a program\r\n"
      "_ModifyProgram=Modify the program\r\n"
      "_Property=Properties\r\n"
      "_Section=Section:\r\n"
      "_RegString=Registry value\r\n");
  return file;
}

// --- Add and Modify: the OK checks ------------------------------------------------------------

TEST(EditDialogs, AddChecksTheNameFirstThenThePathThenCloses) {
  const LanguageTable language = MessagesFile().Table();
  std::vector<std::pair<std::string, std::string>> messages;  // caption, text
  auto answerMessage = [&](HWND box) {
    messages.emplace_back(gui::WindowText(box), gui::DialogMessageText(box));
    gui::PostClick(box, IDOK);
  };
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [](HWND d) { gui::PostClick(d, IDOK); });  // both empty
  answers.AnswerWhen(gui::IsMessageBox, answerMessage);
  answers.AnswerCaption("Add a program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_NAME, "Updater");
    gui::PostClick(d, IDOK);
  });
  answers.AnswerWhen(gui::IsMessageBox, answerMessage);
  answers.AnswerCaption("Add a program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_PATH, "C:\\Tools\\updater.exe /quiet");
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowAddDialog(nullptr, language, "Registry value", "HKEY_CURRENT_USER\\Run");
  EXPECT_TRUE(answers.Finished());
  EXPECT_FALSE(answers.GaveUp());
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->name, "Updater");
  EXPECT_EQ(result->data, "C:\\Tools\\updater.exe /quiet");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Quorvane", "Please type a display name."},
      {"Quorvane", "Please type an application path."}};
  EXPECT_EQ(messages, expected);
}

TEST(EditDialogs, BlankTextsPassTheChecksUntrimmed) {
  const LanguageTable language = MessagesFile().Table();
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_NAME, " ");
    SetDlgItemTextA(d, IDC_EDIT_PATH, "  ");
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(answers.Finished());
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->name, " ");
  EXPECT_EQ(result->data, "  ");
}

TEST(EditDialogs, CancelReturnsNothingWhateverWasTyped) {
  const LanguageTable language = MessagesFile().Table();
  for (const bool byEscape : {false, true}) {
    gui::DialogAnswerer answers;
    answers.AnswerCaption("Modify the program", [byEscape](HWND d) {
      SetDlgItemTextA(d, IDC_EDIT_NAME, "changed");
      if (byEscape) {
        gui::PressKey(d, VK_ESCAPE);
      } else {
        gui::PostClick(d, IDCANCEL);
      }
    });
    const auto result = ShowModifyDialog(nullptr, language, {"t", "s", "name", "path"});
    EXPECT_TRUE(answers.Finished()) << byEscape;
    EXPECT_FALSE(result.has_value()) << byEscape;
  }
}

TEST(EditDialogs, ModifyShowsTheFieldsAndReturnsALongPathWhole) {
  const LanguageTable language = MessagesFile().Table();
  std::string longPath = "C:\\Program Files\\Long\\";
  while (longPath.size() < 990) longPath += "segment\\";
  longPath += "tool.exe";
  longPath.resize(1000, 'x');
  const EntryFields fields{"Registry value", "HKEY_LOCAL_MACHINE\\Software\\Run", "Long one",
                           longPath};
  std::vector<std::string> shown;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Modify the program", [&](HWND d) {
    for (const int id : {IDC_EDIT_TYPE, IDC_EDIT_LOCATION, IDC_EDIT_NAME, IDC_EDIT_PATH}) {
      shown.push_back(gui::ItemText(d, id));
    }
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowModifyDialog(nullptr, language, fields);
  EXPECT_TRUE(answers.Finished());
  EXPECT_EQ(shown, (std::vector<std::string>{fields.type, fields.location, fields.name, longPath}));
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->name, "Long one");
  EXPECT_EQ(result->data.size(), 1000u);
  EXPECT_EQ(result->data, longPath);
}

TEST(EditDialogs, TypedTextBeyondTheOldEditLimitIsKept) {
  const LanguageTable language = MessagesFile().Table();
  const std::string typed(40000, 'p');
  std::size_t lengthInEdit = 0;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [&](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_NAME, "n");
    // Typing, not WM_SETTEXT: the edit's limit applies to what the user enters.
    const HWND edit = GetDlgItem(d, IDC_EDIT_PATH);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
    lengthInEdit = static_cast<std::size_t>(GetWindowTextLengthA(edit));
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(answers.Finished());
  EXPECT_EQ(lengthInEdit, typed.size());
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->data, typed);
}

// --- Translation and the order of filling -----------------------------------------------------

TEST(EditDialogs, FieldsAreSetAfterTranslationSoKeysInThemStayRaw) {
  const LanguageTable language = MessagesFile().Table();
  std::string location;
  std::string type;
  bool labelTranslated = false;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [&](HWND d) {
    location = gui::ItemText(d, IDC_EDIT_LOCATION);
    type = gui::ItemText(d, IDC_EDIT_TYPE);
    labelTranslated = Contains(gui::ChildTexts(d), "Section:");
    gui::PostClick(d, IDCANCEL);
  });
  ShowAddDialog(nullptr, language, "_RegString", "_Section");
  EXPECT_TRUE(answers.Finished());
  EXPECT_TRUE(labelTranslated);
  EXPECT_EQ(location, "_Section");
  EXPECT_EQ(type, "_RegString");
}

// --- Property ---------------------------------------------------------------------------------

TEST(EditDialogs, PropertyIsReadOnlyWithoutOkAndEscapeClosesIt) {
  const LanguageTable language = MessagesFile().Table();
  bool noOk = false;
  bool noBrowse = false;
  bool allReadOnly = true;
  std::string name;
  bool stillOpenAfterEnter = false;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Properties", [&](HWND d) {
    noOk = GetDlgItem(d, IDOK) == nullptr;
    noBrowse = GetDlgItem(d, IDC_BROWSE) == nullptr;
    for (const int id : {IDC_EDIT_TYPE, IDC_EDIT_LOCATION, IDC_EDIT_NAME, IDC_EDIT_PATH}) {
      allReadOnly &= (GetWindowLongA(GetDlgItem(d, id), GWL_STYLE) & ES_READONLY) != 0;
    }
    name = gui::ItemText(d, IDC_EDIT_NAME);
    // What Enter would send; the dialog has no OK to act on it.
    PostMessageA(d, WM_COMMAND, IDOK, 0);
  });
  answers.AnswerTop([&](HWND top) {
    stillOpenAfterEnter = gui::WindowText(top) == "Properties";
    SetFocus(GetDlgItem(top, IDC_EDIT_NAME));
    gui::PressKey(top, VK_ESCAPE);
  });
  ShowPropertyDialog(nullptr, language, {"t", "s", "Shown name", "C:\\x.exe"});
  EXPECT_TRUE(answers.Finished());
  EXPECT_FALSE(answers.GaveUp());
  EXPECT_TRUE(noOk);
  EXPECT_TRUE(noBrowse);
  EXPECT_TRUE(allReadOnly);
  EXPECT_EQ(name, "Shown name");
  EXPECT_TRUE(stillOpenAfterEnter);
}

// --- Browse -----------------------------------------------------------------------------------

// The open-file dialog is the modal window whose caption is not the edit dialog's.
bool IsFileDialog(HWND top) {
  return gui::WindowText(top) != "Add a program" && gui::WindowText(top) != "Modify the program" &&
         !gui::IsMessageBox(top);
}

TEST(EditDialogs, CancelledBrowseChangesNothing) {
  const LanguageTable language = MessagesFile().Table();
  std::string pathAfter;
  bool sawFileDialog = false;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Modify the program", [](HWND d) { gui::PostClick(d, IDC_BROWSE); });
  answers.AnswerWhen(IsFileDialog, [&](HWND fileDialog) {
    sawFileDialog = true;
    PostMessageA(fileDialog, WM_COMMAND, IDCANCEL, 0);
  });
  answers.AnswerCaption("Modify the program", [&](HWND d) {
    pathAfter = gui::ItemText(d, IDC_EDIT_PATH);
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowModifyDialog(nullptr, language, {"t", "s", "n", "C:\\old.exe -a"});
  EXPECT_TRUE(answers.Finished());
  EXPECT_TRUE(sawFileDialog);
  EXPECT_EQ(pathAfter, "C:\\old.exe -a");
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->data, "C:\\old.exe -a");
}

TEST(EditDialogs, ConfirmedBrowseReplacesThePathArgumentsIncluded) {
  const LanguageTable language = MessagesFile().Table();
  const std::string chosen = SamplePath();
  std::string pathAfter;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_PATH, "C:\\typed.exe --with arguments");
    gui::PostClick(d, IDC_BROWSE);
  });
  answers.AnswerWhen(IsFileDialog, [&](HWND fileDialog) {
    // The file name field of the explorer-style dialog (a combo box or an edit).
    for (const int id : {0x47c, 0x480}) SetDlgItemTextA(fileDialog, id, chosen.c_str());
    PostMessageA(fileDialog, WM_COMMAND, IDOK, 0);
  });
  answers.AnswerCaption("Add a program", [&](HWND d) {
    pathAfter = gui::ItemText(d, IDC_EDIT_PATH);
    gui::PostClick(d, IDCANCEL);
  });
  ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(answers.Finished());
  EXPECT_FALSE(answers.GaveUp());
  EXPECT_EQ(lstrcmpiA(pathAfter.c_str(), chosen.c_str()), 0) << pathAfter;
}

// --- Centring ---------------------------------------------------------------------------------

TEST(CentreWindow, PositionIsCentredThenKeptInsideTheArea) {
  struct Case {
    RECT window;
    RECT over;
    RECT area;
    POINT expected;
  };
  const Case cases[] = {
      // Centred over the owner, well inside.
      {{0, 0, 200, 100}, {100, 100, 500, 400}, {0, 0, 1280, 1000}, {200, 200}},
      // Owner near the right and bottom edges: pulled back in.
      {{0, 0, 200, 100}, {1200, 950, 1280, 1000}, {0, 0, 1280, 1000}, {1080, 900}},
      // Owner off the top-left: the left and top edges stay inside.
      {{0, 0, 200, 100}, {-300, -300, -100, -100}, {0, 0, 1280, 1000}, {0, 0}},
      // Larger than the area: the left and top edges win.
      {{0, 0, 1500, 1200}, {0, 0, 1280, 1000}, {0, 40, 1280, 1000}, {0, 40}},
      // A work area that does not start at 0 (task bar on the left).
      {{0, 0, 100, 100}, {60, 0, 1280, 1000}, {60, 0, 1280, 1000}, {620, 450}},
  };
  for (const auto& c : cases) {
    const POINT at = CentredPosition(c.window, c.over, c.area);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TEST(CentreWindow, DialogsOpenOverAVisibleOwnerAndOverTheWorkAreaOtherwise) {
  const LanguageTable language = MessagesFile().Table();
  const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 100, 120, 400, 300,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  struct Case {
    bool visible;
    RECT over;
  };
  RECT ownerRect{100, 120, 500, 420};
  for (const Case& c : {Case{true, ownerRect}, Case{false, WorkArea()}}) {
    ShowWindow(owner, c.visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    GetWindowRect(owner, &ownerRect);
    RECT dialogRect{};
    gui::DialogAnswerer answers;
    answers.AnswerCaption("Add a program", [&](HWND d) {
      GetWindowRect(d, &dialogRect);
      gui::PostClick(d, IDCANCEL);
    });
    ShowAddDialog(owner, language, "t", "s");
    ASSERT_TRUE(answers.Finished());
    const RECT over = c.visible ? ownerRect : c.over;
    const int dx = (dialogRect.left + dialogRect.right) - (over.left + over.right);
    const int dy = (dialogRect.top + dialogRect.bottom) - (over.top + over.bottom);
    EXPECT_LE(std::abs(dx), 2) << c.visible;
    EXPECT_LE(std::abs(dy), 2) << c.visible;
  }
  DestroyWindow(owner);
}

// --- File information dialog ------------------------------------------------------------------

struct ListSnapshot {
  std::vector<std::pair<std::string, std::string>> rows;
  int columnWidth0 = 0;
  int columnWidth1 = 0;
  int clientWidth = 0;
  bool enabled = false;
};

ListSnapshot Snapshot(HWND list) {
  ListSnapshot snapshot;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    snapshot.rows.emplace_back(gui::ListViewText(list, row, 0), gui::ListViewText(list, row, 1));
  }
  snapshot.columnWidth0 = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
  snapshot.columnWidth1 = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
  snapshot.clientWidth = gui::ClientRect(list).right;
  snapshot.enabled = IsWindowEnabled(list) != FALSE;
  return snapshot;
}

TEST(FileInfoDialog, ExistingFileShowsItsRowsAndHandsItToExplorer) {
  const LanguageTable noFile;
  const std::string path = SamplePath();
  gui::ShellRecorder shell;
  ListSnapshot list;
  std::string shownPath;
  bool browseEnabled = false;
  bool hasIcon = false;
  DWORD extendedStyle = 0;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("_MoreInfoDialog", [&](HWND d) {
    list = Snapshot(GetDlgItem(d, IDC_INFO_LIST));
    extendedStyle = static_cast<DWORD>(
        SendDlgItemMessageA(d, IDC_INFO_LIST, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    shownPath = gui::ItemText(d, IDC_INFO_PATH);
    browseEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_IN_FOLDER)) != FALSE;
    hasIcon = SendDlgItemMessageA(d, IDC_INFO_ICON, STM_GETICON, 0, 0) != 0;
    gui::PostClick(d, IDC_SHOW_IN_FOLDER);
    gui::PostClick(d, IDC_WEB_SEARCH);
    gui::PostClick(d, IDOK);
  });
  ShowFileInfoDialog(nullptr, noFile, path);
  ASSERT_TRUE(answers.Finished());

  const auto expectedRows = FileInfoRows(GatherFileInfo(path, noFile), noFile);
  ASSERT_EQ(list.rows.size(), 2u * 13u + 4u);
  // Times can move between the two reads; labels and version texts cannot.
  for (std::size_t i = 0; i < 26; ++i) EXPECT_EQ(list.rows[i], expectedRows[i]) << i;
  for (std::size_t i = 26; i < list.rows.size(); ++i) {
    EXPECT_EQ(list.rows[i].first, expectedRows[i].first) << i;
  }
  EXPECT_EQ(list.rows[0], (std::pair<std::string, std::string>{"_LanguageCode", "0x0407 0x04B0"}));
  EXPECT_TRUE(list.enabled);
  EXPECT_EQ(list.columnWidth0, list.clientWidth / 3);
  EXPECT_EQ(list.columnWidth1, (list.clientWidth / 3) * 2);
  EXPECT_EQ(extendedStyle & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
            static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
  EXPECT_EQ(shownPath, path);
  EXPECT_TRUE(browseEnabled);
  EXPECT_TRUE(hasIcon);
  ASSERT_EQ(shell.Calls().size(), 2u);
  EXPECT_EQ(shell.Calls()[0].file, "Explorer");
  EXPECT_EQ(shell.Calls()[0].params, "/select,\"" + path + "\"");
  EXPECT_EQ(shell.Calls()[1].file, std::string(kWebSearchUrl) + QV_VERSION_SAMPLE);
  EXPECT_EQ(shell.Calls()[1].params, "");
}

TEST(FileInfoDialog, MissingFileDisablesTheListAndExplorerButStillSearches) {
  const LanguageFile file("_FileIsNotExistInfo=No such file.\r\n_MoreInfoDialog=About file\r\n");
  const LanguageTable language = file.Table();
  gui::ShellRecorder shell;
  ListSnapshot list;
  bool browseEnabled = true;
  bool searchEnabled = false;
  bool hasIcon = false;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("About file", [&](HWND d) {
    list = Snapshot(GetDlgItem(d, IDC_INFO_LIST));
    browseEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_IN_FOLDER)) != FALSE;
    searchEnabled = IsWindowEnabled(GetDlgItem(d, IDC_WEB_SEARCH)) != FALSE;
    hasIcon = SendDlgItemMessageA(d, IDC_INFO_ICON, STM_GETICON, 0, 0) != 0;
    gui::PostClick(d, IDC_WEB_SEARCH);
    gui::PressKey(d, VK_ESCAPE);
  });
  ShowFileInfoDialog(nullptr, language, "C:\\Missing Folder\\my tool&co.exe");
  ASSERT_TRUE(answers.Finished());
  ASSERT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(list.rows[0], (std::pair<std::string, std::string>{"", "No such file."}));
  EXPECT_FALSE(list.enabled);
  EXPECT_FALSE(browseEnabled);
  EXPECT_TRUE(searchEnabled);
  EXPECT_TRUE(hasIcon);  // the system's information icon
  ASSERT_EQ(shell.Calls().size(), 1u);
  EXPECT_EQ(shell.Calls()[0].file, std::string(kWebSearchUrl) + "my tool%26co.exe");
}

// --- About dialog -----------------------------------------------------------------------------

struct AboutSnapshot {
  std::string caption;
  std::vector<std::string> texts;
  std::string name;
  std::string version;
  std::string thanks;
  int thanksLines = 0;
};

AboutSnapshot SnapshotAbout(HWND d) {
  AboutSnapshot s;
  s.caption = gui::WindowText(d);
  s.texts = gui::ChildTexts(d);
  s.name = gui::ItemText(d, IDC_APP_NAME);
  s.version = gui::ItemText(d, IDC_APP_VERSION);
  s.thanks = gui::ItemText(d, IDC_THANKS_LIST);
  s.thanksLines = static_cast<int>(SendDlgItemMessageA(d, IDC_THANKS_LIST, EM_GETLINECOUNT, 0, 0));
  return s;
}

TEST(AboutDialog, WithoutLanguageFileShowsKeysAndTheVersionResource) {
  const LanguageTable noFile;
  AboutSnapshot about;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("_AboutDialog", [&](HWND d) {
    about = SnapshotAbout(d);
    gui::PressKey(d, VK_ESCAPE);
  });
  ShowAboutDialog(nullptr, noFile);
  ASSERT_TRUE(answers.Finished());
  for (const char* key : {"_Thanks", "_Warning", "_Websitelink", "_Supportlink", "_Copyright"}) {
    EXPECT_TRUE(Contains(about.texts, key)) << key;
  }
  EXPECT_EQ(about.thanks, "_Thankyoulist");
  EXPECT_EQ(about.name, ModuleVersionString(ModulePath(), "ProductName"));
  EXPECT_EQ(about.version, ModuleVersionString(ModulePath(), "ProductVersion"));
  EXPECT_FALSE(Contains(about.texts, "_AppName"));
  EXPECT_FALSE(Contains(about.texts, "_AppVersion"));
}

TEST(AboutDialog, ThankYouListSpansLinesAndLinksOpenTheirPages) {
  const LanguageFile file(
      "_AboutDialog=About Quorvane\r\n"
      "_Thankyoulist=Alice\\nBob\\r\\nCarol\r\n"
      "_Websitelink=Visit the web site\r\n");
  const LanguageTable language = file.Table();
  gui::ShellRecorder shell;
  AboutSnapshot about;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("About Quorvane", [&](HWND d) {
    about = SnapshotAbout(d);
    // A click on the first link's text, Space on the second.
    const HWND website = GetDlgItem(d, IDC_WEBSITE_LINK);
    SendMessageA(website, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(website, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageA(GetDlgItem(d, IDC_SUPPORT_LINK), WM_KEYDOWN, VK_SPACE, 1);
    gui::PostClick(d, IDCANCEL);
  });
  ShowAboutDialog(nullptr, language);
  ASSERT_TRUE(answers.Finished());
  EXPECT_EQ(about.thanksLines, 3);
  EXPECT_EQ(about.thanks, "Alice\r\nBob\r\nCarol");
  EXPECT_TRUE(Contains(about.texts, "Visit the web site"));
  ASSERT_EQ(shell.Calls().size(), 2u);
  EXPECT_EQ(shell.Calls()[0].file, kProductPageUrl);
  EXPECT_EQ(shell.Calls()[1].file, kSupportPageUrl);
}

}  // namespace
