#include "core/exe_paths.h"

#include <algorithm>

namespace {

// Calls visit(pos) for the offset of every character of text, in order.
template <typename Visit>
void ForEachChar(const std::string& text, const NextCharFn& next, Visit visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    visit(pos);
    pos = std::max(next(text, pos), pos + 1);  // never stall on a faulty stepper
  }
}

struct Separators {
  std::size_t lastBackslash = std::string::npos;
  std::size_t lastColon = std::string::npos;
};

Separators FindSeparators(const std::string& path, const NextCharFn& next) {
  Separators found;
  ForEachChar(path, next, [&](std::size_t pos) {
    if (path[pos] == '\\') found.lastBackslash = pos;
    if (path[pos] == ':') found.lastColon = pos;
  });
  return found;
}

}  // namespace

std::size_t NextByte(const std::string&, std::size_t pos) {
  return pos + 1;
}

std::string ExeDirectoryOf(const std::string& modulePath, const NextCharFn& next) {
  const Separators found = FindSeparators(modulePath, next);
  if (found.lastBackslash == std::string::npos) {
    if (found.lastColon == std::string::npos) return std::string();
    return modulePath.substr(0, found.lastColon + 1);
  }
  std::string directory = modulePath.substr(0, found.lastBackslash);
  // A doubled separator before the name (C:\Tools\\App.exe) must not leave one behind.
  std::size_t end = 0;
  ForEachChar(directory, next, [&](std::size_t pos) {
    if (directory[pos] != '\\') end = std::max(next(directory, pos), pos + 1);
  });
  directory.resize(end);
  return directory;
}

std::string ExeBaseNameOf(const std::string& modulePath, const NextCharFn& next) {
  const Separators found = FindSeparators(modulePath, next);
  std::size_t start = 0;
  if (found.lastBackslash != std::string::npos) start = found.lastBackslash + 1;
  if (found.lastColon != std::string::npos) start = std::max(start, found.lastColon + 1);
  std::string name = modulePath.substr(start);
  std::size_t lastDot = std::string::npos;
  ForEachChar(name, next, [&](std::size_t pos) {
    if (name[pos] == '.') lastDot = pos;
  });
  if (lastDot != std::string::npos) name.resize(lastDot);
  return name;
}
