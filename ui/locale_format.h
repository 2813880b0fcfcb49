// Dates, times, numbers and file sizes written the way the user's Windows settings write them.
// The locale is a parameter so tests can pin one; the program passes the user's default.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The user's default locale, as the *Ex formatting functions take it.
inline const wchar_t* UserLocale() {
  return LOCALE_NAME_USER_DEFAULT;
}

// The short date and the time of time in the locale's forms, separated by a blank; empty when the
// system cannot format it.
std::string LocaleDateTime(const SYSTEMTIME& time, const wchar_t* locale);

// A whole number with the locale's digit grouping ("489,472" in en-US, "489.472" in de-DE).
std::string LocaleWholeNumber(std::uint64_t value, const wchar_t* locale);

// A size the way Explorer writes it in short: "478 KB", "1.46 MB".
std::string ShortByteSize(std::uint64_t bytes);
