// Exact conversion between the program's 8-bit text (a Windows code page) and the system's
// UTF-16. The registry keeps names and texts in UTF-16; the program can only address a name
// whose 8-bit form converts back to the very same UTF-16.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// text in codePage (CP_ACP: the active code page); exact is false when some character had no
// form there and was substituted, so converting text back would not give wide again.
struct CodePageText {
  std::string text;
  bool exact = true;
};
CodePageText NarrowFromWide(const std::wstring& wide, UINT codePage);

// The UTF-16 form of text, or nullopt when text is not valid in codePage or does not convert
// back to itself (it could then address some other name).
std::optional<std::wstring> WideFromNarrow(const std::string& text, UINT codePage);
