#include "platform/code_page_text.h"

namespace {

UINT Resolved(UINT codePage) {
  return codePage == CP_ACP ? GetACP() : codePage;
}

// The UTF code pages take neither the best-fit flag nor the default-character arguments.
bool IsUtf(UINT codePage) {
  return codePage == CP_UTF8 || codePage == CP_UTF7;
}

std::wstring Widen(const std::string& text, UINT codePage, DWORD flags, bool* ok) {
  *ok = true;
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) {
    *ok = false;
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

CodePageText NarrowFromWide(const std::wstring& wide, UINT codePage) {
  CodePageText result;
  if (wide.empty()) return result;
  codePage = Resolved(codePage);
  const bool utf = IsUtf(codePage);
  const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
  if (length <= 0) {
    result.exact = false;
    return result;
  }
  result.text.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, result.text.data(), length, nullptr,
                      usedDefaultOut);
  // A substitute can also come without the default character (a lone surrogate in UTF-8 becomes
  // U+FFFD): only the way back proves the text names the same thing.
  bool ok = false;
  result.exact = !usedDefault && Widen(result.text, codePage, 0, &ok) == wide && ok;
  return result;
}

std::optional<std::wstring> WideFromNarrow(const std::string& text, UINT codePage) {
  codePage = Resolved(codePage);
  bool ok = false;
  // UTF-7 does not take MB_ERR_INVALID_CHARS; the way back still checks it.
  std::wstring wide = Widen(text, codePage, codePage == CP_UTF7 ? 0 : MB_ERR_INVALID_CHARS, &ok);
  if (!ok) return std::nullopt;
  const CodePageText back = NarrowFromWide(wide, codePage);
  if (!back.exact || back.text != text) return std::nullopt;
  return wide;
}
