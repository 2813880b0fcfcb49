// The edit dialogs, the file information dialog and the About dialog, driven through their real
// windows: a thread timer answers each modal window while the typed call runs.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/module_paths.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/about_dialog.h"
#include "ui/centre_window.h"
#include "ui/edit_dialogs.h"
#include "ui/file_info.h"
#include "ui/file_info_dialog.h"
#include "ui/shell_opener.h"
#include "ui/version_info.h"
#include "ui/web_links.h"

namespace {

// --- Small helpers over windows ---------------------------------------------------------------

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}
std::string ItemTextOf(HWND dialog, int id) {
  return TextOf(GetDlgItem(dialog, id));
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A key press as the user makes it, so the dialog manager turns it into its command.
void PressKey(HWND dialog, UINT key) {
  HWND target = GetFocus();
  if (target == nullptr || (target != dialog && !IsChild(dialog, target))) target = dialog;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// The text of a message box (the static that holds it has the id 0xFFFF).
std::string MessageBoxText(HWND box) {
  return ItemTextOf(box, 0xFFFF);
}

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

// --- The driver of modal windows --------------------------------------------------------------

// Runs steps from a thread timer while a modal call runs on this thread. Each step gets the
// current modal window (the one enabled, visible dialog-class window of the thread) and returns
// true when it is done; false makes it wait for the next tick. Actions are posted, never run
// nested, so no step starts a modal loop inside the timer.
class ModalScript {
 public:
  using Step = std::function<bool(HWND top)>;

  explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    active_ = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 20, &ModalScript::Tick);
  }
  ~ModalScript() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }
  bool TimedOut() const { return timedOut_; }

  static HWND TopModal() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
          if (IsWindowVisible(window) && IsWindowEnabled(window) && ClassOf(window) == "#32770") {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* self = active_;
    if (self == nullptr || self->busy_) return;
    self->busy_ = true;
    self->Advance();
    self->busy_ = false;
  }

  void Advance() {
    const HWND top = TopModal();
    if (GetTickCount() - start_ > 15000) {
      // A stuck script must not hang the test run: close whatever is open.
      timedOut_ = true;
      if (top != nullptr) EndDialog(top, IDCANCEL);
      return;
    }
    if (Finished() || top == nullptr) return;
    if (steps_[next_](top)) ++next_;
  }

  static inline ModalScript* active_ = nullptr;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
  DWORD start_ = 0;
  bool busy_ = false;
  bool timedOut_ = false;
};

// Waits for the modal window with the given caption.
ModalScript::Step When(const std::string& caption, std::function<void(HWND)> action) {
  return [caption, action](HWND top) {
    if (TextOf(top) != caption) return false;
    action(top);
    return true;
  };
}

// Records every shell open instead of reaching the shell.
class ShellRecorder {
 public:
  struct Call {
    std::string file;
    std::string params;
  };
  ShellRecorder() {
    previous_ =
        ReplaceShellOpener([this](HWND, const std::string& file, const std::string& params) {
          calls_.push_back({file, params});
          return true;
        });
  }
  ~ShellRecorder() { ReplaceShellOpener(previous_); }
  const std::vector<Call>& Calls() const { return calls_; }

 private:
  ShellOpener previous_;
  std::vector<Call> calls_;
};

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
  auto answerMessage = [&](HWND top) {
    if (GetDlgItem(top, 0xFFFF) == nullptr) return false;
    messages.emplace_back(TextOf(top), MessageBoxText(top));
    Click(top, IDOK);
    return true;
  };
  ModalScript script({
      When("Add a program", [](HWND d) { Click(d, IDOK); }),  // both empty
      answerMessage,
      When("Add a program",
           [](HWND d) {
             SetDlgItemTextA(d, IDC_EDIT_NAME, "Updater");
             Click(d, IDOK);
           }),
      answerMessage,
      When("Add a program",
           [](HWND d) {
             SetDlgItemTextA(d, IDC_EDIT_PATH, "C:\\Tools\\updater.exe /quiet");
             Click(d, IDOK);
           }),
  });
  const auto result = ShowAddDialog(nullptr, language, "Registry value", "HKEY_CURRENT_USER\\Run");
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(script.TimedOut());
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
  ModalScript script({When("Add a program", [](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_NAME, " ");
    SetDlgItemTextA(d, IDC_EDIT_PATH, "  ");
    Click(d, IDOK);
  })});
  const auto result = ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(script.Finished());
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->name, " ");
  EXPECT_EQ(result->data, "  ");
}

