// The translations that travel with the program, one folder each under <exe dir>\languages\,
// and the choice of one. The program reads only the language file beside the exe, so choosing a
// translation copies it over that file; the program shows it from its next start.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

struct LanguageOption {
  std::string name;      // its "_LanguageName" text, or its folder's name when it has none
  std::string file;      // full path of its .language file
  bool current = false;  // the file beside the exe holds exactly this translation
};

class LanguageFiles {
 public:
  // folder holds the translations (<folder>\<any>\<any>.language); activeFile is the file the
  // program reads.
  LanguageFiles(FileSystem& files, std::string folder, std::string activeFile);

  const std::string& ActiveFile() const { return activeFile_; }

  // One option per subfolder of the folder that holds a .language file (the first the system
  // lists), sorted by name without regard to case; empty when the folder cannot be listed.
  std::vector<LanguageOption> Scan() const;

  // Copies file to a temporary sibling of the active file, then puts it in the active file's
  // place in one rename. On failure the active file is as it was, no temporary file is left and
  // the system's reason comes back.
  Status Choose(const std::string& file) const;

 private:
  FileSystem& files_;
  std::string folder_;
  std::string activeFile_;
};
