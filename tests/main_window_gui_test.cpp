// The whole program in process: start-up order, the main window's tree and views, its menu
// commands, and screenshots of what a person sees. The catalogue's real locations are used,
// which is safe only because the tests run in the build's throwaway Wine prefix.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/catalogue.h"
#include "core/kind_factory.h"
#include "core/module_paths.h"
#include "gui/dialog_answerer.h"
#include "gui/pump.h"
#include "gui/screenshot.h"
#include "gui/shell_recorder.h"
#include "gui/tree_paths.h"
#include "gui/user_input.h"
#include "gui/window_reading.h"
#include "platform/file_system.h"
#include "platform/journal_component.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/xml_dom.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/recording_journal.h"
#include "ui/about_dialog.h"
#include "ui/dpi.h"
#include "ui/file_info_dialog.h"
#include "ui/main_window.h"
#include "ui/startup.h"
#include "ui/startup_marks.h"
#include "ui/view_form_layout.h"
#include "ui/web_links.h"

namespace {

using gui::PumpPending;

constexpr char kUserRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The all-users Run key as 32-bit programs see it (opened with KEY_WOW64_32KEY).
constexpr char kMachineRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program's main window is the visible dialog with a menu.
bool IsMainWindow(HWND dialog) {
  return GetMenu(dialog) != nullptr && IsWindowVisible(dialog);
}

HWND ThreadMainWindow() {
  for (HWND dialog : gui::ThreadDialogs()) {
    if (IsMainWindow(dialog)) return dialog;
  }
  return nullptr;
}

// ---- Start-up

TEST(StartUp, ASecondInstanceLeavesAtOnceWithCodeZero) {
  HANDLE first = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(RunQuorvane(GetModuleHandleA(nullptr)), 0);
  EXPECT_EQ(ThreadMainWindow(), nullptr);
  // The first instance still holds its mutex.
  HANDLE again = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(again);
  CloseHandle(first);
}

ComPtr<IXMLDOMDocument> NoDom() {
  return {};
}

TEST(StartUp, WithoutAnXmlServiceItSaysSoAndLeavesWithCodeZero) {
  const auto previous = SetDomDocumentFactory(&NoDom);
  std::string shown;
  gui::DialogAnswerer answers;
  answers.AnswerNew([&shown](HWND box) {
    shown = gui::DialogMessageText(box);
    gui::ClickButton(box, IDOK);
  });
  EXPECT_EQ(RunQuorvane(GetModuleHandleA(nullptr)), 0);
  SetDomDocumentFactory(previous);
  // The test exe has no language file of its own name: the key itself is the text.
  EXPECT_EQ(shown, "_NotInstallXML2");
}

TEST(StartUp, ExitEndsTheProgramWithCodeTwo) {
  // Exit is posted to the main window as soon as it is up.
  gui::DialogAnswerer answers;
  answers.AnswerWhen(IsMainWindow,
                     [](HWND main) { PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0); });
  EXPECT_EQ(RunQuorvane(GetModuleHandleA(nullptr)), 2);
  EXPECT_EQ(ThreadMainWindow(), nullptr);
}

std::string MarksFile() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "qv_startup_marks.txt";
}

// The mark names of a marks file in their order, each counter at least the one before; the file
// is removed.
std::vector<std::string> ReadMarkNames(const std::string& file) {
  std::vector<std::string> names;
  {
    std::ifstream in(file);
    std::string name;
    long long counter = 0;
    long long previous = 0;
    while (in >> name >> counter) {
      EXPECT_GE(counter, previous) << name;
      previous = counter;
      names.push_back(name);
    }
  }
  DeleteFileA(file.c_str());
  return names;
}

