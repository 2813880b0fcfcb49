// Dates as the user reads them.
#pragma once

#include <cstdint>
#include <string>

// The local date of a FILETIME (UTC ticks) in the user's short date format; empty for 0 or a
// time that does not convert.
std::string LocalDateText(std::uint64_t fileTime);
