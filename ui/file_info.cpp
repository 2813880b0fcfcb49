#include "ui/file_info.h"

#include <windows.h>

#include <cstdio>

#include "core/signature_text.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "ui/locale_format.h"
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
std::string LocalTimeText(const FILETIME& time, const wchar_t* locale) {
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&time, &utc)) return {};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {};
  return LocaleDateTime(local, locale);
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
    const std::string code = LanguageCodeText(translation);
    auto& fields = info.versions[code];
    info.languageNames[code] = LanguageNameText(translation.language, code);
    for (const auto& field : kVersionFields) {
      // A field the resource lacks or leaves empty would only be an empty row.
      std::string value = resource->Field(translation, field.name).value_or(std::string());
      if (!value.empty()) fields[language.T(field.labelKey)] = std::move(value);
    }
  }
}

void GatherAttributes(const std::string& path, const LanguageTable& language, FileInfo& info) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return;
  info.attributes[language.T("_CreationTime")] = LocalTimeText(data.ftCreationTime, UserLocale());
  info.attributes[language.T("_LastAccessTime")] =
      LocalTimeText(data.ftLastAccessTime, UserLocale());
  info.attributes[language.T("_LastWriteTime")] = LocalTimeText(data.ftLastWriteTime, UserLocale());
  const std::uint64_t size =
      (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info.attributes[language.T("_FileSize")] = FormatFileSize(size, language, UserLocale());
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
    const auto name = info.languageNames.find(code);
    rows.emplace_back(codeLabel, name != info.languageNames.end() ? name->second : code);
    for (const auto& field : fields) rows.push_back(field);
  }
  for (const auto& attribute : info.attributes) rows.push_back(attribute);
  return rows;
}

std::vector<std::pair<std::string, std::string>> SignatureRows(const SignatureResult& signature,
                                                               const LanguageTable& language,
                                                               const wchar_t* locale) {
  std::string state;
  switch (signature.state) {
    case SignatureResult::State::kVerified:
      state = language.T("_SignatureVerified");
      break;
    case SignatureResult::State::kNotTrusted:
      state = language.T("_NotVerified");
      if (!signature.reasonText.empty()) state += ": " + signature.reasonText;
      break;
    default:
      state = PublisherText(&signature, {}, language);
      break;
  }
  std::vector<std::pair<std::string, std::string>> rows{{language.T("_Signature"), state}};
  if (signature.signer.empty()) return rows;
  auto date = [locale](std::uint64_t ticks) {
    if (ticks == 0) return std::string();  // unknown
    return LocalTimeText(FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)},
                         locale);
  };
  rows.emplace_back(language.T("_SignedBy"), signature.signer);
  rows.emplace_back(language.T("_CertIssuer"), signature.issuer);
  rows.emplace_back(language.T("_CertValidFrom"), date(signature.notBefore));
  rows.emplace_back(language.T("_CertValidTo"), date(signature.notAfter));
  return rows;
}

std::string FormatFileSize(std::uint64_t bytes, const LanguageTable& language,
                           const wchar_t* locale) {
  std::string format = language.T("_FileSizeBytes");
  // Without its text the numbers still show, in the same arrangement.
  if (!HasStringConversion(format)) format = "%s (%s)";
  return SafeFormat(format, {ShortByteSize(bytes), LocaleWholeNumber(bytes, locale)});
}

std::string LanguageNameText(std::uint16_t language, const std::string& codeText) {
  char name[128] = {};
  // Systems differ in whether the count includes the terminating zero; the text itself does not.
  if (VerLanguageNameA(language, name, sizeof(name)) == 0 || name[0] == '\0') return codeText;
  return name;
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
