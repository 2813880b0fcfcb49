// The main window (dialog 129): the tree of autorun locations on the left, the shown entry view
// on the right, and the menu. It owns the location views (one per catalogue node) and their forms.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <vector>

#include "core/catalogue.h"
#include "core/entry_kind.h"
#include "platform/file_system.h"
#include "store/language_files.h"
#include "store/window_settings.h"
#include "ui/dialog_base.h"
#include "ui/entry_view.h"
#include "ui/language_menu.h"
#include "ui/message_loop.h"
#include "ui/splitter.h"
#include "ui/view_host.h"

class LanguageTable;
class StartupMarks;

class MainWindow final : public DialogBase, public MessageFilter, public IdleHandler {
 public:
  // Takes the catalogue and the location views made from it (one per node, in view-index
  // order); no window exists yet.
  MainWindow(std::vector<CatalogueNode> catalogue, std::vector<std::unique_ptr<EntryKind>> kinds,
             const LanguageTable& language);
  ~MainWindow() override;

  // Creates the main window (hidden until the caller shows it); null on failure.
  HWND Create(HINSTANCE instance);
  // Start-up marks to take while the window is built and first idle (null: none).
  void SetMarks(StartupMarks* marks) { marks_ = marks; }
  // Where the placement and the splitter position are read at creation and written when the
  // window closes (null: not remembered). Set before Create.
  void SetSettingsStore(SettingsStore* settings) { settings_ = settings; }
  // Shows the created window where it was last closed, maximised the first time.
  void Show();
  // The smallest window size at which the tree and every button of the forms are whole.
  SIZE MinimumWindowSize() const;

  HWND Tree() const { return tree_; }
  Splitter& SplitBar() { return splitter_; }
  ViewHost& Host() { return host_; }
  EntryView& View(int index) { return *views_.at(index); }
  bool HidesWindowsEntries() const { return hideWindowsEntries_; }
  int ViewCount() const { return static_cast<int>(views_.size()); }
  const std::vector<CatalogueNode>& Catalogue() const { return catalogue_; }
  HTREEITEM TreeItem(int viewIndex) const { return treeItems_.at(viewIndex); }

  bool PreTranslateMessage(MSG& message) override;
  bool OnIdle() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool OnSize(UINT type, int width, int height) override;
  // Grays the "_Operation" items the shown view cannot offer (as its buttons are), keeps the
  // minimum size, fills the "_Language" submenu as it opens, and saves the placement when the
  // window goes.
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetIcons();
  void BuildTree();
  HWND EnsureView(int index);
  void SwitchView(const NMTREEVIEWA& change);
  void SetTitle();
  void Quit();
  void Mark(const char* name);
  void SetPaneMinimums();
  void SaveSettings();
  // Hides or shows Windows' own entries in every view, with the menu's check mark.
  void SetHideWindowsEntries(bool hide);

  const LanguageTable& language_;
  Win32FileSystem files_;
  LanguageFiles languageFiles_;  // the translations beside the exe
  LanguageMenu languageMenu_;
  HMENU languagePopup_ = nullptr;  // Tools > "_Language", part of the window's menu
  std::vector<CatalogueNode> catalogue_;
  std::vector<std::unique_ptr<EntryKind>> kinds_;  // outlive the forms that use them
  std::vector<std::unique_ptr<EntryView>> views_;
  std::vector<HTREEITEM> treeItems_;
  HINSTANCE instance_ = nullptr;
  Splitter splitter_;
  HWND tree_ = nullptr;
  HIMAGELIST images_ = nullptr;
  ViewHost host_;
  HACCEL accelerators_ = nullptr;
  StartupMarks* marks_ = nullptr;
  SettingsStore* settings_ = nullptr;
  std::optional<WindowSettings> remembered_;
  bool hideWindowsEntries_ = false;
};

// Runs the main window with the UI thread's message loop until the user quits; returns the
// quit message's exit code (2 after "_Exit"), or 0 when the window cannot be created. marks, when
// given, are taken along the way; settings, when given, remember the window's placement.
int RunMainWindow(HINSTANCE instance, std::vector<CatalogueNode> catalogue,
                  std::vector<std::unique_ptr<EntryKind>> kinds, const LanguageTable& language,
                  StartupMarks* marks = nullptr, SettingsStore* settings = nullptr);
