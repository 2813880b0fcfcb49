// 8-bit paths (active code page) in the form the wide file functions take, so that files whose
// path is longer than MAX_PATH can be listed, moved and deleted like any other.
#pragma once

#include <string>

// text in UTF-16, converted from the active code page; empty when it does not convert exactly
// (it could then name another file).
std::wstring WideFromAcp(const std::string& text);
// text in the active code page, as the 8-bit functions give it (with substitutes for what it
// cannot carry).
std::string AcpFromWide(const std::wstring& text);

// path for the wide file functions. A path short enough for the plain form is only converted;
// a longer one is made absolute and normalised (the \\?\ form turns off the conversion of '/'
// and the resolution of "." and ".."), then prefixed with \\?\, or \\?\UNC\ for \\server\share.
// Paths already in a device form (\\?\, \\.\) are only converted. Empty when the text does not
// convert.
std::wstring WideFilePath(const std::string& path);

// A path the system gave back for `path`'s WideFilePath, in the active code page and without
// the prefix WideFilePath added (when it added one).
std::string AcpFromWidePath(const std::string& path, const std::wstring& given);
