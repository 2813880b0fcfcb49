// The console program speaks UTF-8 to the outside while the entry kinds keep 8-bit text in the
// active code page: these convert between the two.
#pragma once

#include <optional>
#include <string>

// text (active code page) as UTF-8; a byte the code page does not know becomes U+FFFD.
std::string Utf8FromAnsi(const std::string& text);
// UTF-8 as text of the active code page; nullopt when some character has no exact form there.
std::optional<std::string> AnsiFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);
// The number of characters (code points) of UTF-8 text, for aligning columns.
std::size_t Utf8Length(const std::string& utf8);
