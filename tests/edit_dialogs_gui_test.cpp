// The edit dialogs, the file information dialog and the About dialog, driven through their real
// windows: queued answers handle each modal window while the typed call runs.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/module_paths.h"
#include "gui/dialog_answerer.h"
#include "gui/screenshot.h"
#include "gui/shell_recorder.h"
#include "gui/text_fit.h"
#include "gui/tree_paths.h"
#include "gui/user_input.h"
#include "gui/window_reading.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/about_dialog.h"
#include "ui/centre_window.h"
#include "ui/dialog_layout.h"
#include "ui/dpi.h"
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

// The Add dialog's command after typing `typed`, then Browse and choosing `chosen` in the file
// dialog.
std::string PathAfterBrowse(const LanguageTable& language, const std::string& typed,
                            const std::string& chosen) {
  std::string pathAfter;
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Add a program", [&typed](HWND d) {
    if (!typed.empty()) SetDlgItemTextA(d, IDC_EDIT_PATH, typed.c_str());
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
  return pathAfter;
}

TEST(EditDialogs, ConfirmedBrowseReplacesThePathArgumentsIncluded) {
  const LanguageTable language = MessagesFile().Table();
  const std::string chosen = SamplePath();
  const std::string pathAfter = PathAfterBrowse(language, "C:\\typed.exe --with arguments", chosen);
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
  const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 20, 30, 1000, 760,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  struct Case {
    bool visible;
    RECT over;
  };
  // Larger than the dialog at 144 DPI too, so the centred place needs no pulling back.
  RECT ownerRect{20, 30, 1020, 790};
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

  auto expectedRows = FileInfoRows(GatherFileInfo(path, noFile), noFile);
  expectedRows.emplace_back("_Signature", "_NotSigned");
  // Two translations (German without two fields), the four attributes, then the signature.
  ASSERT_EQ(list.rows.size(), 11u + 13u + 4u + 1u);
  ASSERT_EQ(expectedRows.size(), list.rows.size());
  // Times can move between the two reads; labels and version texts cannot.
  for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(list.rows[i], expectedRows[i]) << i;
  for (std::size_t i = 24; i < list.rows.size(); ++i) {
    EXPECT_EQ(list.rows[i].first, expectedRows[i].first) << i;
  }
  EXPECT_EQ(list.rows[0].first, "_LanguageCode");
  EXPECT_NE(list.rows[0].second.find("German"), std::string::npos) << list.rows[0].second;
  for (const auto& row : list.rows) EXPECT_FALSE(row.second.empty()) << row.first;
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
    gui::PostClick(d, IDOK);
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

// --- Layout, texts and the About dialog's parts ----------------------------------------------

// The shipped language files: lang/Quorvane.language and one per language folder under lang/.
std::vector<std::string> LanguageFiles() {
  std::vector<std::string> files;
  const std::string root = gui::SourcePath("lang");
  std::vector<std::string> folders = {root};
  for (std::size_t i = 0; i < folders.size(); ++i) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folders[i] + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folders[i] + "\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        folders.push_back(path);
      } else if (lstrcmpiA(name.c_str(), "Quorvane.language") == 0) {
        files.push_back(path);
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return files;
}

// "en" for lang/Quorvane.language, the folder's name for the others.
std::string LanguageTag(const std::string& file) {
  const std::string folder = file.substr(0, file.find_last_of('\\'));
  const std::string name = folder.substr(folder.find_last_of('\\') + 1);
  return name == "lang" ? "en" : name;
}

// Opens each dialog in turn with language; check runs on each while it is open.
void ForEachDialog(const LanguageTable& language,
                   const std::function<void(const std::string& name, HWND dialog)>& check) {
  const EntryFields fields{language.T("_RegString"),
                           "HKEY_CURRENT_USER\\Software\\Microsoft\\"
                           "Windows\\CurrentVersion\\Run",
                           "Updater", "\"C:\\Program Files\\Updater\\updater.exe\" /background"};
  const std::pair<std::string, std::function<void()>> dialogs[] = {
      {"add", [&] { ShowAddDialog(nullptr, language, fields.type, fields.location); }},
      {"modify", [&] { ShowModifyDialog(nullptr, language, fields); }},
      {"property", [&] { ShowPropertyDialog(nullptr, language, fields); }},
      {"fileinfo", [&] { ShowFileInfoDialog(nullptr, language, SamplePath()); }},
      {"about", [&] { ShowAboutDialog(nullptr, language); }},
  };
  for (const auto& [name, show] : dialogs) {
    gui::DialogAnswerer answers;
    answers.AnswerNew([&, name = name](HWND d) {
      check(name, d);
      gui::PressKey(d, VK_ESCAPE);
    });
    show();
    EXPECT_TRUE(answers.Finished()) << name;
    EXPECT_FALSE(answers.GaveUp()) << name;
  }
}

TEST(DialogTexts, EveryTextFitsInEveryDialogInEveryLanguage) {
  const std::vector<std::string> files = LanguageFiles();
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    const LanguageTable language(file);
    const std::string tag = LanguageTag(file);
    ForEachDialog(language, [&](const std::string& name, HWND d) {
      const UINT dpi = DpiForWindow(d);
      for (const std::string& cut : gui::CutTexts(d)) {
        ADD_FAILURE() << name << " (" << tag << ", " << dpi << " DPI) cuts " << cut;
      }
      // The edit dialogs label the type field alike.
      if (name == "add" || name == "modify" || name == "property") {
        EXPECT_TRUE(Contains(gui::ChildTexts(d), language.T("_AddNewType"))) << name;
      }
      gui::SaveScreenshot(d, name + "_" + tag);
    });
  }
}

