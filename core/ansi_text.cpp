#include "core/ansi_text.h"

#include <algorithm>

std::size_t NextCharIn(const std::string& text, std::size_t pos, UINT codePage) {
  const char* here = text.c_str() + pos;
  const char* next =
      codePage == CP_ACP ? CharNextA(here) : CharNextExA(static_cast<WORD>(codePage), here, 0);
  // At an embedded zero byte the stepper does not move; a lead byte never swallows the end.
  const std::size_t offset = static_cast<std::size_t>(next - text.c_str());
  return std::min(std::max(offset, pos + 1), text.size());
}

NextCharFn CharStepper(UINT codePage) {
  return [codePage](const std::string& text, std::size_t pos) {
    return NextCharIn(text, pos, codePage);
  };
}

std::string UpperCaseIn(const std::string& text, UINT codePage) {
  if (text.empty()) return text;
  std::string upper = text;
  if (codePage == CP_ACP) {
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
  }
  const int wideLength =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return upper;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      wideLength);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return upper;
  upper.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), wideLength, upper.data(), length, nullptr, nullptr);
  return upper;
}
