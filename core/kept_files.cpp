#include "core/kept_files.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/ansi_text.h"
#include "core/kind_support.h"
#include "core/program_path.h"
#include "platform/file_system.h"
#include "platform/shell_links.h"

const char kKeptFolderName[] = "Disabled by Quorvane";

namespace {

constexpr int kMaxCopies = 10000;

// Splits a file name at its last '.' (not a leading one): "App.lnk" gives "App" and ".lnk".
std::pair<std::string, std::string> SplitExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {name, {}};
  return {name.substr(0, dot), name.substr(dot)};
}

}  // namespace

std::string TrimFolder(const std::string& folder) {
  // The last character, not the last byte: in a double-byte code page a trail byte can be '\'.
  std::size_t last = std::string::npos;
  for (std::size_t pos = 0; pos < folder.size(); pos = NextCharIn(folder, pos)) last = pos;
  if (last != std::string::npos && last + 1 == folder.size() && folder[last] == '\\') {
    return folder.substr(0, last);
  }
  return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return TrimFolder(folder) + "\\" + name;
}

std::string KeptFolderOf(const std::string& folder) {
  return JoinPath(folder, kKeptFolderName);
}

std::string NumberedName(const std::string& name, int copy) {
  if (copy <= 1) return name;
  const auto [stem, extension] = SplitExtension(name);
  return stem + " (" + std::to_string(copy) + ")" + extension;
}

int CopyNumberOf(const std::string& file, const std::string& name) {
  if (SameText(file, name)) return 1;
  const auto [stem, extension] = SplitExtension(name);
  const std::size_t fixed = stem.size() + extension.size();
  if (file.size() < fixed + 4) return 0;  // at least " (2)"
  if (!SameText(file.substr(0, stem.size()), stem) ||
      !SameText(file.substr(file.size() - extension.size()), extension)) {
    return 0;
  }
  const std::string middle = file.substr(stem.size(), file.size() - fixed);
  if (middle.size() > 9 || middle.compare(0, 2, " (") != 0 || middle.back() != ')') return 0;
  const std::string digits = middle.substr(2, middle.size() - 3);
  if (digits.empty() || digits[0] == '0' ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  const int copy = std::stoi(digits);
  return copy >= 2 ? copy : 0;
}

std::optional<std::string> FreeKeptPath(FileSystem& files, const std::string& keptFolder,
                                        const std::string& name) {
  for (int copy = 1; copy <= kMaxCopies; ++copy) {
    std::string path = JoinPath(keptFolder, NumberedName(name, copy));
    if (!files.Exists(path)) return path;
  }
  return std::nullopt;
}

std::optional<std::string> FreeTempPath(FileSystem& files, const std::string& folder) {
  static unsigned counter = 0;
  const std::string stamp =
      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  for (int attempt = 0; attempt < kMaxCopies; ++attempt) {
    std::string path =
        JoinPath(folder, "~Quorvane-" + stamp + "-" + std::to_string(++counter) + ".tmp");
    if (!files.Exists(path)) return path;
  }
  return std::nullopt;
}

std::optional<std::string> FindKeptFile(FileSystem& files, ShellLinks& links,
                                        const std::string& keptFolder, const std::string& name,
                                        const std::string& data) {
  // Only the names that can be copies of name are listed, so the cost does not grow with the
  // number of other kept files: every copy is stem + anything + extension.
  const auto [stem, extension] = SplitExtension(name);
  const std::optional<std::vector<DirEntry>> entries =
      files.ListMatching(keptFolder, stem + "*" + extension);
  if (!entries) return std::nullopt;
  std::vector<std::pair<int, std::string>> candidates;
  for (const DirEntry& entry : *entries) {
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (const int copy = CopyNumberOf(entry.name, name)) candidates.emplace_back(copy, entry.name);
  }
  std::sort(candidates.begin(), candidates.end());
  // The startup folder the kept files came from: a file that is not a shortcut was recorded
  // with its path there as its data.
  const std::size_t suffix = std::char_traits<char>::length(kKeptFolderName) + 1;
  const std::string folder =
      keptFolder.size() > suffix ? keptFolder.substr(0, keptFolder.size() - suffix) : std::string();
  for (const auto& [copy, file] : candidates) {
    std::string path = JoinPath(keptFolder, file);
    if (const std::optional<LinkCommand> command = links.ReadCommand(path)) {
      // The data column shows target and arguments; records written before held the target.
      if (SameText(JoinCommandLine(command->target, command->arguments), data) ||
          SameText(command->target, data)) {
        return path;
      }
    } else if (data.empty() || SameText(data, JoinPath(folder, name))) {
      return path;  // records written before held no data for such a file
    }
  }
  return std::nullopt;
}
