#include "core/list_value_text.h"

namespace {

// One left-to-right pass replacing non-overlapping occurrences; the result is not searched again.
std::string ReplaceAllOnce(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  if (pos < text.size()) out.append(text.substr(pos));
  return out;
}

std::string TrimSeparators(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsListSeparator(text[begin])) ++begin;
  while (end > begin && IsListSeparator(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

// Removes item wherever it stands as a whole item: starting at the value's start or after a
// separator, and ending at the value's end or before a separator. Separators are kept.
std::string RemoveWholeItems(std::string_view value, std::string_view item) {
  if (item.empty()) return std::string(value);
  std::string out;
  out.reserve(value.size());
  std::size_t pos = 0;
  while (pos < value.size()) {
    const bool startsItem = pos == 0 || IsListSeparator(value[pos - 1]);
    if (startsItem && value.substr(pos, item.size()) == item) {
      const std::size_t end = pos + item.size();
      if (end == value.size() || IsListSeparator(value[end])) {
        pos = end;
        continue;
      }
    }
    out.push_back(value[pos]);
    ++pos;
  }
  return out;
}

}  // namespace

bool IsListSeparator(char c) {
  return c == ' ' || c == ',';
}

std::vector<std::string> SplitListItems(std::string_view value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < value.size(); ++pos) {
    if (IsListSeparator(value[pos])) {
      items.emplace_back(value.substr(start, pos - start));
      start = pos + 1;
    }
  }
  items.emplace_back(value.substr(start));
  return items;
}

std::string CutListItem(std::string_view value, std::string_view item) {
  std::string text = RemoveWholeItems(value, item);
  text = ReplaceAllOnce(text, "  ", ",");
  text = ReplaceAllOnce(text, ",,", ",");
  text = ReplaceAllOnce(text, ", ", ",");
  text = ReplaceAllOnce(text, " ,", ",");
  return TrimSeparators(text);
}

std::string AppendListItem(std::string_view value, std::string_view item) {
  std::string text(value);
  text.push_back(',');
  text.append(item);
  return TrimSeparators(text);
}
