#include "store/escape_expand.h"

namespace {

std::string ReplacePairs(const std::string& text, char letter, char replacement) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '\\' && pos + 1 < text.size() && text[pos + 1] == letter) {
      result.push_back(replacement);
      ++pos;
    } else {
      result.push_back(text[pos]);
    }
  }
  return result;
}

}  // namespace

std::string ExpandEscapes(const std::string& text) {
  return ReplacePairs(ReplacePairs(text, 'r', '\r'), 'n', '\n');
}