// The marks the start-up bench reads: asked for through the environment, written when the
// program ends, in the order of the steps.
TEST(StartUp, MarksAskedForAreWrittenInTheOrderOfTheSteps) {
  const std::string file = MarksFile();
  DeleteFileA(file.c_str());
  SetEnvironmentVariableA(StartupMarks::kVariable, file.c_str());
  gui::DialogAnswerer answers;
  answers.AnswerWhen(IsMainWindow,
                     [](HWND main) { PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0); });
  EXPECT_EQ(RunQuorvane(GetModuleHandleA(nullptr)), 2);
  SetEnvironmentVariableA(StartupMarks::kVariable, nullptr);

  // These steps in this order; the window's own steps may add marks between them.
  const std::vector<std::string> steps = {"entry",      "com",     "xml",    "journal", "controls",
                                          "catalogue",  "kinds",   "dialog", "tree",    "filled",
                                          "translated", "created", "shown"};
  std::vector<std::string> found;
  for (const std::string& name : ReadMarkNames(file)) {
    if (std::find(steps.begin(), steps.end(), name) != steps.end()) found.push_back(name);
  }
  EXPECT_EQ(found, steps);
}

TEST(StartUp, FilesAreFoundFromTheExeName) {
  // The test exe stands for a renamed program: its files follow its name.
  const std::string dir = ExeDirectory();
  EXPECT_EQ(LanguageFilePath(), dir + "\\main_window_gui_test.language");
  EXPECT_EQ(HelpFilePath(), dir + "\\main_window_gui_test.chm");
  EXPECT_EQ(JournalDataDirectory(), dir + "\\Log\\Data");
  EXPECT_EQ(StoreFilePath(), dir + "\\config.xml");
}

// ---- The main window

class RecordingJournalComponent final : public JournalComponent {
 public:
  int viewerShown = 0;
  HRESULT SetDataDirectory(const std::string&) override { return S_OK; }
  HRESULT WriteRecord(const std::string&, const std::string&, const std::string&,
                      const std::string&, const std::string&) override {
    return S_OK;
  }
  HRESULT ShowViewer() override {
    ++viewerShown;
    return S_OK;
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    language_.SetFile(gui::SourcePath("lang/Quorvane.language"));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    storePath_ = std::string(temp) + "qv_main_window_config.xml";
    DeleteFileA(storePath_.c_str());
    store_ = std::make_unique<XmlDisabledStore>(storePath_);
    services_ = std::make_unique<KindServices>(
        KindServices{registry_, files_, links_, *store_, journal_, language_});
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest");
    main_ = NewMain(language_, nullptr);
    ASSERT_NE(main_->Handle(), nullptr);
    ShowWindow(main_->Handle(), SW_SHOWMAXIMIZED);
    PumpPending();
  }
  // A main window over the real catalogue, created but not shown; texts from language.
  std::unique_ptr<MainWindow> NewMain(const LanguageTable& language, SettingsStore* settings) {
    std::vector<CatalogueNode> catalogue = BuildCatalogue(registry_);
    std::vector<std::unique_ptr<EntryKind>> kinds = CreateEntryKinds(catalogue, *services_);
    auto main = std::make_unique<MainWindow>(std::move(catalogue), std::move(kinds), language);
    main->SetSettingsStore(settings);
    main->Create(GetModuleHandleA(nullptr));
    return main;
  }
  void TearDown() override {
    answers_.Clear();
    main_.reset();
    PumpPending();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest");
    DeleteFileA(storePath_.c_str());
  }

