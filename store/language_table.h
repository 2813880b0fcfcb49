// The language table: turns language keys ("_Run") into display texts read from the language
// file (INI, section "String"). Holds only the file path; every lookup reads the file.
#pragma once

#include <string>
#include <utility>

class LanguageTable {
 public:
  LanguageTable() = default;
  explicit LanguageTable(std::string file) : file_(std::move(file)) {}

  void SetFile(std::string file) { file_ = std::move(file); }
  const std::string& File() const { return file_; }

  // The text of key; the key itself when it has no text. With expand, backslash-r and
  // backslash-n pairs become CR and LF.
  std::string T(const std::string& key, bool expand = false) const;

 private:
  std::string file_;
};

// The program's one language table, pointed at its file at start-up.
LanguageTable& AppLanguage();
