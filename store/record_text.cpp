#include "store/record_text.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsForbidden(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool NeedsEscapedForm(const std::string& text) {
  for (const char c : text) {
    if (IsForbidden(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

std::string EscapeRecordText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '%' || IsForbidden(byte)) {
      escaped += '%';
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0x0F];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string UnescapeRecordText(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        plain += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    plain += text[i];
  }
  return plain;
}
