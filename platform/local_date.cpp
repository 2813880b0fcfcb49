#include "platform/local_date.h"

#include <windows.h>

std::string LocalDateText(std::uint64_t fileTime) {
  if (fileTime == 0) return {};
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  SYSTEMTIME utcTime{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&utc, &utcTime) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local)) {
    return {};
  }
  char text[128] = {};
  const int length =
      GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, text, sizeof(text));
  return length > 0 ? std::string(text, static_cast<std::size_t>(length - 1)) : std::string();
}