  void SelectNode(int viewIndex) {
    SendMessageA(main_->Tree(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(main_->TreeItem(viewIndex)));
    PumpPending();
  }
  std::string NodeText(HTREEITEM item) {
    char text[256] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof(text);
    SendMessageA(main_->Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
  }
  bool HasRow(int view, const std::string& name) {
    EntryView& v = main_->View(view);
    for (int i = 0; i < v.Count(); ++i) {
      if (v.Text(i, kColName) == name) return true;
    }
    return false;
  }

  Win32Registry registry_;
  Win32FileSystem files_;
  Win32ShellLinks links_;
  RecordingJournal journal_;
  LanguageTable language_;
  std::string storePath_;
  std::unique_ptr<XmlDisabledStore> store_;
  std::unique_ptr<KindServices> services_;
  std::unique_ptr<MainWindow> main_;
  gui::ShellRecorder shell_;
  gui::DialogAnswerer answers_;
};

TEST_F(MainWindowTest, TheTreeHoldsTheTwentyNodesAndTheFirstIsShown) {
  ASSERT_EQ(main_->ViewCount(), 20);
  EXPECT_EQ(main_->Host().Current(), 0);
  EXPECT_TRUE(IsWindowVisible(main_->View(0).Handle()));
  for (int i = 1; i < 20; ++i) EXPECT_FALSE(IsWindowVisible(main_->View(i).Handle())) << i;
  // Top-level nodes in order, with their translated labels.
  HWND tree = main_->Tree();
  std::vector<std::string> top;
  for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
       item; item = reinterpret_cast<HTREEITEM>(
                 SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    top.push_back(NodeText(item));
  }
  EXPECT_EQ(top, (std::vector<std::string>{language_.T("_TreeStartupFolder"),
                                           language_.T("_TreeRegistry"), language_.T("_Winini"),
                                           language_.T("_TreeUserInit")}));
  // Every parent is expanded.
  for (int parent : {0, 3, 4, 9, 12}) {
    const auto state = SendMessageA(
        tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(main_->TreeItem(parent)), TVIS_EXPANDED);
    EXPECT_TRUE(state & TVIS_EXPANDED) << parent;
  }
  // The nodes added after the first sixteen sit among their siblings: the view indexes of the
  // children of the two registry parents, as the tree shows them.
  auto children = [&](int parent) {
    std::vector<LPARAM> indexes;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(
             tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(main_->TreeItem(parent))));
         item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                               reinterpret_cast<LPARAM>(item)))) {
      TVITEMA tv{};
      tv.mask = TVIF_PARAM;
      tv.hItem = item;
      SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
      indexes.push_back(tv.lParam);
    }
    return indexes;
  };
  EXPECT_EQ(children(4), (std::vector<LPARAM>{5, 16, 6, 17, 7, 8, 18}));
  EXPECT_EQ(children(9), (std::vector<LPARAM>{10, 11, 19}));
  EXPECT_EQ(NodeText(main_->TreeItem(16)), language_.T("_Run32"));
  EXPECT_EQ(NodeText(main_->TreeItem(19)), language_.T("_PolicyRun"));
  // The title comes from the version resource.
  EXPECT_NE(gui::WindowText(main_->Handle()).find(" ("), std::string::npos);
}

TEST_F(MainWindowTest, SelectingANodeShowsItsViewAndEverySelectionRefreshes) {
  SelectNode(10);  // current user, Run
  EXPECT_EQ(main_->Host().Current(), 10);
  EXPECT_TRUE(IsWindowVisible(main_->View(10).Handle()));
  EXPECT_FALSE(IsWindowVisible(main_->View(0).Handle()));
  EXPECT_FALSE(HasRow(10, "QuorvaneMainTest"));

  const char data[] = "C:\\Tools\\main-test.exe";
  RegSetKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", REG_SZ, data, sizeof(data));
  // Reselecting the node already shown refreshes it again.
  NMTREEVIEWA change{};
  change.hdr.hwndFrom = main_->Tree();
  change.hdr.idFrom = IDC_TREE;
  change.hdr.code = TVN_SELCHANGEDA;
  change.itemNew.hItem = main_->TreeItem(10);
  SendMessageA(main_->Handle(), WM_NOTIFY, IDC_TREE, reinterpret_cast<LPARAM>(&change));
  PumpPending();
  EXPECT_TRUE(HasRow(10, "QuorvaneMainTest"));

  // Its parents cover it too, and show it when selected.
  SelectNode(9);
  EXPECT_TRUE(HasRow(9, "QuorvaneMainTest"));
  SelectNode(3);
  EXPECT_TRUE(HasRow(3, "QuorvaneMainTest"));
}

