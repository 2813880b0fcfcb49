// The formatter for texts from the language file. A format there is input, not code: only %s
// and %% mean anything, and %s never reads past the arguments it was given.
#include "store/safe_format.h"

std::string SafeFormat(const std::string& format, const std::vector<std::string>& args) {
  std::string result;
  result.reserve(format.size());
  size_t nextArg = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    const char next = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c == '%' && next == 's') {
      if (nextArg < args.size()) result += args[nextArg++];
      ++i;
    } else if (c == '%' && next == '%') {
      result += '%';
      ++i;
    } else {
      // Any other conversion (%d, %n, %5s, a lone % at the end) stays as plain text.
      result += c;
    }
  }
  return result;
}

bool HasStringConversion(const std::string& format) {
  for (size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (format[i + 1] == 's') return true;
    ++i;  // "%%" and the other pairs are no conversion
  }
  return false;
}
