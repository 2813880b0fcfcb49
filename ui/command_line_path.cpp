#include "ui/command_line_path.h"

namespace {

void TrimBlanks(std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(0, first);
  text.erase(text.find_last_not_of(' ') + 1);
}

void DropEnclosingQuotes(std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  } else if (text.size() == 1 && text == "\"") {
    // A lone quote is both the first and the last character.
    text.clear();
  }
}

void CutAtSwitch(std::string& text, const char* marker) {
  const auto at = text.find(marker);
  if (at != std::string::npos && at > 0) text.erase(at);
}

}  // namespace

std::string ProgramPathOfCommandLine(const std::string& commandLine) {
  std::string text = commandLine;
  TrimBlanks(text);
  DropEnclosingQuotes(text);
  CutAtSwitch(text, " /");
  CutAtSwitch(text, " -");
  DropEnclosingQuotes(text);
  return text;
}
