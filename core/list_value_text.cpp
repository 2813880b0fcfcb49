#include "core/list_value_text.h"

namespace {

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

// The separator a value ends with, kept by every rewrite ("userinit.exe," stays so): "," when
// its trailing run holds a comma, " " when it holds only spaces, "" when there is none.
std::string TrailingSeparator(std::string_view value) {
  std::size_t end = value.size();
  bool comma = false;
  while (end > 0 && IsListSeparator(value[end - 1])) comma |= value[--end] == ',';
  if (end == value.size()) return {};
  return comma ? "," : " ";
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
  const std::string text = RemoveWholeItems(value, item);
  // Items joined again: a single separator between two items stays as it was, a longer run
  // (which held an empty item or the cut one) becomes one comma.
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t run = pos;
    while (run < text.size() && IsListSeparator(text[run])) ++run;
    if (run == text.size()) break;  // the trailing run is handled below
    if (!out.empty()) out.append(run - pos == 1 ? text.substr(pos, 1) : std::string(","));
    std::size_t end = run;
    while (end < text.size() && !IsListSeparator(text[end])) ++end;
    out.append(text, run, end - run);
    pos = end;
  }
  if (!out.empty()) out.append(TrailingSeparator(value));
  return out;
}

std::string AppendListItem(std::string_view value, std::string_view item) {
  if (item.empty()) return std::string(value);
  const std::string items = TrimSeparators(value);
  if (items.empty()) return std::string(item);
  // The new item goes before the value's trailing separator, which stays the last character.
  return items + "," + std::string(item) + TrailingSeparator(value);
}

bool IsUserinitProgram(std::string_view item) {
  if (!item.empty() && item.front() == '"') item.remove_prefix(1);
  if (!item.empty() && item.back() == '"') item.remove_suffix(1);
  const std::size_t cut = item.find_last_of("\\/:");
  if (cut != std::string_view::npos) item.remove_prefix(cut + 1);
  constexpr std::string_view kName = "userinit.exe";
  if (item.size() != kName.size()) return false;
  for (std::size_t i = 0; i < kName.size(); ++i) {
    const char c = item[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kName[i]) return false;
  }
  return true;
}

bool HasListItems(std::string_view value) {
  for (const char c : value) {
    if (!IsListSeparator(c)) return true;
  }
  return false;
}
