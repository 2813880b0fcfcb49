// The Tools menu's "_Language" submenu: one item per translation found, the one in use checked.
// Choosing one puts it beside the exe and says it shows from the next start.
#pragma once

#include <windows.h>

#include <vector>

#include "store/language_files.h"

class LanguageTable;

class LanguageMenu {
 public:
  LanguageMenu(const LanguageFiles& files, const LanguageTable& language)
      : files_(files), language_(language) {}

  // Empties submenu and lists the translations in it (command IDM_LANGUAGE_FIRST + index).
  void Fill(HMENU submenu);
  // Handles a command of the submenu: copies the chosen translation, tells the user in a
  // message box owned by owner and checks the new one. False for any other command.
  bool OnCommand(HWND owner, int id);

 private:
  const LanguageFiles& files_;
  const LanguageTable& language_;
  HMENU submenu_ = nullptr;
  std::vector<LanguageOption> options_;
};

// The submenu of menu (at any depth) whose item text is text; null when there is none.
HMENU FindSubmenu(HMENU menu, const char* text);
