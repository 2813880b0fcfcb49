#include "ui/locale_format.h"

#include <shlwapi.h>

#include <string>

namespace {

// The system's texts are UTF-16; the program's are in the ANSI code page.
std::string Narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(size) - 1);
  return result;
}

std::wstring LocaleText(const wchar_t* locale, LCTYPE type, const wchar_t* fallback) {
  wchar_t text[16] = {};
  if (GetLocaleInfoEx(locale, type, text, 16) <= 0) return fallback;
  return text;
}

// LOCALE_SGROUPING ("3;0", "3;2;0") as NUMBERFMT's Grouping wants it (3, 32).
UINT GroupingOf(const std::wstring& grouping) {
  UINT value = 0;
  for (const wchar_t c : grouping) {
    if (c >= L'1' && c <= L'9') value = value * 10 + static_cast<UINT>(c - L'0');
  }
  // A trailing ";0" means "repeat the last group", which is what NUMBERFMT does by default.
  return value;
}

}  // namespace

std::string LocaleDateTime(const SYSTEMTIME& time, const wchar_t* locale) {
  wchar_t date[128] = {};
  wchar_t clock[128] = {};
  if (GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, date, 128, nullptr) <= 0) return {};
  if (GetTimeFormatEx(locale, 0, &time, nullptr, clock, 128) <= 0) return {};
  return Narrow(date) + " " + Narrow(clock);
}

std::string LocaleWholeNumber(std::uint64_t value, const wchar_t* locale) {
  const std::wstring digits = std::to_wstring(value);
  std::wstring decimal = LocaleText(locale, LOCALE_SDECIMAL, L".");
  std::wstring thousand = LocaleText(locale, LOCALE_STHOUSAND, L",");
  NUMBERFMTW format{};
  format.NumDigits = 0;
  format.LeadingZero = 0;
  format.Grouping = GroupingOf(LocaleText(locale, LOCALE_SGROUPING, L"3;0"));
  format.lpDecimalSep = decimal.data();
  format.lpThousandSep = thousand.data();
  format.NegativeOrder = 1;
  wchar_t text[64] = {};
  if (GetNumberFormatEx(locale, 0, digits.c_str(), &format, text, 64) <= 0) {
    return Narrow(digits.c_str());
  }
  return Narrow(text);
}

std::string ShortByteSize(std::uint64_t bytes) {
  wchar_t text[64] = {};
  // The newer form rounds like Explorer's own columns; older systems have only the first one.
  using FormatEx = HRESULT(WINAPI*)(ULONGLONG, SFBS_FLAGS, PWSTR, UINT);
  const HMODULE shlwapi = GetModuleHandleW(L"shlwapi.dll");
  const auto formatEx = shlwapi == nullptr ? nullptr
                                           : reinterpret_cast<FormatEx>(reinterpret_cast<void*>(
                                                 GetProcAddress(shlwapi, "StrFormatByteSizeEx")));
  if (formatEx != nullptr &&
      SUCCEEDED(formatEx(bytes, SFBS_FLAGS_TRUNCATE_UNDISPLAYED_DECIMAL_DIGITS, text, 64))) {
    return Narrow(text);
  }
  if (StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64) == nullptr) return {};
  return Narrow(text);
}
