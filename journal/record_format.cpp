// Escaping and splitting of journal records.
#include "journal/record_format.h"

#include <algorithm>

std::string EscapeField(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        result += "\\\\";
        break;
      case '\t':
        result += "\\t";
        break;
      case '\n':
        result += "\\n";
        break;
      case '\r':
        result += "\\r";
        break;
      default:
        result += c;
    }
  }
  return result;
}

std::string UnescapeField(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    switch (text[i + 1]) {
      case '\\':
        result += '\\';
        break;
      case 't':
        result += '\t';
        break;
      case 'n':
        result += '\n';
        break;
      case 'r':
        result += '\r';
        break;
      default:
        result += text[i];
        result += text[i + 1];
    }
    ++i;
  }
  return result;
}

std::string FormatRecordLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += EscapeField(fields[i]);
  }
  return line;
}

std::vector<std::string> ParseRecordLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(UnescapeField(line.substr(start, tab - start)));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

std::vector<std::string> RecordLines(std::string_view fileText) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < fileText.size()) {
    size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    std::string_view line = fileText.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t tabs = static_cast<size_t>(std::count(line.begin(), line.end(), '\t'));
    if (tabs + 1 == kRecordFieldCount) lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}
