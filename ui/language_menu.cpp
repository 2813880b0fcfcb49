#include "ui/language_menu.h"

#include <string>

#include "platform/status.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/safe_format.h"

void LanguageMenu::Fill(HMENU submenu) {
  submenu_ = submenu;
  if (!submenu_) return;
  while (GetMenuItemCount(submenu_) > 0) DeleteMenu(submenu_, 0, MF_BYPOSITION);
  options_ = files_.Scan();
  if (options_.size() > IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST + 1) {
    options_.resize(IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST + 1);
  }
  for (std::size_t i = 0; i < options_.size(); ++i) {
    // A name with '&' shows it, not an access key.
    std::string text;
    for (const char c : options_[i].name) text += c == '&' ? std::string("&&") : std::string(1, c);
    AppendMenuA(submenu_, MF_STRING | (options_[i].current ? MF_CHECKED : MF_UNCHECKED),
                IDM_LANGUAGE_FIRST + i, text.c_str());
  }
}

bool LanguageMenu::OnCommand(HWND owner, int id) {
  if (id < IDM_LANGUAGE_FIRST || id > IDM_LANGUAGE_LAST) return false;
  const std::size_t index = static_cast<std::size_t>(id - IDM_LANGUAGE_FIRST);
  if (index >= options_.size()) return true;
  const Status copied = files_.Choose(options_[index].file);
  const std::string caption = language_.T("_ToolQuorvane");
  if (copied) {
    MessageBoxA(owner, language_.T("_LanguageRestart").c_str(), caption.c_str(),
                MB_OK | MB_ICONINFORMATION);
    Fill(submenu_);
  } else {
    const std::string text = WithSystemReason(
        SafeFormat(language_.T("_LanguageNotChanged"), {options_[index].name}), copied);
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
  }
  return true;
}

HMENU FindSubmenu(HMENU menu, const char* text) {
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    if (!popup) continue;
    char item[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), item, sizeof item, MF_BYPOSITION);
    if (lstrcmpA(item, text) == 0) return popup;
    if (HMENU found = FindSubmenu(popup, text)) return found;
  }
  return nullptr;
}
