// The entry view form on real windows: check boxes, commands, dialogs answered as a user would,
// the context menu, double click and resizing, for each entry kind.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/list_value_kind.h"
#include "core/registry_kind.h"
#include "core/startup_folder_kind.h"
#include "gui/dialog_answerer.h"
#include "gui/host_windows.h"
#include "gui/pump.h"
#include "gui/screenshot.h"
#include "gui/shell_recorder.h"
#include "gui/tree_paths.h"
#include "gui/user_input.h"
#include "gui/window_reading.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/recording_journal.h"
#include "support/temp_folder.h"
#include "ui/cell_tips.h"
#include "ui/entry_view.h"
#include "ui/jump_to.h"

namespace {

using gui::PumpPending;

constexpr char kTestKey[] = "Software\\QuorvaneTest\\EntryView";
const std::string kRunKey = std::string("HKEY_CURRENT_USER\\") + kTestKey + "\\Run";
const std::string kListValue = std::string("HKEY_CURRENT_USER\\") + kTestKey + "\\Windows\\Load";

std::string ReadValue(const std::string& subkey, const std::string& name) {
  char data[1024] = {};
  DWORD size = sizeof(data) - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return "<missing>";
  }
  return data;
}

void WriteValue(const std::string& subkey, const std::string& name, const std::string& data) {
  RegSetKeyValueA(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), REG_SZ, data.c_str(),
                  static_cast<DWORD>(data.size() + 1));
}

class EntryViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    temp_ = std::make_unique<TempFolder>("qv_entry_view");
    folder_ = temp_->Path();
    storePath_ = folder_ + "\\config.xml";
    language_.SetFile(gui::SourcePath("lang/Quorvane.language"));
    store_ = std::make_unique<XmlDisabledStore>(storePath_);
    services_ = std::make_unique<KindServices>(
        KindServices{registry_, files_, links_, *store_, journal_, language_});
    host_.emplace(990, 610);
  }

  void TearDown() override {
    answers_.Clear();
    view_.reset();
    kind_.reset();
    host_.reset();
    PumpPending();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    temp_.reset();
  }

  template <typename Kind>
  void Open(std::vector<std::string> locations) {
    kind_ = std::make_unique<Kind>(*services_, std::move(locations));
    view_ = std::make_unique<EntryView>(*kind_, language_);
    view_->SetFileInfoOpener(
        [this](HWND, const std::string& path) { fileInfoPaths_.push_back(path); });
    HWND form = view_->Create(GetModuleHandleA(nullptr), Host());
    ASSERT_NE(form, nullptr);
    const RECT client = gui::ClientRect(Host());
    MoveWindow(form, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(form, SW_SHOW);
    PumpPending();
  }

  HWND Host() const { return host_->Handle(); }
  HWND List() const { return view_->List(); }
  void Command(int id) {
    SendMessageA(view_->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PumpPending();
  }
  void Select(int row) { view_->SelectAndShow(row); }
  void SelectNone() {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
  }
  std::string Cell(int row, Column column) const { return view_->Text(row, column); }

  std::unique_ptr<TempFolder> temp_;
  std::string folder_;
  std::string storePath_;
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32ShellLinks links_;
  RecordingJournal journal_;
  LanguageTable language_;
  std::unique_ptr<XmlDisabledStore> store_;
  std::unique_ptr<KindServices> services_;
  std::unique_ptr<EntryKind> kind_;
  std::unique_ptr<EntryView> view_;
  std::vector<std::string> fileInfoPaths_;
  std::optional<gui::HostWindow> host_;
  gui::DialogAnswerer answers_;
};

const std::string kRunSubkey = std::string(kTestKey) + "\\Run";

// ---- Check boxes and the Enable / Disable commands

TEST_F(EntryViewTest, ClickingTheCheckBoxOfAnUnselectedRowSwitchesThatRowOnly) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  WriteValue(kRunSubkey, "B2", "b.exe");
  WriteValue(kRunSubkey, "C3", "c.exe /min");
  Open<RegistryKind>({kRunKey});
  ASSERT_EQ(view_->Count(), 3);
  Select(0);

  ASSERT_TRUE(gui::ClickCheckBox(List(), 2));
  EXPECT_EQ(gui::StateImage(List(), 2), 1);
  EXPECT_EQ(ReadValue(kRunSubkey, "C3"), "<missing>");
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "a.exe");
  ASSERT_EQ(store_->List(KindId::kRegistry, kRunKey).size(), 1u);
  EXPECT_EQ(store_->List(KindId::kRegistry, kRunKey)[0].valueName, "C3");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kDisable);

  ASSERT_TRUE(gui::ClickCheckBox(List(), 2));
  EXPECT_EQ(gui::StateImage(List(), 2), 2);
  EXPECT_EQ(ReadValue(kRunSubkey, "C3"), "c.exe /min");
  EXPECT_TRUE(store_->List(KindId::kRegistry, kRunKey).empty());
  EXPECT_EQ(journal_.records.back().kind, JournalKind::kEnable);
  EXPECT_EQ(view_->SelectedRow(), 0);
}

