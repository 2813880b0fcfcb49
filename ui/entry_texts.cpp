#include "ui/entry_texts.h"

#include <windows.h>

#include "store/safe_format.h"

namespace {

constexpr char kEllipsis[] = "...";
constexpr std::size_t kEllipsisLength = sizeof(kEllipsis) - 1;

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The largest character boundary at or below limit (limit < text.size()).
std::size_t BoundaryAtOrBefore(const std::string& text, std::size_t limit) {
  if (GetACP() == CP_UTF8) {
    std::size_t at = limit;
    while (at > 0 && IsUtf8Continuation(text[at])) --at;
    return at;
  }
  // A double-byte code page is walked from the start: only there is a lead byte known as one.
  const char* start = text.c_str();
  const char* at = start;
  for (;;) {
    const char* next = CharNextA(at);
    if (next == at || static_cast<std::size_t>(next - start) > limit) break;
    at = next;
  }
  return static_cast<std::size_t>(at - start);
}

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}

}  // namespace

std::string CutForMessage(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  if (limit <= kEllipsisLength) return std::string(kEllipsis, limit);
  return text.substr(0, BoundaryAtOrBefore(text, limit - kEllipsisLength)) + kEllipsis;
}

std::string EntryForMessage(const std::string& name, const std::string& data) {
  const std::string shownName = CutForMessage(name, kMessageNameLimit);
  const std::string shownData = CutForMessage(data, kMessageDataLimit);
  if (shownName.empty()) return shownData;
  if (shownData.empty()) return shownName;
  return shownName + "\n" + shownData;
}

std::string RemoveQuestion(const std::string& question, const std::string& name,
                           const std::string& data) {
  const std::string entry = EntryForMessage(name, data);
  if (HasStringConversion(question)) return SafeFormat(question, {entry});
  return question + "\n\n" + entry;
}

std::string QuotedCommandPath(const std::string& path) {
  if (path.find(' ') == std::string::npos) return path;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') return path;
  return "\"" + path + "\"";
}

std::string SingleLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  bool inBreak = false;
  for (const char c : text) {
    if (IsLineBreak(c)) {
      inBreak = true;
      continue;
    }
    if (inBreak && !line.empty()) line += ' ';
    inBreak = false;
    line += c;
  }
  return line;
}
