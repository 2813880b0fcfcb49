#include "ui/file_info.h"

#include <windows.h>

#include <cstdio>

#include "store/language_table.h"
#include "ui/version_info.h"
#include "ui/web_links.h"

namespace {

struct VersionField {
  const char* name;
  const char* labelKey;
};

// The fields every translation shows, in the order they are read.
constexpr VersionField kVersionFields[] = {
    {"Comments", "_Comments"},
    {"InternalName", "_InternalName"},
    {"ProductName", "_ProductName"},
    {"CompanyName", "_CompanyName"},
    {"LegalCopyright", "_LegalCopyright"},
    {"ProductVersion", "_ProductVersion"},
    {"FileDescription", "_FileDescription"},
    {"LegalTrademarks", "_LegalTrademarks"},
    {"PrivateBuild", "_PrivateBuild"},
    {"FileVersion", "_FileVersion"},
    {"OriginalFilename", "_OriginalFilename"},
    {"SpecialBuild", "_SpecialBuild"},
};

std::string LanguageCodeText(const VersionResource::Translation& translation) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%04X 0x%04X", translation.language, translation.codePage);
  return text;
}

// Empty when the time cannot be converted.
std::string LocalTimeText(const FILETIME& time) {
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&time, &utc)) return {};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {};
  return FormatTimeFields(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                          local.wSecond);
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool HasFolderPart(const std::string& path) {
  return path.find_first_of("\\/:") != std::string::npos;
}

void GatherVersions(const std::string& path, const LanguageTable& language, FileInfo& info) {
  const auto resource = VersionResource::Read(path);
  if (!resource) return;
  for (const auto& translation : resource->Translations()) {
    auto& fields = info.versions[LanguageCodeText(translation)];
    for (const auto& field : kVersionFields) {
      fields[language.T(field.labelKey)] =
          resource->Field(translation, field.name).value_or(std::string());
    }
  }
}

void GatherAttributes(const std::string& path, const LanguageTable& language, FileInfo& info) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return;
  info.attributes[language.T("_CreationTime")] = LocalTimeText(data.ftCreationTime);
  info.attributes[language.T("_LastAccessTime")] = LocalTimeText(data.ftLastAccessTime);
  info.attributes[language.T("_LastWriteTime")] = LocalTimeText(data.ftLastWriteTime);
  const std::uint64_t size =
      (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info.attributes[language.T("_FileSize")] = FormatFileSize(size);
}

}  // namespace

std::string FindExistingFile(const std::string& path) {
  if (path.empty()) return {};
  if (HasFolderPart(path)) return IsExistingFile(path) ? path : std::string();
  // A bare name is looked for as the system looks for a program: the current folder, the
  // system folders and the PATH.
  std::string found(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = SearchPathA(nullptr, path.c_str(), nullptr,
                                     static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (length == 0) return {};
    if (length < found.size()) {
      found.resize(length);
      break;
    }
    found.resize(length + 1);
  }
  return IsExistingFile(found) ? found : std::string();
}

FileInfo GatherFileInfo(const std::string& path, const LanguageTable& language) {
  FileInfo info;
  info.resolvedPath = FindExistingFile(path);
  info.exists = !info.resolvedPath.empty();
  if (!info.exists) {
    info.attributes[""] = language.T("_FileIsNotExistInfo");
    return info;
  }
  GatherVersions(info.resolvedPath, language, info);
  GatherAttributes(info.resolvedPath, language, info);
  return info;
}

std::vector<std::pair<std::string, std::string>> FileInfoRows(const FileInfo& info,
                                                              const LanguageTable& language) {
  std::vector<std::pair<std::string, std::string>> rows;
  const std::string codeLabel = language.T("_LanguageCode");
  for (const auto& [code, fields] : info.versions) {
    rows.emplace_back(codeLabel, code);
    for (const auto& field : fields) rows.push_back(field);
  }
  for (const auto& attribute : info.attributes) rows.push_back(attribute);
  return rows;
}

std::string FormatFileSize(std::uint64_t bytes) {
  char text[128];
  const double size = static_cast<double>(bytes);
  std::snprintf(text, sizeof(text), "%.2fMB(%.2fKB)", size / 1048576.0, size / 1024.0);
  return text;
}

std::string FormatTimeFields(int year, int month, int day, int hour, int minute, int second) {
  char text[64];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                second);
  return text;
}

std::string FileNamePart(const std::string& path) {
  // Stepped by character, so a trail byte of a double-byte character is never taken for '\'.
  const char* start = path.c_str();
  const char* name = start;
  for (const char* p = start; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == ':') name = p + 1;
  }
  return path.substr(static_cast<std::size_t>(name - start));
}

std::string SearchUrl(const std::string& path) {
  std::string url = kWebSearchUrl;
  // Only the characters that would end or corrupt the query are encoded; the rest (blanks and
  // non-ASCII text included) goes in as the user sees it.
  for (const char c : FileNamePart(path)) {
    if (c == '%' || c == '&' || c == '#' || c == '+') {
      char escaped[4];
      std::snprintf(escaped, sizeof(escaped), "%%%02X", static_cast<unsigned char>(c));
      url += escaped;
    } else {
      url += c;
    }
  }
  return url;
}

std::string ExplorerSelectParams(const std::string& path) {
  // Quoted, so a comma in a folder name does not end the path.
  return "/select,\"" + path + "\"";
}
