#include "ui/translate.h"

#include <algorithm>
#include <new>
#include <string>

#include "store/escape_expand.h"
#include "store/language_table.h"

namespace {

// The longest window text read, the terminating zero included.
constexpr int kTextBytes = 65535;

std::string WindowText(HWND window) {
  // The length may count more bytes than the text has, never fewer.
  const int length = std::min(GetWindowTextLengthA(window) + 1, kTextBytes);
  if (length <= 1) return std::string();
  std::string text(static_cast<std::size_t>(length), '\0');
  const int copied = GetWindowTextA(window, text.data(), length);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// A menu text names its key after a backslash-t pair ("Re&fresh\tF5"): a menu shows it in its
// own column after a tab, a button or label shows no key.
constexpr char kKeyColumn[] = "\\t";

std::string MenuText(const std::string& text) {
  std::string result = text;
  for (std::size_t at = result.find(kKeyColumn); at != std::string::npos;
       at = result.find(kKeyColumn, at + 1)) {
    result.replace(at, 2, "\t");
  }
  return result;
}

std::string WithoutKeyColumn(const std::string& text) {
  return text.substr(0, text.find(kKeyColumn));
}

void TranslateOneWindow(const LanguageTable& language, HWND window) {
  const std::string text = WindowText(window);
  if (text.empty()) return;  // an unnamed static keeps its empty text
  const std::string translated = ExpandEscapes(WithoutKeyColumn(language.T(text)));
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

void TranslateWindow(const LanguageTable& language, HWND window) {
  if (!IsWindow(window)) return;
  TranslateOneWindow(language, window);
  EnumChildWindows(window, TranslateChild, reinterpret_cast<LPARAM>(&language));
}

void TranslateMenu(const LanguageTable& language, HMENU menu) {
  if (!IsMenu(menu)) return;
  const int count = GetMenuItemCount(menu);
  for (int index = 0; index < count; ++index) {
    const UINT position = static_cast<UINT>(index);
    if (HMENU submenu = GetSubMenu(menu, index)) TranslateMenu(language, submenu);
    const std::string text = MenuItemText(menu, position);
    if (text.empty()) continue;  // separators keep their type and stay without text
    const std::string translated = MenuText(language.T(text));
    if (translated.empty() || translated == text) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(translated.c_str());
    SetMenuItemInfoA(menu, position, TRUE, &info);
  }
}
