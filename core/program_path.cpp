#include "core/program_path.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// The text after the last '\', '/' or ':' (the whole path when it has none).
std::string NamePart(const std::string& path, const NextCharFn& next) {
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < path.size();) {
    const char c = path[pos];
    const std::size_t after = std::max(next(path, pos), pos + 1);
    if (after == pos + 1 && (c == '\\' || c == '/' || c == ':')) start = after;
    pos = after;
  }
  return path.substr(start);
}

bool HasFolderPart(const std::string& path, const NextCharFn& next) {
  return NamePart(path, next).size() != path.size();
}

bool IsProgramName(const std::string& name) {
  for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
    if (EndsWithIgnoringCase(name, extension) && name.size() > 4) return true;
  }
  return false;
}

// The existing file that candidate names as a program: itself, itself with ".exe" when its name
// has no extension, or for a bare name the file found along the search path. Empty when none.
std::string Resolve(const std::string& candidate, const ProgramLookup& lookup) {
  if (candidate.empty()) return {};
  if (lookup.fileExists) {
    if (lookup.fileExists(candidate)) return candidate;
    if (NamePart(candidate, lookup.next).find('.') == std::string::npos &&
        lookup.fileExists(candidate + ".exe")) {
      return candidate + ".exe";
    }
  }
  if (lookup.searchPath && !HasFolderPart(candidate, lookup.next)) {
    return lookup.searchPath(candidate);
  }
  return {};
}

CommandLineParts PartsAt(const std::string& text, std::size_t end, std::string program,
                         bool found) {
  return {std::move(program), TrimBlanks(text.substr(end)), found};
}

}  // namespace

CommandLineParts SplitCommandLine(const std::string& commandLine, const ProgramLookup& lookup,
                                  Expand expand) {
  const std::string text = TrimBlanks(expand == Expand::kYes && lookup.expandEnvironment
                                          ? lookup.expandEnvironment(commandLine)
                                          : commandLine);
  if (text.empty()) return {};

  if (text[0] == '"') {
    const std::size_t close = text.find('"', 1);
    const std::string program =
        TrimBlanks(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    const std::string resolved = Resolve(program, lookup);
    const std::size_t end = close == std::string::npos ? text.size() : close + 1;
    return PartsAt(text, end, resolved.empty() ? program : resolved, !resolved.empty());
  }

  // Where each blank-separated prefix ends: "C:\My - Tools\app.exe" is tried as "C:\My", then
  // "C:\My -", then the whole text.
  std::vector<std::size_t> ends;
  for (std::size_t pos = 1; pos < text.size(); ++pos) {
    if (IsBlank(text[pos]) && !IsBlank(text[pos - 1])) ends.push_back(pos);
  }
  ends.push_back(text.size());
  for (const std::size_t end : ends) {
    std::string resolved = Resolve(text.substr(0, end), lookup);
    if (!resolved.empty()) return PartsAt(text, end, std::move(resolved), true);
  }
  // Nothing exists: what the text itself says is a program, else its first token.
  for (const std::size_t end : ends) {
    std::string prefix = text.substr(0, end);
    if (IsProgramName(NamePart(prefix, lookup.next))) {
      return PartsAt(text, end, std::move(prefix), false);
    }
  }
  return PartsAt(text, ends.front(), text.substr(0, ends.front()), false);
}

std::string ProgramFileOf(const std::string& commandLine, const ProgramLookup& lookup,
                          Expand expand) {
  CommandLineParts parts = SplitCommandLine(commandLine, lookup, expand);
  const std::string name = NamePart(parts.program, lookup.next);
  if (!EqualsIgnoringCase(name, "rundll32.exe") && !EqualsIgnoringCase(name, "rundll32")) {
    return parts.program;
  }
  // rundll32 FILE,Entry: FILE ends at the comma (or the first blank); it may be quoted.
  const std::string& arguments = parts.arguments;
  std::string file;
  if (!arguments.empty() && arguments[0] == '"') {
    const std::size_t close = arguments.find('"', 1);
    file = arguments.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    std::size_t end = arguments.find(',');
    if (end == std::string::npos) end = arguments.find_first_of(" \t");
    file = arguments.substr(0, end);
  }
  file = TrimBlanks(file);
  if (file.empty()) return parts.program;
  const std::string resolved = Resolve(file, lookup);
  return resolved.empty() ? file : resolved;
}

std::string JoinCommandLine(const std::string& program, const std::string& arguments) {
  const bool quoted = program.find_first_of(" \t") != std::string::npos;
  std::string text = quoted ? "\"" + program + "\"" : program;
  if (!arguments.empty()) text += " " + arguments;
  return text;
}
