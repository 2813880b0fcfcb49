// printf-style formatting of texts that come from the language file. Only %s (taking the next
// argument, empty when none is left) and %% are interpreted; every other conversion is copied
// as plain text, so a hostile format can never read past the given arguments.
#pragma once

#include <string>
#include <vector>

std::string SafeFormat(const std::string& format, const std::vector<std::string>& args);

// True when format has a %s for SafeFormat to fill ("%%s" is none).
bool HasStringConversion(const std::string& format);
