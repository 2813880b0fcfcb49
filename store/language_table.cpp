#include "store/language_table.h"

#include <new>

namespace {

constexpr char kSection[] = "String";
// Texts are read into a buffer of this many bytes, the terminating zero included.
constexpr DWORD kTextBytes = 65535;

std::string WindowText(HWND window) {
  std::string text(kTextBytes, '\0');
  const int length = GetWindowTextA(window, text.data(), static_cast<int>(kTextBytes));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

void TranslateOneWindow(const LanguageTable& table, HWND window) {
  const std::string text = WindowText(window);
  if (text.empty()) return;  // an unnamed static keeps its empty text
  const std::string translated = ExpandEscapes(table.T(text));
  if (!translated.empty() && translated != text) SetWindowTextA(window, translated.c_str());
}

BOOL CALLBACK TranslateChild(HWND child, LPARAM param) {
  // No exception may leave a system callback; a failed allocation skips this window.
  try {
    TranslateOneWindow(*reinterpret_cast<const LanguageTable*>(param), child);
  } catch (const std::bad_alloc&) {
  }
  return TRUE;
}

// The item's text by position; empty for separators, bitmaps and items without text.
std::string MenuItemText(HMENU menu, UINT position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STRING;
  if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return std::string();
  if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) != 0 || info.cch == 0) {
    return std::string();
  }
  std::string text(static_cast<std::size_t>(info.cch) + 1, '\0');
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return std::string();
  text.resize(info.cch);
  return text;
}

}  // namespace

std::string LanguageTable::T(const std::string& key, bool expand) const {
  if (file_.empty()) return key;  // no file set: never fall back to the system's win.ini
  std::string text(kTextBytes, '\0');
  const DWORD length =
      GetPrivateProfileStringA(kSection, key.c_str(), "", text.data(), kTextBytes, file_.c_str());
  text.resize(length);
  if (text.empty()) return key;
  return expand ? ExpandEscapes(text) : text;
}

void LanguageTable::TranslateWindow(HWND window) const {
  if (!IsWindow(window)) return;
  TranslateOneWindow(*this, window);
  EnumChildWindows(window, TranslateChild, reinterpret_cast<LPARAM>(this));
}

void LanguageTable::TranslateMenu(HMENU menu) const {
  if (!IsMenu(menu)) return;
  const int count = GetMenuItemCount(menu);
  for (int index = 0; index < count; ++index) {
    const UINT position = static_cast<UINT>(index);
    if (HMENU submenu = GetSubMenu(menu, index)) TranslateMenu(submenu);
    const std::string text = MenuItemText(menu, position);
    if (text.empty()) continue;  // separators keep their type and stay without text
    const std::string translated = T(text);
    if (translated.empty() || translated == text) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(translated.c_str());
    SetMenuItemInfoA(menu, position, TRUE, &info);
  }
}

LanguageTable& AppLanguage() {
  static LanguageTable table;
  return table;
}
