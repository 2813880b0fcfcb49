// What the file information dialog shows about a program file, gathered without a window.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/signature_check.h"

class LanguageTable;

struct FileInfo {
  bool exists = false;
  // Where the file was found (a bare name is looked for along the search path); empty when
  // missing.
  std::string resolvedPath;
  // Language code text ("0x0409 0x04B0") -> translated field label -> value, only fields that have
  // text. The code text orders the translations; std::string orders byte by byte, so the rows
  // follow the language file's texts.
  std::map<std::string, std::map<std::string, std::string>> versions;
  // Language code text -> the language's name as the system gives it ("English (United States)").
  std::map<std::string, std::string> languageNames;
  // Translated attribute label -> value; for a missing file the empty label holds the note.
  std::map<std::string, std::string> attributes;
};

// Reads the version texts, the three times (local time) and the size of the file at path.
FileInfo GatherFileInfo(const std::string& path, const LanguageTable& language);

// The list rows (label, value) in display order: each translation opened by its language code
// row, then the attribute rows.
std::vector<std::pair<std::string, std::string>> FileInfoRows(const FileInfo& info,
                                                              const LanguageTable& language);

// The rows of a program file's signature, shown after the attribute rows: its state (with the
// system's reason when the signer is not trusted), and for a signed file the signer, the
// certificate's issuer and its validity dates in the locale's form.
std::vector<std::pair<std::string, std::string>> SignatureRows(const SignatureResult& signature,
                                                               const LanguageTable& language,
                                                               const wchar_t* locale);

// Where path names an existing file: itself, or for a bare name the file found along the search
// path; empty when there is none (an empty path, a folder, nothing there).
std::string FindExistingFile(const std::string& path);

// Text rules, exposed for tests.
// The size as Explorer writes it: the short size and the exact byte count grouped for locale,
// put together by T("_FileSizeBytes") ("478 KB (489,472 bytes)").
std::string FormatFileSize(std::uint64_t bytes, const LanguageTable& language,
                           const wchar_t* locale);
// The name of a version resource's language; the code text when the system has no name.
std::string LanguageNameText(std::uint16_t language, const std::string& codeText);
// The text after the last '\' or ':' (the whole path when it has neither).
std::string FileNamePart(const std::string& path);
// The web search address for the file name part of path.
std::string SearchUrl(const std::string& path);
// The Explorer parameters that open path's folder with the file selected.
std::string ExplorerSelectParams(const std::string& path);