// The measuring itself: a label too narrow for its text is reported, a roomy one is not.
TEST(DialogTexts, ACutLabelIsReported) {
  const HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 400, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  // Sizes at 96 DPI, scaled like the font.
  const auto control = [host](const char* cls, const char* text, DWORD style, int width, int id) {
    const HWND c = CreateWindowExA(
        0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, ScaleForWindow(host, id * 30),
        ScaleForWindow(host, width), ScaleForWindow(host, 22), host,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  };
  control("STATIC", "Fits well", SS_LEFT, 300, 1);
  control("STATIC", "A label far too long for its narrow place", SS_LEFT | SS_CENTERIMAGE, 60, 2);
  control("STATIC", "Wraps onto many lines in a box of one line", SS_LEFT, 80, 3);
  control("BUTTON", "&Browse for a program...", BS_PUSHBUTTON, 50, 4);
  control("BUTTON", "OK", BS_PUSHBUTTON, 80, 5);
  control("STATIC", "", SS_ETCHEDHORZ, 10, 6);
  const std::vector<std::string> cut = gui::CutTexts(host);
  DestroyWindow(host);
  EXPECT_EQ(cut, (std::vector<std::string>{"2: A label far too long for its narrow place",
                                           "3: Wraps onto many lines in a box of one line",
                                           "4: &Browse for a program..."}));
}

TEST(DialogLayout, ControlsKeepTheirDistanceToTheEdgesTheyAreAnchoredTo) {
  const RECT start{10, 20, 110, 60};
  struct Case {
    unsigned anchor;
    int dx, dy;
    RECT expected;
  };
  const Case cases[] = {
      {kAnchorNone, 50, 30, {10, 20, 110, 60}},
      {kGrowX, 50, 30, {10, 20, 160, 60}},
      {kGrowBoth, 50, 30, {10, 20, 160, 90}},
      {kMoveX, 50, 30, {60, 20, 160, 60}},
      {kMoveY | kGrowX, 50, 30, {10, 50, 160, 90}},
      {kMoveBoth, -5, -5, {5, 15, 105, 55}},
      // Shrunk past its size, a growing control closes up instead of turning inside out.
      {kGrowBoth, -200, -200, {10, 20, 10, 20}},
  };
  for (const auto& c : cases) {
    const RECT r = AnchoredRect(start, c.anchor, c.dx, c.dy);
    EXPECT_EQ(
        (std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
        (std::vector<LONG>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
        << c.anchor << " " << c.dx;
  }
}

TEST(EditDialogs, ModifyAndPropertyGrowTheirCommandLineWithTheDialog) {
  const LanguageTable language = MessagesFile().Table();
  for (const bool property : {false, true}) {
    bool multiLine = false;
    bool resizable = false;
    SIZE grown{};
    POINT moved{};
    SIZE minimum{};
    SIZE opened{};
    gui::DialogAnswerer answers;
    answers.AnswerNew([&](HWND d) {
      const HWND path = GetDlgItem(d, IDC_EDIT_PATH);
      const HWND button = GetDlgItem(d, IDCANCEL);
      multiLine = (GetWindowLongA(path, GWL_STYLE) & ES_MULTILINE) != 0;
      resizable = (GetWindowLongA(d, GWL_STYLE) & WS_THICKFRAME) != 0;
      const RECT pathBefore = gui::RectInParent(path);
      const RECT buttonBefore = gui::RectInParent(button);
      RECT window{};
      GetWindowRect(d, &window);
      opened = {window.right - window.left, window.bottom - window.top};
      const int more = ScaleForWindow(d, 120);
      SetWindowPos(d, nullptr, 0, 0, opened.cx + more, opened.cy + more,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      const RECT pathAfter = gui::RectInParent(path);
      const RECT buttonAfter = gui::RectInParent(button);
      grown = {(pathAfter.right - pathAfter.left) - (pathBefore.right - pathBefore.left) - more,
               (pathAfter.bottom - pathAfter.top) - (pathBefore.bottom - pathBefore.top) - more};
      moved = {buttonAfter.left - buttonBefore.left - more,
               buttonAfter.top - buttonBefore.top - more};
      MINMAXINFO limits{};
      SendMessageA(d, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
      minimum = {limits.ptMinTrackSize.x, limits.ptMinTrackSize.y};
      gui::SaveScreenshot(d, std::string(property ? "property" : "modify") + "_grown");
      gui::PressKey(d, VK_ESCAPE);
    });
    if (property) {
      ShowPropertyDialog(nullptr, language, {"t", "s", "n", "C:\\x.exe"});
    } else {
      ShowModifyDialog(nullptr, language, {"t", "s", "n", "C:\\x.exe"});
    }
    ASSERT_TRUE(answers.Finished()) << property;
    EXPECT_TRUE(multiLine) << property;
    EXPECT_TRUE(resizable) << property;
    // The field took all of the extra room both ways; the button moved by all of it.
    EXPECT_EQ(grown.cx, 0) << property;
    EXPECT_EQ(grown.cy, 0) << property;
    EXPECT_EQ(moved.x, 0) << property;
    EXPECT_EQ(moved.y, 0) << property;
    EXPECT_EQ(minimum.cx, opened.cx) << property;
    EXPECT_EQ(minimum.cy, opened.cy) << property;
  }
}

TEST(EditDialogs, ALineBreakTypedIntoTheCommandLineIsNotReturned) {
  const LanguageTable language = MessagesFile().Table();
  gui::DialogAnswerer answers;
  answers.AnswerCaption("Modify the program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_PATH, "C:\\a.exe\r\n/x\r\n");
    gui::PostClick(d, IDOK);
  });
  const auto result = ShowModifyDialog(nullptr, language, {"t", "s", "n", "old"});
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->data, "C:\\a.exe /x");
}

TEST(EditDialogs, BrowseQuotesAPathWithBlanks) {
  const LanguageTable language = MessagesFile().Table();
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "qv browse " + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string chosen = folder + "\\my tool.exe";
  std::ofstream(chosen, std::ios::binary) << "x";
  const std::string pathAfter = PathAfterBrowse(language, "", chosen);
  DeleteFileA(chosen.c_str());
  RemoveDirectoryA(folder.c_str());
  ASSERT_GE(pathAfter.size(), 2u);
  EXPECT_EQ(pathAfter.front(), '"');
  EXPECT_EQ(pathAfter.back(), '"');
  EXPECT_EQ(lstrcmpiA(pathAfter.substr(1, pathAfter.size() - 2).c_str(), chosen.c_str()), 0)
      << pathAfter;
}

TEST(AboutDialog, HasOkTheWordVersionAndAScrollBarOnlyForALongList) {
  std::string longList;
  for (int i = 0; i < 30; ++i) longList += "Helper " + std::to_string(i) + "\\n";
  const LanguageFile file("_AppVersion=Version %s\r\n_Thankyoulist=" + longList + "\r\n");
  const LanguageFile shortFile("_AppVersion=Version %s\r\n_Thankyoulist=Alice\\nBob\r\n");
  struct Seen {
    bool ok = false;
    bool cancel = false;
    std::string version;
    bool scrollBar = false;
    int closedWith = 0;
  };
  const auto show = [](const LanguageTable& language, bool byOk) {
    Seen seen;
    gui::DialogAnswerer answers;
    answers.AnswerNew([&](HWND d) {
      seen.ok = GetDlgItem(d, IDOK) != nullptr;
      seen.cancel = GetDlgItem(d, IDCANCEL) != nullptr;
      seen.version = gui::ItemText(d, IDC_APP_VERSION);
      seen.scrollBar =
          (GetWindowLongA(GetDlgItem(d, IDC_THANKS_LIST), GWL_STYLE) & WS_VSCROLL) != 0;
      if (byOk) {
        gui::PostClick(d, IDOK);
      } else {
        PostMessageA(d, WM_CLOSE, 0, 0);  // the close box
      }
    });
    ShowAboutDialog(nullptr, language);
    seen.closedWith = answers.Finished() && !answers.GaveUp() ? 1 : 0;
    return seen;
  };
  const std::string version = "Version " + ModuleVersionString(ModulePath(), "ProductVersion");
  const Seen longSeen = show(file.Table(), true);
  const Seen shortSeen = show(shortFile.Table(), false);
  EXPECT_TRUE(longSeen.ok);
  EXPECT_FALSE(longSeen.cancel);
  EXPECT_EQ(longSeen.version, version);
  EXPECT_TRUE(longSeen.scrollBar);
  EXPECT_FALSE(shortSeen.scrollBar);
  EXPECT_EQ(longSeen.closedWith, 1);
  EXPECT_EQ(shortSeen.closedWith, 1);
}

}  // namespace
