// Line-break escapes of language texts. Pure text, no Windows headers.
#pragma once

#include <string>

// Replaces every backslash-r pair by CR, then every backslash-n pair by LF (left to right,
// non-overlapping).
std::string ExpandEscapes(const std::string& text);
