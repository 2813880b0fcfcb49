// The language table: turns language keys ("_Run") into display texts read from the language
// file (INI, section "String"). It holds the file path and the texts it has read from the file
// so far; those are forgotten as soon as the file's size or write time changes, so a lookup sees
// the file as it is and reads it only for a key not asked for since the file last changed.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <utility>

class LanguageTable {
 public:
  LanguageTable() = default;
  explicit LanguageTable(std::string file) : file_(std::move(file)) {}

  void SetFile(std::string file);
  const std::string& File() const { return file_; }

  // The text of key; the key itself when it has no text. With expand, backslash-r and
  // backslash-n pairs become CR and LF.
  std::string T(const std::string& key, bool expand = false) const;

 private:
  // What tells one state of the file from another: whether it exists, its size and write time.
  struct FileStamp {
    bool exists = false;
    ULONGLONG size = 0;
    ULONGLONG writeTime = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(const std::string& file);
  // The file's text of key as the profile functions read it; "" when it has none.
  const std::string& FileText(const std::string& key) const;

  std::string file_;
  // Texts read from the file in the state stamp_ describes, by key exactly as asked for.
  mutable FileStamp stamp_;
  mutable std::unordered_map<std::string, std::string> texts_;
};

// The program's one language table, pointed at its file at start-up.
LanguageTable& AppLanguage();