// A value whose name the 8-bit text cannot carry keeps its flag in the list control: its type
// column says so, and clicking its check box is refused with a message and the mark put back.
TEST_F(EntryViewTest, ARowThatCannotAddressItsValueRefusesItsCheckBox) {
  const std::wstring name = L"bad\xD800";
  const std::wstring data = L"C:\\bad.exe";
  const std::wstring subkey(kRunSubkey.begin(), kRunSubkey.end());
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), REG_SZ, data.c_str(),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  WriteValue(kRunSubkey, "plain", "plain.exe");
  Open<RegistryKind>({kRunKey});
  ASSERT_EQ(view_->Count(), 2);
  const int bad = Cell(0, kColName) == "plain" ? 1 : 0;
  EXPECT_FALSE(view_->IsExact(bad));
  EXPECT_TRUE(view_->IsExact(1 - bad));
  EXPECT_EQ(Cell(bad, kColType), language_.T("_RegStringInexact"));

  std::string message;
  answers_.AnswerNew([&message](HWND box) {
    message = gui::DialogMessageText(box);
    gui::ClickButton(box, IDOK);
  });
  ASSERT_TRUE(gui::ClickCheckBox(List(), bad));
  EXPECT_EQ(gui::StateImage(List(), bad), 2);
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(store_->List(KindId::kRegistry, kRunKey).empty());
  EXPECT_TRUE(journal_.records.empty());
}

// A value Windows has switched off is a live row shown unchecked; its flag lives in the item
// data beside the exact flag. Checking it switches Windows' switch on; after that its check box
// is an ordinary one.
TEST_F(EntryViewTest, ARowWindowsSwitchedOffIsUncheckedAndCheckingItSwitchesItOn) {
  const std::string switches = std::string(kTestKey) + "\\Approved";
  ApprovedPlaces places;
  places.Add(kRunKey, HKEY_CURRENT_USER, switches);
  services_->approved = &places;
  WriteValue(kRunSubkey, "A1", "a.exe");
  const char off[12] = {3, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0};
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, switches.c_str(), "A1", REG_BINARY, off, 12),
            ERROR_SUCCESS);
  Open<RegistryKind>({kRunKey});
  ASSERT_EQ(view_->Count(), 1);
  EXPECT_EQ(gui::StateImage(List(), 0), 1);
  EXPECT_TRUE(view_->IsWindowsOff(0));
  EXPECT_TRUE(view_->IsExact(0));
  // The Status column is worked out when the list asks for it, from the row as it stands.
  const std::string offStatus = view_->Text(0, kColStatus);
  EXPECT_NE(offStatus.find(language_.T("_StatusWindowsOff").substr(0, 10)), std::string::npos)
      << offStatus;
  EXPECT_NE(offStatus.find(language_.T("_StatusFileMissing")), std::string::npos) << offStatus;

  Select(0);
  Command(IDC_DISABLE);  // nothing to disable: the check box is cleared already
  EXPECT_TRUE(journal_.records.empty());

  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_EQ(gui::StateImage(List(), 0), 2);
  EXPECT_FALSE(view_->IsWindowsOff(0));
  EXPECT_TRUE(view_->IsExact(0));
  EXPECT_EQ(view_->Text(0, kColStatus), language_.T("_StatusFileMissing"));
  char on[16] = {};
  DWORD size = sizeof(on);
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, switches.c_str(), "A1", RRF_RT_REG_BINARY, nullptr, on,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(on, size), SwitchedOnValue());
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "a.exe");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kEnable);

  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_EQ(gui::StateImage(List(), 0), 1);
  EXPECT_EQ(view_->Text(0, kColStatus),
            language_.T("_StatusKept") + "; " + language_.T("_StatusFileMissing"));
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "<missing>");
  EXPECT_EQ(store_->List(KindId::kRegistry, kRunKey).size(), 1u);
  services_->approved = nullptr;
}

