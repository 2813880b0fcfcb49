// Where the files that travel with the program are found: the directory and the base name of
// the running module's path. Pure text, so the rules are testable without Windows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Offset of the character that follows the one starting at pos (pos < text.size()). Stepping by
// byte suits UTF-8, where '\' and ':' never occur inside a multi-byte character; the Windows
// side passes a stepper that knows the active code page's double-byte characters.
using NextCharFn = std::function<std::size_t(const std::string& text, std::size_t pos)>;

std::size_t NextByte(const std::string& text, std::size_t pos);

// The path cut before its last '\', without trailing backslashes (C:\Tools\App.exe gives
// C:\Tools). With no '\' but a drive colon (C:App.exe) the drive with its colon (C:); with
// neither the empty text.
std::string ExeDirectoryOf(const std::string& modulePath, const NextCharFn& next = NextByte);

// The file name after the last '\' or ':', without its last '.' and what follows it
// (C:\Tools\App.exe gives App); a name without a dot is kept whole.
std::string ExeBaseNameOf(const std::string& modulePath, const NextCharFn& next = NextByte);