TEST(EditDialogs, CancelReturnsNothingWhateverWasTyped) {
  const LanguageTable language = MessagesFile().Table();
  for (const bool byEscape : {false, true}) {
    ModalScript script({When("Modify the program", [byEscape](HWND d) {
      SetDlgItemTextA(d, IDC_EDIT_NAME, "changed");
      if (byEscape) {
        PressKey(d, VK_ESCAPE);
      } else {
        Click(d, IDCANCEL);
      }
    })});
    const auto result = ShowModifyDialog(nullptr, language, {"t", "s", "name", "path"});
    EXPECT_TRUE(script.Finished()) << byEscape;
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
  ModalScript script({When("Modify the program", [&](HWND d) {
    for (const int id : {IDC_EDIT_TYPE, IDC_EDIT_LOCATION, IDC_EDIT_NAME, IDC_EDIT_PATH}) {
      shown.push_back(ItemTextOf(d, id));
    }
    Click(d, IDOK);
  })});
  const auto result = ShowModifyDialog(nullptr, language, fields);
  EXPECT_TRUE(script.Finished());
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
  ModalScript script({When("Add a program", [&](HWND d) {
    SetDlgItemTextA(d, IDC_EDIT_NAME, "n");
    // Typing, not WM_SETTEXT: the edit's limit applies to what the user enters.
    const HWND edit = GetDlgItem(d, IDC_EDIT_PATH);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
    lengthInEdit = static_cast<std::size_t>(GetWindowTextLengthA(edit));
    Click(d, IDOK);
  })});
  const auto result = ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(script.Finished());
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
  ModalScript script({When("Add a program", [&](HWND d) {
    location = ItemTextOf(d, IDC_EDIT_LOCATION);
    type = ItemTextOf(d, IDC_EDIT_TYPE);
    EnumChildWindows(
        d,
        [](HWND child, LPARAM param) -> BOOL {
          if (TextOf(child) == "Section:") *reinterpret_cast<bool*>(param) = true;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&labelTranslated));
    Click(d, IDCANCEL);
  })});
  ShowAddDialog(nullptr, language, "_RegString", "_Section");
  EXPECT_TRUE(script.Finished());
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
  ModalScript script({
      When("Properties",
           [&](HWND d) {
             noOk = GetDlgItem(d, IDOK) == nullptr;
             noBrowse = GetDlgItem(d, IDC_BROWSE) == nullptr;
             for (const int id : {IDC_EDIT_TYPE, IDC_EDIT_LOCATION, IDC_EDIT_NAME, IDC_EDIT_PATH}) {
               allReadOnly &= (GetWindowLongA(GetDlgItem(d, id), GWL_STYLE) & ES_READONLY) != 0;
             }
             name = ItemTextOf(d, IDC_EDIT_NAME);
             // What Enter would send; the dialog has no OK to act on it.
             PostMessageA(d, WM_COMMAND, IDOK, 0);
           }),
      [&](HWND top) {
        stillOpenAfterEnter = TextOf(top) == "Properties";
        SetFocus(GetDlgItem(top, IDC_EDIT_NAME));
        PressKey(top, VK_ESCAPE);
        return true;
      },
  });
  ShowPropertyDialog(nullptr, language, {"t", "s", "Shown name", "C:\\x.exe"});
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(script.TimedOut());
  EXPECT_TRUE(noOk);
  EXPECT_TRUE(noBrowse);
  EXPECT_TRUE(allReadOnly);
  EXPECT_EQ(name, "Shown name");
  EXPECT_TRUE(stillOpenAfterEnter);
}

// --- Browse -----------------------------------------------------------------------------------

// The open-file dialog is the modal window whose caption is not the edit dialog's.
bool IsFileDialog(HWND top) {
  return TextOf(top) != "Add a program" && TextOf(top) != "Modify the program" &&
         GetDlgItem(top, 0xFFFF) == nullptr;
}

TEST(EditDialogs, CancelledBrowseChangesNothing) {
  const LanguageTable language = MessagesFile().Table();
  std::string pathAfter;
  bool sawFileDialog = false;
  ModalScript script({
      When("Modify the program", [](HWND d) { Click(d, IDC_BROWSE); }),
      [&](HWND top) {
        if (!IsFileDialog(top)) return false;
        sawFileDialog = true;
        PostMessageA(top, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
      When("Modify the program",
           [&](HWND d) {
             pathAfter = ItemTextOf(d, IDC_EDIT_PATH);
             Click(d, IDOK);
           }),
  });
  const auto result = ShowModifyDialog(nullptr, language, {"t", "s", "n", "C:\\old.exe -a"});
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(sawFileDialog);
  EXPECT_EQ(pathAfter, "C:\\old.exe -a");
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->data, "C:\\old.exe -a");
}

TEST(EditDialogs, ConfirmedBrowseReplacesThePathArgumentsIncluded) {
  const LanguageTable language = MessagesFile().Table();
  const std::string chosen = SamplePath();
  std::string pathAfter;
  ModalScript script({
      When("Add a program",
           [](HWND d) {
             SetDlgItemTextA(d, IDC_EDIT_PATH, "C:\\typed.exe --with arguments");
             Click(d, IDC_BROWSE);
           }),
      [&](HWND top) {
        if (!IsFileDialog(top)) return false;
        // The file name field of the explorer-style dialog (a combo box or an edit).
        for (const int id : {0x47c, 0x480}) SetDlgItemTextA(top, id, chosen.c_str());
        PostMessageA(top, WM_COMMAND, IDOK, 0);
        return true;
      },
      When("Add a program",
           [&](HWND d) {
             pathAfter = ItemTextOf(d, IDC_EDIT_PATH);
             Click(d, IDCANCEL);
           }),
  });
  ShowAddDialog(nullptr, language, "t", "s");
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(script.TimedOut());
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
    ModalScript script({When("Add a program", [&](HWND d) {
      GetWindowRect(d, &dialogRect);
      Click(d, IDCANCEL);
    })});
    ShowAddDialog(owner, language, "t", "s");
    ASSERT_TRUE(script.Finished());
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

std::string ListText(HWND list, int row, int column) {
  char buffer[1024] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof(buffer);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

ListSnapshot Snapshot(HWND list) {
  ListSnapshot snapshot;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    snapshot.rows.emplace_back(ListText(list, row, 0), ListText(list, row, 1));
  }
  snapshot.columnWidth0 = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
  snapshot.columnWidth1 = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
  RECT client{};
  GetClientRect(list, &client);
  snapshot.clientWidth = client.right;
  snapshot.enabled = IsWindowEnabled(list) != FALSE;
  return snapshot;
}

TEST(FileInfoDialog, ExistingFileShowsItsRowsAndHandsItToExplorer) {
  const LanguageTable noFile;
  const std::string path = SamplePath();
  ShellRecorder shell;
  ListSnapshot list;
  std::string shownPath;
  bool browseEnabled = false;
  bool hasIcon = false;
  DWORD extendedStyle = 0;
  ModalScript script({When("_MoreInfoDialog", [&](HWND d) {
    list = Snapshot(GetDlgItem(d, IDC_INFO_LIST));
    extendedStyle = static_cast<DWORD>(
        SendDlgItemMessageA(d, IDC_INFO_LIST, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    shownPath = ItemTextOf(d, IDC_INFO_PATH);
    browseEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_IN_FOLDER)) != FALSE;
    hasIcon = SendDlgItemMessageA(d, IDC_INFO_ICON, STM_GETICON, 0, 0) != 0;
    Click(d, IDC_SHOW_IN_FOLDER);
    Click(d, IDC_WEB_SEARCH);
    Click(d, IDOK);
  })});
  ShowFileInfoDialog(nullptr, noFile, path);
  ASSERT_TRUE(script.Finished());

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
  ShellRecorder shell;
  ListSnapshot list;
  bool browseEnabled = true;
  bool searchEnabled = false;
  bool hasIcon = false;
  ModalScript script({When("About file", [&](HWND d) {
    list = Snapshot(GetDlgItem(d, IDC_INFO_LIST));
    browseEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SHOW_IN_FOLDER)) != FALSE;
    searchEnabled = IsWindowEnabled(GetDlgItem(d, IDC_WEB_SEARCH)) != FALSE;
    hasIcon = SendDlgItemMessageA(d, IDC_INFO_ICON, STM_GETICON, 0, 0) != 0;
    Click(d, IDC_WEB_SEARCH);
    PressKey(d, VK_ESCAPE);
  })});
  ShowFileInfoDialog(nullptr, language, "C:\\Missing Folder\\my tool&co.exe");
  ASSERT_TRUE(script.Finished());
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
  s.caption = TextOf(d);
  EnumChildWindows(
      d,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(TextOf(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s.texts));
  s.name = ItemTextOf(d, IDC_APP_NAME);
  s.version = ItemTextOf(d, IDC_APP_VERSION);
  s.thanks = ItemTextOf(d, IDC_THANKS_LIST);
  s.thanksLines = static_cast<int>(SendDlgItemMessageA(d, IDC_THANKS_LIST, EM_GETLINECOUNT, 0, 0));
  return s;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const auto& t : texts) {
    if (t == text) return true;
  }
  return false;
}

TEST(AboutDialog, WithoutLanguageFileShowsKeysAndTheVersionResource) {
  const LanguageTable noFile;
  AboutSnapshot about;
  ModalScript script({When("_AboutDialog", [&](HWND d) {
    about = SnapshotAbout(d);
    PressKey(d, VK_ESCAPE);
  })});
  ShowAboutDialog(nullptr, noFile);
  ASSERT_TRUE(script.Finished());
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
  ShellRecorder shell;
  AboutSnapshot about;
  ModalScript script({When("About Quorvane", [&](HWND d) {
    about = SnapshotAbout(d);
    // A click on the first link's text, Space on the second.
    const HWND website = GetDlgItem(d, IDC_WEBSITE_LINK);
    SendMessageA(website, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(website, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageA(GetDlgItem(d, IDC_SUPPORT_LINK), WM_KEYDOWN, VK_SPACE, 1);
    Click(d, IDCANCEL);
  })});
  ShowAboutDialog(nullptr, language);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(about.thanksLines, 3);
  EXPECT_EQ(about.thanks, "Alice\r\nBob\r\nCarol");
  EXPECT_TRUE(Contains(about.texts, "Visit the web site"));
  ASSERT_EQ(shell.Calls().size(), 2u);
  EXPECT_EQ(shell.Calls()[0].file, kProductPageUrl);
  EXPECT_EQ(shell.Calls()[1].file, kSupportPageUrl);
}

}  // namespace