TEST_F(EntryViewTest, EnableAndDisableCommandsActOnTheSelectedRowOnlyWhenTheyChangeIt) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  WriteValue(kRunSubkey, "B2", "b.exe");
  Open<RegistryKind>({kRunKey});
  Select(1);

  Command(IDC_ENABLE);  // already enabled: nothing happens, nothing is shown
  EXPECT_TRUE(journal_.records.empty());

  Command(IDC_DISABLE);
  EXPECT_EQ(gui::StateImage(List(), 1), 1);
  EXPECT_EQ(ReadValue(kRunSubkey, "B2"), "<missing>");
  Command(IDC_DISABLE);  // already disabled
  EXPECT_EQ(journal_.records.size(), 1u);

  Command(IDC_ENABLE);
  EXPECT_EQ(gui::StateImage(List(), 1), 2);
  EXPECT_EQ(ReadValue(kRunSubkey, "B2"), "b.exe");
  EXPECT_EQ(journal_.records.size(), 2u);
  EXPECT_EQ(gui::StateImage(List(), 0), 2);
}

TEST_F(EntryViewTest, CommandsThatNeedARowShowTheNoSelectionMessage) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  Open<RegistryKind>({kRunKey});
  SelectNone();
  for (int id :
       {IDC_REMOVE, IDC_MODIFY, IDC_PROPERTY, IDC_ABOUTFILE, IDC_ENABLE, IDC_DISABLE, IDC_JUMPTO}) {
    std::string shown;
    answers_.AnswerNew([&shown](HWND box) {
      shown = gui::DialogMessageText(box);
      gui::ClickButton(box, IDOK);
    });
    Command(id);
    EXPECT_EQ(shown, language_.T("_YouMustSelectAnItem")) << "command " << id;
  }
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "a.exe");
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_TRUE(fileInfoPaths_.empty());
}

TEST_F(EntryViewTest, RefreshNeverRunsEnableOrDisable) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRunKey, "Old", "old.exe"));
  Open<RegistryKind>({kRunKey});
  for (int i = 0; i < 3; ++i) Command(IDC_REFRESH);

  ASSERT_EQ(view_->Count(), 2);
  EXPECT_EQ(Cell(0, kColName), "Old");
  EXPECT_EQ(gui::StateImage(List(), 0), 1);
  EXPECT_EQ(gui::StateImage(List(), 1), 2);
  EXPECT_TRUE(journal_.records.empty());
  EXPECT_EQ(store_->List(KindId::kRegistry, kRunKey).size(), 1u);
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "a.exe");
  EXPECT_FALSE(view_->Filling());
}

// ---- Remove, Add and Modify through the real windows

// The icon a message box shows, or null.
HICON MessageBoxIcon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  }
  return nullptr;
}

