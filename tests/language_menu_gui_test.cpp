// The Tools menu's Language submenu on a real window and menu: what it lists and checks, and what
// the user is told when a choice is made or fails.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/dialog_answerer.h"
#include "gui/host_windows.h"
#include "gui/user_input.h"
#include "gui/window_reading.h"
#include "platform/file_system.h"
#include "platform/status.h"
#include "res/resource.h"
#include "store/language_files.h"
#include "store/language_table.h"
#include "support/temp_folder.h"
#include "ui/language_menu.h"

namespace {

const char kGerman[] = "[String]\r\n_LanguageName=Deutsch\r\n";
const char kEnglish[] = "[String]\r\n_LanguageName=English\r\n";

struct Item {
  std::string text;
  bool checked = false;
  UINT id = 0;
  bool operator==(const Item&) const = default;
};

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back({text,
                     (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0,
                     GetMenuItemID(menu, i)});
  }
  return items;
}

class LanguageMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [code, text] :
         {std::pair{"de", kGerman}, std::pair{"en", kEnglish}, std::pair{"x&y", "[String]\r\n"}}) {
      CreateDirectoryA(languages_.c_str(), nullptr);
      CreateDirectoryA((languages_ + "\\" + code).c_str(), nullptr);
      ASSERT_TRUE(WriteBytes(languages_ + "\\" + code + "\\Quorvane.language", text));
    }
    ASSERT_TRUE(WriteBytes(active_, kEnglish));
    ASSERT_TRUE(WriteBytes(folder_ / "Test.language",
                           "[String]\r\n_ToolQuorvane=Quorvane test\r\n"
                           "_LanguageRestart=From the next start\r\n"
                           "_LanguageNotChanged=Not changed to %s.\r\n"));
    language_.SetFile(folder_ / "Test.language");
    bar_ = CreateMenu();
    tools_ = CreatePopupMenu();
    submenu_ = CreatePopupMenu();
    AppendMenuA(tools_, MF_STRING, IDM_LOGVIEWER, "Journal");
    AppendMenuA(tools_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu_), "_Language");
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(tools_), "Tools");
    SetMenu(host_.Handle(), bar_);
  }

  // Runs a command of the submenu and returns the text of the message box it shows.
  std::string Choose(int id, bool* handled = nullptr) {
    std::string shown;
    answers_.AnswerNew([&shown](HWND box) {
      shown = gui::DialogMessageText(box);
      gui::ClickButton(box, IDOK);
    });
    const bool result = menu_.OnCommand(host_.Handle(), id);
    if (handled) *handled = result;
    return shown;
  }

  TempFolder folder_{"qv-language-menu"};
  std::string languages_ = folder_ / "languages";
  std::string active_ = folder_ / "Quorvane.language";
  LanguageTable language_;
  Win32FileSystem files_;
  LanguageFiles languageFiles_{files_, languages_, active_};
  LanguageMenu menu_{languageFiles_, language_};
  gui::HostWindow host_{400, 200};
  gui::DialogAnswerer answers_;
  HMENU bar_ = nullptr;
  HMENU tools_ = nullptr;
  HMENU submenu_ = nullptr;
};

TEST_F(LanguageMenuTest, ListsTheTranslationsAndMovesTheCheckToTheChosenOne) {
  ASSERT_EQ(FindSubmenu(bar_, "_Language"), submenu_);
  AppendMenuA(submenu_, MF_STRING, 1, "left from before");
  menu_.Fill(submenu_);
  const UINT first = IDM_LANGUAGE_FIRST;
  // A name's '&' is shown, not taken as an access key.
  EXPECT_EQ(Items(submenu_), (std::vector<Item>{{"Deutsch", false, first},
                                                {"English", true, first + 1},
                                                {"x&&y", false, first + 2}}));

  bool handled = false;
  EXPECT_EQ(Choose(IDM_LANGUAGE_FIRST, &handled), "From the next start");
  EXPECT_TRUE(handled);
  EXPECT_TRUE(answers_.Finished());
  EXPECT_EQ(ReadBytes(active_), kGerman);
  EXPECT_EQ(Items(submenu_), (std::vector<Item>{{"Deutsch", true, first},
                                                {"English", false, first + 1},
                                                {"x&&y", false, first + 2}}));

  // Commands that are not the submenu's are left to the window.
  EXPECT_FALSE(menu_.OnCommand(host_.Handle(), IDM_LOGVIEWER));
  EXPECT_FALSE(menu_.OnCommand(host_.Handle(), IDM_LANGUAGE_FIRST - 1));
  EXPECT_TRUE(menu_.OnCommand(host_.Handle(), IDM_LANGUAGE_FIRST + 5));  // no such item: nothing
  EXPECT_EQ(ReadBytes(active_), kGerman);
}

TEST_F(LanguageMenuTest, AFailedChoiceSaysWhyAndKeepsTheCheck) {
  menu_.Fill(submenu_);
  HANDLE held = CreateFileA(active_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string shown = Choose(IDM_LANGUAGE_FIRST);
  CloseHandle(held);
  EXPECT_EQ(shown.rfind("Not changed to Deutsch.", 0), 0u) << shown;
  // The system's own reason follows the program's text.
  EXPECT_GT(shown.size(), std::string("Not changed to Deutsch. ").size()) << shown;
  EXPECT_EQ(ReadBytes(active_), kEnglish);
  EXPECT_TRUE(Items(submenu_).at(1).checked);
}

TEST(LanguageMenuResource, TheToolsMenuHoldsTheLanguageSubmenu) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  HMENU tools = FindSubmenu(menu, "_Tools");
  ASSERT_NE(tools, nullptr);
  EXPECT_NE(FindSubmenu(tools, "_Language"), nullptr);
  DestroyMenu(menu);
}

}  // namespace
