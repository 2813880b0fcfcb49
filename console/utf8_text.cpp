#include "console/utf8_text.h"

#include <windows.h>

#include "platform/code_page_text.h"

namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), size);
  return wide;
}

}  // namespace

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  return Widen(utf8, CP_UTF8);
}

std::string Utf8FromAnsi(const std::string& text) {
  return Utf8FromWide(Widen(text, CP_ACP));
}

std::optional<std::string> AnsiFromUtf8(const std::string& utf8) {
  const CodePageText narrow = NarrowFromWide(WideFromUtf8(utf8), CP_ACP);
  if (!narrow.exact) return std::nullopt;
  return narrow.text;
}

std::size_t Utf8Length(const std::string& utf8) {
  std::size_t count = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}