TEST_F(EntryViewTest, RemoveNamesTheEntryWithAWarningAndOnlyYesRemoves) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  WriteValue(kRunSubkey, "B2", "b.exe -x");
  Open<RegistryKind>({kRunKey});
  Select(1);

  std::string question;
  bool yesNoOnly = false;
  HICON icon = nullptr;
  answers_.AnswerNew([&](HWND box) {
    question = gui::DialogMessageText(box);
    yesNoOnly = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr &&
                GetDlgItem(box, IDOK) == nullptr;
    icon = MessageBoxIcon(box);
    gui::ClickButton(box, IDNO);
  });
  Command(IDC_REMOVE);
  EXPECT_NE(question.find("B2\nb.exe -x"), std::string::npos) << question;
  EXPECT_TRUE(yesNoOnly);
  EXPECT_EQ(icon, LoadIconA(nullptr, IDI_WARNING));
  EXPECT_EQ(ReadValue(kRunSubkey, "B2"), "b.exe -x");

  answers_.AnswerNew([](HWND box) { gui::ClickButton(box, IDYES); });
  Command(IDC_REMOVE);
  EXPECT_EQ(ReadValue(kRunSubkey, "B2"), "<missing>");
  ASSERT_EQ(view_->Count(), 1);
  EXPECT_EQ(view_->SelectedRow(), 0);  // the bottom row was removed: the new bottom row
}

// A command far beyond what a message box can show is cut, and the question still names it.
TEST_F(EntryViewTest, RemoveOfAHugeCommandShowsItCutWithAnEllipsis) {
  const std::string huge = "C:\\huge.exe " + std::string(40000, 'a');
  WriteValue(kRunSubkey, "Huge", huge);
  Open<RegistryKind>({kRunKey});
  Select(0);
  std::string question;
  answers_.AnswerNew([&](HWND box) {
    question = gui::DialogMessageText(box);
    gui::ClickButton(box, IDNO);
  });
  Command(IDC_REMOVE);
  EXPECT_NE(question.find("Huge\nC:\\huge.exe aaa"), std::string::npos) << question.substr(0, 200);
  EXPECT_NE(question.find("aaa..."), std::string::npos);
  EXPECT_LT(question.size(), 2000u);
  // No: the entry stays.
  Command(IDC_REFRESH);
  EXPECT_EQ(view_->Count(), 1);
}

TEST_F(EntryViewTest, AddChecksTheNameThenThePathAndWritesWhatWasTyped) {
  Open<RegistryKind>({kRunKey});
  std::vector<std::string> messages;
  std::string typeShown, locationShown;
  answers_.AnswerNew([&](HWND dialog) {
    typeShown = gui::ItemText(dialog, IDC_EDIT_TYPE);
    locationShown = gui::ItemText(dialog, IDC_EDIT_LOCATION);
    // Both empty: only the name is complained about.
    answers_.AnswerNew([&](HWND box) {
      messages.push_back(gui::DialogMessageText(box));
      gui::ClickButton(box, IDOK);
    });
    answers_.AnswerNew([&, dialog](HWND box) {
      messages.push_back(gui::DialogMessageText(box));
      gui::ClickButton(box, IDOK);
      // Now a path too, and OK closes the dialog.
      SetWindowTextA(GetDlgItem(dialog, IDC_EDIT_PATH), "\"C:\\Tools\\new.exe\" /tray");
      gui::ClickButton(dialog, IDOK);
    });
    gui::ClickButton(dialog, IDOK);
    SetWindowTextA(GetDlgItem(dialog, IDC_EDIT_NAME), "NewTool");
    gui::ClickButton(dialog, IDOK);
  });
  Command(IDC_ADDNEW);

  EXPECT_TRUE(answers_.Finished());
  EXPECT_EQ(typeShown, language_.T("_RegString"));
  EXPECT_EQ(locationShown, kRunKey);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], language_.T("_ApplicationNameInvalid"));
  EXPECT_EQ(messages[1], language_.T("_ApplicationPathInvalid"));
  EXPECT_EQ(ReadValue(kRunSubkey, "NewTool"), "\"C:\\Tools\\new.exe\" /tray");
  ASSERT_EQ(view_->Count(), 1);
}

