// What the file information dialog shows about a program file, gathered without a window.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class LanguageTable;

struct FileInfo {
  bool exists = false;
  // Where the file was found (a bare name is looked for along the search path); empty when
  // missing.
  std::string resolvedPath;
  // Language code text ("0x0409 0x04B0") -> translated field label -> value. std::string orders
  // byte by byte, so the rows follow the language file's texts.
  std::map<std::string, std::map<std::string, std::string>> versions;
  // Translated attribute label -> value; for a missing file the empty label holds the note.
  std::map<std::string, std::string> attributes;
};

// Reads the version texts, the three times (local time) and the size of the file at path.
FileInfo GatherFileInfo(const std::string& path, const LanguageTable& language);

// The list rows (label, value) in display order: each translation opened by its language code
// row, then the attribute rows.
std::vector<std::pair<std::string, std::string>> FileInfoRows(const FileInfo& info,
                                                              const LanguageTable& language);

// Where path names an existing file: itself, or for a bare name the file found along the search
// path; empty when there is none (an empty path, a folder, nothing there).
std::string FindExistingFile(const std::string& path);

// Text rules, exposed for tests.
// "%.2fMB(%.2fKB)" of the full 64-bit size.
std::string FormatFileSize(std::uint64_t bytes);
// "YYYY-MM-DD hh:mm:ss".
std::string FormatTimeFields(int year, int month, int day, int hour, int minute, int second);
// The text after the last '\' or ':' (the whole path when it has neither).
std::string FileNamePart(const std::string& path);
// The web search address for the file name part of path.
std::string SearchUrl(const std::string& path);
// The Explorer parameters that open path's folder with the file selected.
std::string ExplorerSelectParams(const std::string& path);
