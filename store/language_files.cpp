#include "store/language_files.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "store/language_table.h"

namespace {

constexpr char kNameKey[] = "_LanguageName";
constexpr char kExtension[] = ".language";

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         lstrcmpiA(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

bool IsDirectory(const DirEntry& entry) {
  return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && entry.name != "." &&
         entry.name != "..";
}

// The whole file; nullopt when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

LanguageFiles::LanguageFiles(FileSystem& files, std::string folder, std::string activeFile)
    : files_(files), folder_(std::move(folder)), activeFile_(std::move(activeFile)) {}

std::vector<LanguageOption> LanguageFiles::Scan() const {
  std::vector<LanguageOption> options;
  const auto folders = files_.List(folder_);
  if (!folders) return options;
  const std::optional<std::string> active = ReadWhole(activeFile_);
  for (const DirEntry& sub : *folders) {
    if (!IsDirectory(sub) || !sub.exact) continue;
    const std::string subFolder = folder_ + "\\" + sub.name;
    const auto found = files_.ListMatching(subFolder, std::string("*") + kExtension);
    if (!found) continue;
    // The pattern may also match a short name: the long name must end in .language itself.
    const auto file = std::find_if(found->begin(), found->end(), [](const DirEntry& entry) {
      return entry.exact && (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
             EndsWithNoCase(entry.name, kExtension);
    });
    if (file == found->end()) continue;
    LanguageOption option;
    option.file = subFolder + "\\" + file->name;
    const std::string name = LanguageTable(option.file).T(kNameKey);
    option.name = name == kNameKey ? sub.name : name;
    option.current = active && ReadWhole(option.file) == active;
    options.push_back(std::move(option));
  }
  std::sort(options.begin(), options.end(), [](const LanguageOption& a, const LanguageOption& b) {
    return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0;
  });
  return options;
}

Status LanguageFiles::Choose(const std::string& file) const {
  const std::string temporary = activeFile_ + ".new";
  if (!CopyFileA(file.c_str(), temporary.c_str(), FALSE)) return Status::LastError();
  const Status replaced = files_.ReplaceFile(temporary, activeFile_);
  if (!replaced) files_.DeleteFile(temporary);
  return replaced;
}