TEST_F(EntryViewTest, ModifyPresetsTheRowAndCancelledBrowseKeepsTheTypedPath) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  Open<RegistryKind>({kRunKey});
  Select(0);
  std::string nameShown, pathShown;
  answers_.AnswerNew([&](HWND dialog) {
    nameShown = gui::ItemText(dialog, IDC_EDIT_NAME);
    pathShown = gui::ItemText(dialog, IDC_EDIT_PATH);
    SetWindowTextA(GetDlgItem(dialog, IDC_EDIT_PATH), "a2.exe /quiet");
    answers_.AnswerNew([dialog](HWND openFile) {
      gui::ClickButton(openFile, IDCANCEL);
      // Back in the Modify dialog after the cancelled Browse: confirm.
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    gui::ClickButton(dialog, IDC_BROWSE);
  });
  Command(IDC_MODIFY);

  EXPECT_TRUE(answers_.Finished());
  EXPECT_EQ(nameShown, "A1");
  EXPECT_EQ(pathShown, "a.exe");
  EXPECT_EQ(ReadValue(kRunSubkey, "A1"), "a2.exe /quiet");
  ASSERT_EQ(journal_.records.size(), 1u);
  EXPECT_EQ(journal_.records[0].kind, JournalKind::kModify);
}

// ---- Context menu, double click, About file

UINT MenuState(HMENU menu, UINT id) {
  return GetMenuState(GetSubMenu(menu, 1), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
}

TEST_F(EntryViewTest, ButtonsAndContextMenuGrayWhatTheSelectionCannotDo) {
  WriteValue(kRunSubkey, "A1", "a.exe");
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRunKey, "Old", "old.exe"));
  Open<RegistryKind>({kRunKey});  // row 0 disabled (Old), row 1 enabled (A1)

  struct Case {
    int select;
    std::vector<UINT> grayed;
    std::vector<UINT> usable;
  };
  const Case cases[] = {
      {-1,
       {IDC_REMOVE, IDC_MODIFY, IDC_PROPERTY, IDC_ABOUTFILE, IDC_ENABLE, IDC_DISABLE, IDC_JUMPTO},
       {IDC_ADDNEW, IDC_REFRESH}},
      {0,
       {IDC_DISABLE},
       {IDC_ADDNEW, IDC_REMOVE, IDC_MODIFY, IDC_ENABLE, IDC_REFRESH, IDC_PROPERTY, IDC_ABOUTFILE,
        IDC_JUMPTO}},
      {1,
       {IDC_ENABLE},
       {IDC_ADDNEW, IDC_REMOVE, IDC_MODIFY, IDC_DISABLE, IDC_REFRESH, IDC_PROPERTY, IDC_ABOUTFILE,
        IDC_JUMPTO}},
  };
  for (const Case& c : cases) {
    if (c.select < 0)
      SelectNone();
    else
      Select(c.select);
    HMENU menu = view_->BuildContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 1)), 12);
    // The buttons follow the same rule (Jump to has none).
    for (UINT id : c.grayed) {
      EXPECT_NE(MenuState(menu, id), 0u) << "row " << c.select << " id " << id;
      if (HWND button = GetDlgItem(view_->Handle(), static_cast<int>(id))) {
        EXPECT_FALSE(IsWindowEnabled(button)) << "row " << c.select << " id " << id;
      }
    }
    for (UINT id : c.usable) {
      EXPECT_EQ(MenuState(menu, id), 0u) << "row " << c.select << " id " << id;
      if (HWND button = GetDlgItem(view_->Handle(), static_cast<int>(id))) {
        EXPECT_TRUE(IsWindowEnabled(button)) << "row " << c.select << " id " << id;
      }
    }
    // A menu shows the command's key in its key column; the button does not.
    char text[256] = {};
    GetMenuStringA(GetSubMenu(menu, 1), IDC_REFRESH, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "Re&fresh\tF5");
    EXPECT_EQ(gui::ItemText(view_->Handle(), IDC_REFRESH), "Re&fresh");
    DestroyMenu(menu);
  }
}

TEST_F(EntryViewTest, DoubleClickOpensFileInformationForTheSelectedRowOnly) {
  WriteValue(kRunSubkey, "A1", "\"C:\\Tools\\app.exe\" /min");
  Open<RegistryKind>({kRunKey});
  const RECT client = gui::ClientRect(List());
  const LPARAM emptySpot = MAKELPARAM(client.right / 2, client.bottom - 10);

  SelectNone();
  SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, emptySpot);
  PumpPending();
  EXPECT_TRUE(fileInfoPaths_.empty());

  Select(0);
  SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, emptySpot);
  PumpPending();
  // Clicking the empty area may clear the selection in some list versions; the command then
  // needs the row again, so the file information is checked through the command as well.
  Select(0);
  Command(IDC_ABOUTFILE);
  ASSERT_FALSE(fileInfoPaths_.empty());
  EXPECT_EQ(fileInfoPaths_.back(), "C:\\Tools\\app.exe");
}

