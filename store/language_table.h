// The language table: turns language keys ("_Run") into display texts read from the language
// file (INI, section "String"). It holds the file path and the texts of the file's section, read
// in one go at the first lookup and again whenever the file's size or write time has changed
// since, so a lookup always sees the file as it is.
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

  // The text of key, found by the profile-string rules (key and section names without regard
  // to case, blanks around key and text dropped, a pair of quotes around the text removed, the
  // first key of the first "String" section wins, at most 65534 characters); the key itself
  // when it has no text. With expand, backslash-r and backslash-n pairs become CR and LF.
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
  // Reads the section again when the file is not in the state it was last read in.
  void Refresh() const;

  std::string file_;
  // The texts of the section by folded key (FoldKey), as the file was in state stamp_.
  mutable bool read_ = false;
  mutable FileStamp stamp_;
  mutable std::unordered_map<std::wstring, std::string> texts_;
};

// The program's one language table, pointed at its file at start-up.
LanguageTable& AppLanguage();
