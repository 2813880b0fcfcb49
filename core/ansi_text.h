// Character stepping and upper-casing of 8-bit text in a given code page, so that the trail
// byte of a double-byte character (which may equal '\') is never taken for a separator.
// CP_ACP, the default, is the program's own text model; tests pass other code pages.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "core/exe_paths.h"

// Offset of the character that follows the one starting at pos (pos < text.size()).
std::size_t NextCharIn(const std::string& text, std::size_t pos, UINT codePage = CP_ACP);

// A stepper for the path helpers that steps by character of codePage.
NextCharFn CharStepper(UINT codePage = CP_ACP);

// text upper-cased as characters of codePage.
std::string UpperCaseIn(const std::string& text, UINT codePage = CP_ACP);