// ---- Size handling

RECT ChildRect(HWND parent, int id) {
  return gui::RectInParent(GetDlgItem(parent, id));
}

TEST_F(EntryViewTest, ResizingMovesOnlyTheListAndBannerEdges) {
  Open<RegistryKind>({kRunKey});
  HWND form = view_->Handle();
  const RECT formRect = gui::ClientRect(form);
  const RECT list = ChildRect(form, IDC_LIST);
  const RECT banner = ChildRect(form, IDC_BANNER);
  const RECT button = ChildRect(form, IDC_ABOUTFILE);

  for (int delta : {120, -150}) {
    SetWindowPos(form, nullptr, 0, 0, formRect.right + delta, formRect.bottom + delta / 2,
                 SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    const RECT newList = ChildRect(form, IDC_LIST);
    const RECT newBanner = ChildRect(form, IDC_BANNER);
    const RECT newButton = ChildRect(form, IDC_ABOUTFILE);
    EXPECT_EQ(newList.left, list.left);
    EXPECT_EQ(newList.top, list.top);
    EXPECT_EQ(newList.right, list.right + delta);
    EXPECT_EQ(newList.bottom, list.bottom + delta / 2);
    EXPECT_EQ(newBanner.left, banner.left);
    EXPECT_EQ(newBanner.top, banner.top);
    EXPECT_EQ(newBanner.right, banner.right + delta);
    EXPECT_EQ(newBanner.bottom, banner.bottom);
    EXPECT_EQ(newButton.left, button.left);
    EXPECT_EQ(newButton.right, button.right);
    EXPECT_EQ(newButton.top, button.top);
  }
}

// ---- The other two kinds through the same form

TEST_F(EntryViewTest, StartupFolderRowsSwitchWithTheirCheckBoxes) {
  const std::string startup = folder_ + "\\Startup";
  CreateDirectoryA(startup.c_str(), nullptr);
  ASSERT_TRUE(links_.WriteLink(startup + "\\Editor.lnk", "C:\\windows\\notepad.exe"));
  Open<StartupFolderKind>({startup});
  ASSERT_EQ(view_->Count(), 1);
  EXPECT_EQ(Cell(0, kColData), "C:\\windows\\notepad.exe");

  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_EQ(gui::StateImage(List(), 0), 1);
  EXPECT_EQ(GetFileAttributesA((startup + "\\Editor.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(store_->List(KindId::kStartupFolder, startup).size(), 1u);

  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_NE(GetFileAttributesA((startup + "\\Editor.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(store_->List(KindId::kStartupFolder, startup).empty());
}

TEST_F(EntryViewTest, ListValueItemsSwitchWithTheirCheckBoxes) {
  const std::string windowsKey = std::string(kTestKey) + "\\Windows";
  WriteValue(windowsKey, "Load", "a.exe b.exe");
  Open<ListValueKind>({kListValue});
  ASSERT_EQ(view_->Count(), 2);

  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_EQ(ReadValue(windowsKey, "Load"), "b.exe");
  ASSERT_TRUE(gui::ClickCheckBox(List(), 0));
  EXPECT_EQ(ReadValue(windowsKey, "Load"), "b.exe,a.exe");
}

// ---- Sorting, tips and Jump to

// Clicks a column's header as the user does.
void ClickHeader(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT rect{};
  SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(header, WM_LBUTTONUP, 0, at);
  PumpPending();
}

int SortMark(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  HDITEMA item{};
  item.mask = HDI_FORMAT;
  SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

TEST_F(EntryViewTest, AHeaderClickSortsByValueAndTheRowsKeepWhatTheKindsNeed) {
  const std::string switches = std::string(kTestKey) + "\\Approved";
  ApprovedPlaces places;
  places.Add(kRunKey, HKEY_CURRENT_USER, switches);
  services_->approved = &places;
  WriteValue(kRunSubkey, "App 10", "ten.exe");
  WriteValue(kRunSubkey, "app 9", "nine.exe");
  WriteValue(kRunSubkey, "Beta", "beta.exe");
  // Switched off in 2024: the Status text carries that date.
  const unsigned char off[12] = {3, 0, 0, 0, 0x00, 0xc0, 0x83, 0xed, 0x8a, 0x49, 0xda, 0x01};
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, switches.c_str(), "Beta", REG_BINARY, off, 12),
            ERROR_SUCCESS);
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRunKey, "Zed", "zed.exe"));
  Open<RegistryKind>({kRunKey});
  ASSERT_EQ(view_->Count(), 4);
  auto names = [this] {
    std::vector<std::string> shown;
    for (int row = 0; row < view_->Count(); ++row) shown.push_back(Cell(row, kColName));
    return shown;
  };
  auto rowOf = [this](const std::string& name) {
    for (int row = 0; row < view_->Count(); ++row) {
      if (Cell(row, kColName) == name) return row;
    }
    return -1;
  };
  const std::string offText = language_.T("_StatusWindowsOff").substr(0, 10);
  const std::string betaStatus = Cell(rowOf("Beta"), kColStatus);
  ASSERT_NE(betaStatus.find("2024"), std::string::npos) << betaStatus;

  struct Step {
    bool refresh;  // Refresh instead of a click
    std::vector<std::string> order;
    int mark;
  };
  const Step steps[] = {
      {false, {"app 9", "App 10", "Beta", "Zed"}, HDF_SORTUP},
      {false, {"Zed", "Beta", "App 10", "app 9"}, HDF_SORTDOWN},
      {true, {"Zed", "Beta", "App 10", "app 9"}, HDF_SORTDOWN},
  };
  for (const Step& step : steps) {
    if (step.refresh) {
      Command(IDC_REFRESH);
    } else {
      ClickHeader(List(), kColName);
    }
    EXPECT_EQ(names(), step.order);
    EXPECT_EQ(SortMark(List(), kColName), step.mark);
    EXPECT_EQ(SortMark(List(), kColData), 0);
    // Check marks, Windows' switch and its date stay with their rows.
    EXPECT_EQ(gui::StateImage(List(), rowOf("Zed")), 1);
    EXPECT_EQ(gui::StateImage(List(), rowOf("App 10")), 2);
    EXPECT_TRUE(view_->IsWindowsOff(rowOf("Beta")));
    EXPECT_FALSE(view_->IsWindowsOff(rowOf("App 10")));
    EXPECT_EQ(Cell(rowOf("Beta"), kColStatus), betaStatus);
    EXPECT_EQ(Cell(rowOf("app 9"), kColStatus).find(offText), std::string::npos);
  }

  // An operation on a sorted row acts on that row's entry.
  ASSERT_TRUE(gui::ClickCheckBox(List(), rowOf("App 10")));
  EXPECT_EQ(ReadValue(kRunSubkey, "App 10"), "<missing>");
  EXPECT_EQ(ReadValue(kRunSubkey, "app 9"), "nine.exe");
  Command(IDC_REFRESH);
  EXPECT_EQ(names(), (std::vector<std::string>{"Zed", "Beta", "App 10", "app 9"}));
  EXPECT_EQ(gui::StateImage(List(), rowOf("App 10")), 1);
  services_->approved = nullptr;
}

TEST_F(EntryViewTest, ACutOffCellShowsItsWholeTextInATipAndAWholeOneNone) {
  const std::string longCommand =
      "\"C:\\Program Files\\Some Vendor\\Some Product\\helper.exe\" /background /quiet";
  WriteValue(kRunSubkey, "A1", longCommand);
  Open<RegistryKind>({kRunKey});
  ASSERT_NE(view_->Tips(), nullptr);
  SendMessageA(List(), LVM_SETCOLUMNWIDTH, kColData, 60);
  auto hover = [this](int column) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageA(List(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(List(), WM_MOUSEMOVE, 0, at);
    SendMessageA(List(), WM_MOUSEHOVER, 0, at);
    PumpPending();
  };

  hover(kColData);
  EXPECT_EQ(view_->Tips()->Shown(), longCommand);
  EXPECT_TRUE(IsWindowVisible(view_->Tips()->Tip()));
  hover(kColName);  // "A1" fits its column
  EXPECT_EQ(view_->Tips()->Shown(), "");
  EXPECT_FALSE(IsWindowVisible(view_->Tips()->Tip()));
}

TEST_F(EntryViewTest, JumpToOpensTheRegistryEditorAtTheKeyOrExplorerAtTheFile) {
  const std::string startup = folder_ + "\\Startup";
  CreateDirectoryA(startup.c_str(), nullptr);
  ASSERT_TRUE(links_.WriteLink(startup + "\\Editor.lnk", "C:\\windows\\notepad.exe"));
  WriteValue(kRunSubkey, "A1", "a.exe");
  WriteValue(std::string(kTestKey) + "\\Windows", "Load", "one.exe");

  struct Case {
    std::function<void()> open;
    std::string file;
    std::string params;
    std::string lastKey;  // empty: the editor's key is not touched
  };
  const Case cases[] = {
      {[this] { Open<RegistryKind>({kRunKey}); }, "regedit.exe", "/m", "Computer\\" + kRunKey},
      {[this] { Open<ListValueKind>({kListValue}); }, "regedit.exe", "/m",
       std::string("Computer\\HKEY_CURRENT_USER\\") + kTestKey + "\\Windows"},
      {[this, &startup] { Open<StartupFolderKind>({startup}); }, "explorer.exe",
       "/select,\"" + startup + "\\Editor.lnk\"", ""},
  };
  for (const Case& c : cases) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRegeditSettingsKey, "LastKey");
    view_.reset();
    c.open();
    ASSERT_EQ(view_->Count(), 1);
    Select(0);
    gui::ShellRecorder shell;
    Command(IDC_JUMPTO);
    ASSERT_EQ(shell.Calls().size(), 1u) << c.file;
    EXPECT_EQ(shell.Calls()[0].file, c.file);
    EXPECT_EQ(shell.Calls()[0].params, c.params);
    EXPECT_EQ(ReadValue(kRegeditSettingsKey, "LastKey"),
              c.lastKey.empty() ? "<missing>" : c.lastKey);
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRegeditSettingsKey, "LastKey");
}

// ---- What a person sees

TEST_F(EntryViewTest, ScreenshotsOfEachKindWithRows) {
  WriteValue(kRunSubkey, "Backup Agent", "\"C:\\Program Files\\Backup\\agent.exe\" /background");
  WriteValue(kRunSubkey, "Sound Mixer", "C:\\Windows\\mixer.exe -tray");
  WriteValue(kRunSubkey, "Updater", "C:\\Tools\\update.exe");
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRunKey, "Chat Client", "C:\\Chat\\chat.exe"));
  Open<RegistryKind>({kRunKey});
  EXPECT_FALSE(gui::SaveScreenshot(Host(), "entry_view_registry").empty());

  const std::string startup = folder_ + "\\Startup";
  CreateDirectoryA(startup.c_str(), nullptr);
  ASSERT_TRUE(links_.WriteLink(startup + "\\Editor.lnk", "C:\\windows\\notepad.exe"));
  ASSERT_TRUE(links_.WriteLink(startup + "\\Console.lnk", "C:\\windows\\system32\\cmd.exe"));
  view_.reset();
  Open<StartupFolderKind>({startup});
  EXPECT_FALSE(gui::SaveScreenshot(Host(), "entry_view_startup_folder").empty());

  WriteValue(std::string(kTestKey) + "\\Windows", "Load", "C:\\A\\one.exe,C:\\B\\two.exe");
  view_.reset();
  Open<ListValueKind>({kListValue});
  EXPECT_FALSE(gui::SaveScreenshot(Host(), "entry_view_list_value").empty());
}

}  // namespace