// A 32-bit program's entry (the machine's Run key in the 32-bit view) is listed by the 32-bit
// node and the parents above it, and not by the 64-bit Run node.
TEST_F(MainWindowTest, AnEntryInTheThirtyTwoBitRunKeyShowsUnderItsNodeAndParents) {
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMachineRunKey, 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  const char data[] = "C:\\Tools\\main-test32.exe";
  RegSetValueExA(raw, "QuorvaneMainTest32", 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                 sizeof(data));
  for (const int node : {16, 4, 3, 5}) SelectNode(node);
  const bool in16 = HasRow(16, "QuorvaneMainTest32");
  const bool in4 = HasRow(4, "QuorvaneMainTest32");
  const bool in3 = HasRow(3, "QuorvaneMainTest32");
  const bool in5 = HasRow(5, "QuorvaneMainTest32");
  RegDeleteValueA(raw, "QuorvaneMainTest32");
  RegCloseKey(raw);
  EXPECT_TRUE(in16);
  EXPECT_TRUE(in4);
  EXPECT_TRUE(in3);
  EXPECT_FALSE(in5);
  // Its location is the path as a registry editor shows it.
  EXPECT_EQ(main_->View(16).Kind().Locations().at(0),
            "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
}

// Forms are made when their node is first shown, complete and translated, and kept from then on.
TEST_F(MainWindowTest, AViewShownForTheFirstTimeIsACompleteTranslatedForm) {
  EXPECT_EQ(main_->View(10).Handle(), nullptr);
  SelectNode(10);
  const HWND form = main_->View(10).Handle();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_EQ(GetParent(form), main_->Host().Handle());
  // A button leaves out the key that the menu shows after the text.
  const std::string addNew = language_.T("_AddNew");
  EXPECT_EQ(gui::WindowText(GetDlgItem(form, IDC_ADDNEW)), addNew.substr(0, addNew.find("\\t")));
  char title[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = sizeof(title);
  ASSERT_TRUE(
      SendMessageA(main_->View(10).List(), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_EQ(std::string(title), language_.T("_Name"));
  // It fills the host like the first view.
  RECT host{}, shown{};
  GetClientRect(main_->Host().Handle(), &host);
  GetWindowRect(form, &shown);
  EXPECT_EQ(shown.right - shown.left, host.right);
  EXPECT_EQ(shown.bottom - shown.top, host.bottom);

  SelectNode(0);
  SelectNode(10);
  EXPECT_EQ(main_->View(10).Handle(), form);
  EXPECT_FALSE(IsWindowVisible(main_->View(0).Handle()));
}

// Making a form must not take the keyboard focus: walking the tree with the arrow keys makes
// forms one after another, and the focus stays in the tree.
TEST_F(MainWindowTest, AFormMadeOnSelectionLeavesTheFocusInTheTree) {
  SetFocus(main_->Tree());
  for (int node : {1, 2, 3}) {
    ASSERT_EQ(main_->View(node).Handle(), nullptr) << node;
    SendMessageA(main_->Tree(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(main_->Tree(), WM_KEYUP, VK_DOWN, 0);
    PumpPending();
    EXPECT_EQ(main_->Host().Current(), node);
    EXPECT_NE(main_->View(node).Handle(), nullptr);
    EXPECT_EQ(GetFocus(), main_->Tree()) << node;
  }
}

TEST_F(MainWindowTest, TheOperationMenuActsOnTheShownViewOnly) {
  const char data[] = "C:\\Tools\\main-test.exe";
  RegSetKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", REG_SZ, data, sizeof(data));
  SelectNode(10);
  EntryView& shown = main_->View(10);
  int row = -1;
  for (int i = 0; i < shown.Count(); ++i) {
    if (shown.Text(i, kColName) == "QuorvaneMainTest") row = i;
  }
  ASSERT_GE(row, 0);
  // The popup offers what the shown view's selection allows, as its buttons do.
  const HMENU operation = GetSubMenu(GetMenu(main_->Handle()), 1);
  auto grayed = [this, operation](UINT id) {
    SendMessageA(main_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(operation), 1);
    return (GetMenuState(operation, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  EXPECT_TRUE(grayed(IDC_REMOVE));
  EXPECT_FALSE(grayed(IDC_ADDNEW));
  shown.SelectAndShow(row);
  EXPECT_FALSE(grayed(IDC_REMOVE));
  EXPECT_FALSE(grayed(IDC_JUMPTO));
  EXPECT_TRUE(grayed(IDC_ENABLE));
  EXPECT_FALSE(grayed(IDC_DISABLE));
  SendMessageA(main_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_DISABLE, 0), 0);
  PumpPending();
  EXPECT_FALSE(grayed(IDC_ENABLE));
  EXPECT_TRUE(grayed(IDC_DISABLE));
  EXPECT_FALSE(shown.IsEnabled(row));
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", RRF_RT_REG_SZ, nullptr,
                         nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(journal_.records.size(), 1u);

  SendMessageA(main_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_ENABLE, 0), 0);
  PumpPending();
  EXPECT_EQ(journal_.records.size(), 2u);
  EXPECT_TRUE(shown.IsEnabled(row));
  // A hidden view created before the value existed was neither refreshed nor changed.
  EXPECT_FALSE(HasRow(9, "QuorvaneMainTest"));
}

TEST_F(MainWindowTest, AcceleratorsSendTheViewCommands) {
  const char data[] = "C:\\Tools\\main-test.exe";
  RegSetKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", REG_SZ, data, sizeof(data));
  SelectNode(10);
  // F5 reaches the shown view through the message filter: its list is rebuilt.
  EXPECT_TRUE(HasRow(10, "QuorvaneMainTest"));
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest");
  MSG key{main_->View(10).List(), WM_KEYDOWN, VK_F5, 0, 0, {}};
  EXPECT_TRUE(main_->PreTranslateMessage(key));
  PumpPending();
  EXPECT_FALSE(HasRow(10, "QuorvaneMainTest"));

  // F1 opens the help; Ctrl+J shows the selected entry's key in the registry editor.
  MSG help{main_->Tree(), WM_KEYDOWN, VK_F1, 0, 0, {}};
  EXPECT_TRUE(main_->PreTranslateMessage(help));
  RegSetKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", REG_SZ, data, sizeof(data));
  SendMessageA(main_->View(10).Handle(), WM_COMMAND, IDC_REFRESH, 0);
  main_->View(10).SelectAndShow(0);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  MSG jump{main_->View(10).List(), WM_KEYDOWN, 'J', 0, 0, {}};
  EXPECT_TRUE(main_->PreTranslateMessage(jump));
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  PumpPending();
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest");
  const auto& opened = shell_.Calls();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].file, HelpFilePath());
  EXPECT_EQ(opened[1].file, "regedit.exe");
}

TEST_F(MainWindowTest, OnlyTheFirstIdleIsMarked) {
  const std::string file = MarksFile();
  {
    StartupMarks marks(file);
    main_->SetMarks(&marks);
    main_->OnIdle();
    main_->OnIdle();
    main_->SetMarks(nullptr);
  }
  EXPECT_EQ(ReadMarkNames(file), std::vector<std::string>{"idle"});
}

TEST_F(MainWindowTest, HelpWebPagesAndTheJournalViewerGoWhereTheyShould) {
  SendMessageA(main_->Handle(), WM_COMMAND, IDM_HELP, 0);
  SendMessageA(main_->Handle(), WM_COMMAND, IDM_WEBSITE, 0);
  SendMessageA(main_->Handle(), WM_COMMAND, IDM_SUPPORT, 0);
  const auto& opened = shell_.Calls();
  ASSERT_EQ(opened.size(), 3u);
  const std::string expected[] = {HelpFilePath(), kProductPageUrl, kContactPageUrl};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(opened[i].file, expected[i]) << i;
    EXPECT_EQ(opened[i].params, "") << i;
  }

  // Without a journal component the viewer command does nothing.
  InstallJournal(nullptr);
  SendMessageA(main_->Handle(), WM_COMMAND, IDM_LOGVIEWER, 0);
  auto component = std::make_unique<RecordingJournalComponent>();
  RecordingJournalComponent* raw = component.get();
  InstallJournal(std::move(component));
  SendMessageA(main_->Handle(), WM_COMMAND, IDM_LOGVIEWER, 0);
  EXPECT_EQ(raw->viewerShown, 1);
  InstallJournal(nullptr);
}

TEST_F(MainWindowTest, ScreenshotsOfTheTopNodesAndTheDialogs) {
  const char data[] = "\"C:\\Program Files\\Tools\\main-test.exe\" /tray";
  RegSetKeyValueA(HKEY_CURRENT_USER, kUserRunKey, "QuorvaneMainTest", REG_SZ, data, sizeof(data));
  const std::pair<int, const char*> nodes[] = {{0, "main_startup_folders"},
                                               {3, "main_registry"},
                                               {12, "main_list_values"},
                                               {15, "main_userinit"}};
  for (const auto& [node, name] : nodes) {
    SelectNode(node);
    EXPECT_FALSE(gui::SaveScreenshot(main_->Handle(), name).empty()) << name;
  }
  // The dialogs at another DPI only on request: on some machines their modal calls return at
  // once in such a run, before the answerer sees them.
  if (std::getenv("QV_TEST_DPI") && !std::getenv("QV_DPI_DIALOGS")) return;

  answers_.AnswerNew([](HWND dialog) {
    gui::SaveScreenshot(dialog, "file_information");
    gui::ClickButton(dialog, IDOK);
  });
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  ShowFileInfoDialog(main_->Handle(), language_, std::string(system) + "\\notepad.exe");

  answers_.AnswerNew([](HWND dialog) {
    gui::SaveScreenshot(dialog, "about");
    gui::ClickButton(dialog, IDOK);
  });
  ShowAboutDialog(main_->Handle(), language_);
  EXPECT_TRUE(answers_.Finished());
}

// ---- Layout and remembered placement

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ScreenClient(HWND window) {
  RECT rect = gui::ClientRect(window);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The width a button's text takes in the button's font.
int TextWidth(HWND button) {
  const std::string text = gui::WindowText(button);
  HDC dc = GetDC(button);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)));
  RECT r{};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(button, dc);
  return r.right;
}

// Every button of the shown form is whole: its text fits inside its frame, it lies inside the
// form, the form inside the host and the host inside the main window, no two buttons overlap
// and the list starts below them. Returns how many rows the buttons take.
int ExpectButtonsWhole(MainWindow& main, const std::string& where) {
  SCOPED_TRACE(where);
  HWND form = main.Host().CurrentView();
  EXPECT_TRUE(Inside(ScreenRect(form), ScreenClient(main.Host().Handle())));
  EXPECT_TRUE(Inside(ScreenRect(main.Host().Handle()), ScreenClient(main.Handle())));
  const RECT formClient = ScreenClient(form);
  const RECT list = ScreenRect(GetDlgItem(form, IDC_LIST));
  const int frame = 2 * ScaleForWindow(form, 3);  // the button's edge and focus rectangle
  std::vector<RECT> buttons;
  std::vector<LONG> rows;
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (lstrcmpiA(gui::ClassName(child).c_str(), "Button") != 0) continue;
    const std::string text = gui::WindowText(child);
    EXPECT_TRUE(IsWindowVisible(child)) << text;
    const RECT rect = ScreenRect(child);
    EXPECT_TRUE(Inside(rect, formClient)) << text;
    EXPECT_LE(TextWidth(child) + frame, rect.right - rect.left) << text;
    EXPECT_LE(rect.bottom, list.top) << text;
    for (const RECT& other : buttons) {
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << text;
    }
    buttons.push_back(rect);
    if (std::find(rows.begin(), rows.end(), rect.top) == rows.end()) rows.push_back(rect.top);
  }
  EXPECT_EQ(buttons.size(), 8u);
  return static_cast<int>(rows.size());
}

TEST_F(MainWindowTest, EveryButtonIsWholeAtTheSmallestSizesInEveryLanguage) {
  // German's texts are the longest the program ships.
  LanguageTable german;
  german.SetFile(gui::SourcePath("lang/de/Quorvane.language"));
  main_.reset();

  for (const LanguageTable* language : {&language_, &german}) {
    const bool english = language == &language_;
    const std::string tag = english ? "en" : "de";
    SCOPED_TRACE(tag);
    std::unique_ptr<MainWindow> main = NewMain(*language, nullptr);
    ASSERT_NE(main->Handle(), nullptr);
    ShowWindow(main->Handle(), SW_SHOWNORMAL);
    PumpPending();
    const std::string dpi = "_dpi" + std::to_string(DpiForWindow(main->Handle()));
    const SIZE minimum = main->MinimumWindowSize();
    std::cout << tag << " minimum window at" << dpi << ": " << minimum.cx << " x " << minimum.cy
              << "\n";

    // The template's own size, 500 x 400, and a request below every minimum.
    const std::pair<SIZE, const char*> requests[] = {
        {SIZE{0, 0}, "restored"}, {SIZE{500, 400}, "500x400"}, {SIZE{1, 1}, "minimum"}};
    for (const auto& [request, name] : requests) {
      if (request.cx > 0) {
        SetWindowPos(main->Handle(), nullptr, 0, 0, request.cx, request.cy,
                     SWP_NOMOVE | SWP_NOZORDER);
      }
      PumpPending();
      const RECT window = ScreenRect(main->Handle());
      if (request.cx > 0) {
        EXPECT_EQ(window.right - window.left, std::max(request.cx, minimum.cx)) << name;
        EXPECT_EQ(window.bottom - window.top, std::max(request.cy, minimum.cy)) << name;
      }
      const int rows = ExpectButtonsWhole(*main, name);
      // At the minimum the buttons take the two rows allowed, no fewer: it is no wider than it
      // needs to be.
      if (request.cx == 1) {
        EXPECT_EQ(rows, ViewFormLayout::kMaxRows);
      }
      EXPECT_GE(gui::RectInParent(main->Tree()).right, ScaleForWindow(main->Handle(), 120)) << name;
      gui::SaveScreenshot(main->Handle(), std::string("main_") + name + "_" + tag);
    }
    ShowWindow(main->Handle(), SW_SHOWMAXIMIZED);
    PumpPending();
    EXPECT_LE(ExpectButtonsWhole(*main, "maximised"), ViewFormLayout::kMaxRows);
    gui::SaveScreenshot(main->Handle(), "main_maximized_" + tag);
  }
}

TEST_F(MainWindowTest, HideWindowsEntriesReachesEveryViewAndIsRemembered) {
  main_.reset();
  ASSERT_TRUE(std::ofstream(storePath_, std::ios::binary)
              << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane/>"
              << "</config>\r\n");
  const auto state = [](MainWindow& main) {
    const UINT menu = GetMenuState(GetMenu(main.Handle()), IDM_HIDEWINDOWS, MF_BYCOMMAND);
    bool views = true;
    for (int v = 0; v < main.ViewCount(); ++v) {
      views = views && main.View(v).HidesWindowsEntries() == main.HidesWindowsEntries();
    }
    return std::make_tuple(main.HidesWindowsEntries(), (menu & MF_CHECKED) != 0, views);
  };
  std::unique_ptr<MainWindow> main = NewMain(language_, store_.get());
  EXPECT_EQ(state(*main), std::make_tuple(false, false, true));
  SendMessageA(main->Handle(), WM_COMMAND, IDM_HIDEWINDOWS, 0);
  EXPECT_EQ(state(*main), std::make_tuple(true, true, true));
  main.reset();  // closing writes the settings
  main = NewMain(language_, store_.get());
  EXPECT_EQ(state(*main), std::make_tuple(true, true, true));
  SendMessageA(main->Handle(), WM_COMMAND, IDM_HIDEWINDOWS, 0);
  main.reset();
  main = NewMain(language_, store_.get());
  EXPECT_EQ(state(*main), std::make_tuple(false, false, true));
}

TEST_F(MainWindowTest, AClosedWindowReopensWhereItWasWithItsSplitter) {
  main_.reset();
  const std::string records =
      "<disabledregistryitem path=\"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
      "CurrentVersion\\Run\" valuedata=\"C:\\Tools\\kept.exe\" valuename=\"Kept\"/>";
  ASSERT_TRUE(std::ofstream(storePath_, std::ios::binary)
              << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>" << records
              << "</toolquorvane></config>\r\n");
  const auto reopen = [this] {
    std::unique_ptr<MainWindow> main = NewMain(language_, store_.get());
    main->Show();
    PumpPending();
    return main;
  };

  // The first time it opens maximised.
  std::unique_ptr<MainWindow> main = reopen();
  EXPECT_TRUE(IsZoomed(main->Handle()));
  ShowWindow(main->Handle(), SW_RESTORE);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int workWidth = work.right - work.left;
  const int workHeight = work.bottom - work.top;
  const RECT placed = {work.left + workWidth / 10, work.top + workHeight / 8,
                       work.left + workWidth * 8 / 10, work.top + workHeight * 7 / 8};
  MoveWindow(main->Handle(), placed.left, placed.top, placed.right - placed.left,
             placed.bottom - placed.top, TRUE);
  main->SplitBar().SetPosition(ScaleForWindow(main->Handle(), 160));
  main.reset();  // closing writes the settings
  EXPECT_EQ(store_->ListAll(KindId::kRegistry).size(), 1u);

  main = reopen();
  EXPECT_FALSE(IsZoomed(main->Handle()));
  const RECT again = ScreenRect(main->Handle());
  EXPECT_EQ(again.left, placed.left);
  EXPECT_EQ(again.top, placed.top);
  EXPECT_EQ(again.right, placed.right);
  EXPECT_EQ(again.bottom, placed.bottom);
  EXPECT_EQ(main->SplitBar().Position(), ScaleForWindow(main->Handle(), 160));

  // Maximised stays maximised, and keeps the restored rectangle beneath.
  ShowWindow(main->Handle(), SW_SHOWMAXIMIZED);
  main.reset();
  main = reopen();
  EXPECT_TRUE(IsZoomed(main->Handle()));
  ShowWindow(main->Handle(), SW_RESTORE);
  EXPECT_EQ(ScreenRect(main->Handle()).left, placed.left);
  main.reset();

  // A placement on no screen is brought back onto the work area.
  std::optional<WindowSettings> settings = store_->ReadSettings();
  ASSERT_TRUE(settings && settings->window);
  settings->window->normal = RECT{20000, 15000, 20000 + workWidth / 2, 15000 + workHeight / 2};
  settings->window->maximized = false;
  ASSERT_TRUE(store_->WriteSettings(*settings));
  main = reopen();
  EXPECT_TRUE(Inside(ScreenRect(main->Handle()), work));
  main.reset();
  EXPECT_EQ(store_->ListAll(KindId::kRegistry).at(0).valueName, "Kept");
}

}  // namespace
