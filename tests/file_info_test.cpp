// What the file information dialog gathers: version texts of every translation, times, sizes,
// the order of the rows, the missing-file case, and the search and Explorer texts.
#include "ui/file_info.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "store/language_table.h"
#include "ui/locale_format.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

std::string ExeFolder() {
  char path[MAX_PATH * 4] = {};
  GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}

std::string SamplePath() {
  return ExeFolder() + "\\" + QV_VERSION_SAMPLE;
}

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "qv_file_info_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const auto& file : files_) DeleteFileA(file.c_str());
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& content) {
    const std::string file = path_ + "\\" + name;
    std::ofstream(file, std::ios::binary) << content;
    files_.push_back(file);
    return file;
  }
  std::string Track(const std::string& name) {
    files_.push_back(path_ + "\\" + name);
    return files_.back();
  }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

std::vector<std::string> Labels(const Rows& rows) {
  std::vector<std::string> labels;
  for (const auto& row : rows) labels.push_back(row.first);
  return labels;
}

const std::vector<std::string> kKeyOrderedFieldLabels = {
    "_Comments",     "_CompanyName",    "_FileDescription", "_FileVersion",
    "_InternalName", "_LegalCopyright", "_LegalTrademarks", "_OriginalFilename",
    "_PrivateBuild", "_ProductName",    "_ProductVersion",  "_SpecialBuild"};
const std::vector<std::string> kKeyOrderedAttributeLabels = {"_CreationTime", "_FileSize",
                                                             "_LastAccessTime", "_LastWriteTime"};

TEST(FileInfoGather, TwoTranslationsWithoutLanguageFileComeInKeyOrder) {
  const LanguageTable noFile;
  const FileInfo info = GatherFileInfo(SamplePath(), noFile);
  ASSERT_TRUE(info.exists) << SamplePath();
  ASSERT_EQ(info.versions.size(), 2u);

  // The German block lacks Comments and SpecialBuild: no empty rows for them.
  std::vector<std::string> expected = {"_LanguageCode"};
  for (const auto& label : kKeyOrderedFieldLabels) {
    if (label != "_Comments" && label != "_SpecialBuild") expected.push_back(label);
  }
  expected.push_back("_LanguageCode");
  expected.insert(expected.end(), kKeyOrderedFieldLabels.begin(), kKeyOrderedFieldLabels.end());
  expected.insert(expected.end(), kKeyOrderedAttributeLabels.begin(),
                  kKeyOrderedAttributeLabels.end());
  const Rows rows = FileInfoRows(info, noFile);
  EXPECT_EQ(Labels(rows), expected);
  // German first although the resource lists English first, each shown by its name.
  EXPECT_EQ(rows[0].second, LanguageNameText(0x0407, "0x0407 0x04B0"));
  EXPECT_EQ(rows[11].second, LanguageNameText(0x0409, "0x0409 0x04B0"));
  EXPECT_NE(rows[0].second.find("German"), std::string::npos) << rows[0].second;
  EXPECT_NE(rows[11].second.find("English"), std::string::npos) << rows[11].second;
}

TEST(FileInfoGather, FieldValuesPerTranslationWithMissingOnesLeftOut) {
  const LanguageTable noFile;
  const FileInfo info = GatherFileInfo(SamplePath(), noFile);
  ASSERT_EQ(info.versions.count("0x0407 0x04B0"), 1u);
  ASSERT_EQ(info.versions.count("0x0409 0x04B0"), 1u);
  const auto& german = info.versions.at("0x0407 0x04B0");
  const auto& english = info.versions.at("0x0409 0x04B0");
  EXPECT_EQ(german.size(), 10u);
  EXPECT_EQ(english.size(), 12u);
  EXPECT_EQ(german.count("_Comments"), 0u);
  EXPECT_EQ(german.count("_SpecialBuild"), 0u);

  struct Case {
    const std::map<std::string, std::string>* fields;
    const char* label;
    const char* value;
  };
  const Case cases[] = {
      {&german, "_CompanyName", "Beispielwerke"},
      {&german, "_FileDescription",
       "Gr\xC3\xB6\xC3\x9F"
       "enpr\xC3\xBC"
       "fung"},
      {&german, "_PrivateBuild", "privat-de"},
      {&english, "_Comments", "English comments"},
      {&english, "_SpecialBuild", "special-en"},
      {&english, "_ProductName", "Sample Product"},
      {&english, "_OriginalFilename", "version_sample.dll"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.fields->count(c.label), 1u) << c.label;
    EXPECT_EQ(c.fields->at(c.label), c.value) << c.label;
  }
}

TEST(FileInfoGather, LanguageFileTextsDecideTheOrderAndEqualTextsShareARow) {
  TempFolder folder;
  // Reversed alphabet for some labels; _InternalName and _OriginalFilename translate alike, so
  // they share a row and the field read later (OriginalFilename) wins.
  const std::string file = folder.Write("order.language",
                                        "[String]\r\n"
                                        "_LanguageCode=Language\r\n"
                                        "_Comments=Zz comments\r\n"
                                        "_CompanyName=Aa company\r\n"
                                        "_InternalName=Name\r\n"
                                        "_OriginalFilename=Name\r\n"
                                        "_FileSize=0 size\r\n"
                                        "_CreationTime=Created\r\n");
  const LanguageTable language(file);
  const FileInfo info = GatherFileInfo(SamplePath(), language);
  const auto& english = info.versions.at("0x0409 0x04B0");
  EXPECT_EQ(english.size(), 11u);
  EXPECT_EQ(english.at("Name"), "version_sample.dll");
  // Byte order: upper-case letters before the underscore of untranslated keys.
  std::vector<std::string> firstThree;
  for (const auto& field : english) {
    if (firstThree.size() < 3) firstThree.push_back(field.first);
  }
  EXPECT_EQ(firstThree, (std::vector<std::string>{"Aa company", "Name", "Zz comments"}));

  const Rows rows = FileInfoRows(info, language);
  // German: its language row and 9 fields (no comments); English: 1 + 11; then 4 attributes.
  ASSERT_EQ(rows.size(), 10u + 12u + 4u);
  EXPECT_EQ(rows[0].first, "Language");
  EXPECT_EQ(rows[1].first, "Aa company");
  EXPECT_EQ(rows[2].first, "Name");
  EXPECT_EQ(rows[3].first, "_FileDescription");
  EXPECT_EQ(rows[10].first, "Language");
  EXPECT_EQ(rows[13].first, "Zz comments");
  EXPECT_EQ(rows[22].first, "0 size");
  EXPECT_EQ(rows[23].first, "Created");
}

TEST(FileInfoGather, MissingFilesGiveOneNoteRow) {
  TempFolder folder;
  const std::string languageFile = folder.Write(
      "missing.language", "[String]\r\n_FileIsNotExistInfo=The file does not exist.\r\n");
  const LanguageTable language(languageFile);
  const std::string cases[] = {
      "",
      folder.Path() + "\\no such program.exe",
      folder.Path(),  // a folder is not a program file
      "qv_no_such_program_anywhere.exe",
      "C:\\qv missing folder\\app.exe",
  };
  for (const auto& path : cases) {
    const FileInfo info = GatherFileInfo(path, language);
    EXPECT_FALSE(info.exists) << path;
    EXPECT_TRUE(info.versions.empty()) << path;
    const Rows rows = FileInfoRows(info, language);
    ASSERT_EQ(rows.size(), 1u) << path;
    EXPECT_EQ(rows[0].first, "") << path;
    EXPECT_EQ(rows[0].second, "The file does not exist.") << path;
  }
}

TEST(FileInfoGather, FileWithoutVersionResourceShowsAttributesOnly) {
  TempFolder folder;
  const std::string file = folder.Write("plain.txt", "not a program");
  const LanguageTable noFile;
  const FileInfo info = GatherFileInfo(file, noFile);
  EXPECT_TRUE(info.exists);
  EXPECT_TRUE(info.versions.empty());
  EXPECT_EQ(Labels(FileInfoRows(info, noFile)), kKeyOrderedAttributeLabels);
  EXPECT_EQ(info.attributes.at("_FileSize"), FormatFileSize(13, noFile, UserLocale()));
}

TEST(FileInfoGather, BareNameIsFoundAlongTheSearchPath) {
  TempFolder folder;
  const std::string name = "qv_bare_" + std::to_string(GetCurrentProcessId()) + ".txt";
  folder.Write(name, std::string(2048, 'x'));
  char previous[MAX_PATH * 4] = {};
  GetCurrentDirectoryA(sizeof(previous), previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  const LanguageTable noFile;
  const FileInfo info = GatherFileInfo(name, noFile);
  SetCurrentDirectoryA(previous);

  EXPECT_TRUE(info.exists);
  EXPECT_NE(info.resolvedPath.find(name), std::string::npos);
  // Read from where it was found, not from the current folder of the moment.
  ASSERT_EQ(info.attributes.count("_FileSize"), 1u);
  EXPECT_EQ(info.attributes.at("_FileSize"), FormatFileSize(2048, noFile, UserLocale()));
}

// The byte count is grouped by the locale; the short size and the words come from the system and
// the language file.
TEST(FileInfoFormat, SizeIsWrittenAsExplorerWritesItWithTheLocalesGrouping) {
  TempFolder folder;
  const LanguageTable language(
      folder.Write("size.language", "[String]\r\n_FileSizeBytes=%s (%s bytes)\r\n"));
  const LanguageTable noFile;
  struct Case {
    std::uint64_t bytes;
    const wchar_t* locale;
    const LanguageTable* language;
    std::string text;
  };
  const Case cases[] = {
      {489472, L"en-US", &language, "478 KB (489,472 bytes)"},
      {1536000, L"en-US", &language, ShortByteSize(1536000) + " (1,536,000 bytes)"},
      {5368709120ull, L"en-US", &language, ShortByteSize(5368709120ull) + " (5,368,709,120 bytes)"},
      {489472, L"de-DE", &language, "478 KB (489.472 bytes)"},
      {999, L"en-US", &language, ShortByteSize(999) + " (999 bytes)"},
      // Without the language text the numbers keep their arrangement.
      {489472, L"en-US", &noFile, "478 KB (489,472)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFileSize(c.bytes, *c.language, c.locale), c.text) << c.bytes;
  }
  EXPECT_EQ(ShortByteSize(1536000).rfind("1", 0), 0u) << ShortByteSize(1536000);
  EXPECT_NE(ShortByteSize(1536000).find("MB"), std::string::npos);
  EXPECT_NE(ShortByteSize(5368709120ull).find("GB"), std::string::npos);
}

TEST(FileInfoFormat, DatesAndTimesFollowTheLocale) {
  const SYSTEMTIME time{2005, 3, 1, 7, 14, 5, 9, 0};
  EXPECT_EQ(LocaleDateTime(time, L"en-US"), "3/7/2005 2:05:09 PM");
  // German writes day.month.year and a 24-hour clock; systems differ in the leading zeros.
  const std::string german = LocaleDateTime(time, L"de-DE");
  EXPECT_TRUE(german == "07.03.2005 14:05:09" || german == "7.3.2005 14:05:09") << german;
  EXPECT_EQ(LocaleWholeNumber(1234567, L"en-US"), "1,234,567");
  EXPECT_EQ(LocaleWholeNumber(12, L"de-DE"), "12");
}

TEST(FileInfoFormat, RealFileSizesIncludingASparseFiveGigabyteFile) {
  TempFolder folder;
  const LanguageTable noFile;
  const std::string small = folder.Write("small.bin", std::string(1536000, 'a'));
  EXPECT_EQ(GatherFileInfo(small, noFile).attributes.at("_FileSize"),
            FormatFileSize(1536000, noFile, UserLocale()));

  const std::string big = folder.Track("big.bin");
  {
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = 5368709120ll;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
  }
  // All 64 bits of the size count.
  EXPECT_EQ(GatherFileInfo(big, noFile).attributes.at("_FileSize"),
            FormatFileSize(5368709120ull, noFile, UserLocale()));
}

TEST(FileInfoFormat, TimesAreLocalInTheUsersForm) {
  TempFolder folder;
  const std::string file = folder.Write("timed.txt", "t");
  // 2005-03-07 14:05:09 UTC.
  SYSTEMTIME writeUtc{2005, 3, 1, 7, 14, 5, 9, 0};
  FILETIME writeTime{};
  ASSERT_TRUE(SystemTimeToFileTime(&writeUtc, &writeTime));
  {
    HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const BOOL set = SetFileTime(handle, nullptr, nullptr, &writeTime);
    CloseHandle(handle);
    ASSERT_TRUE(set);
  }
  const LanguageTable noFile;
  const FileInfo info = GatherFileInfo(file, noFile);
  // The test runs with TZ=Asia/Kolkata: five and a half hours ahead of UTC, all year.
  const SYSTEMTIME local{2005, 3, 1, 7, 19, 35, 9, 0};
  EXPECT_EQ(info.attributes.at("_LastWriteTime"), LocaleDateTime(local, UserLocale()));
  // Reading the file moves the access time on the host, and the creation time is the host's
  // own: only that they are there.
  for (const char* label : {"_LastAccessTime", "_CreationTime"}) {
    EXPECT_FALSE(info.attributes.at(label).empty()) << label;
  }
}

TEST(FileInfoText, SearchUrlEncodesOnlyWhatWouldBreakTheQuery) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Tools\\app.exe", "app.exe"},
      {"C:\\Tools\\my app.exe", "my app.exe"},
      {"C:\\a&b#c+d%e.exe", "a%26b%23c%2Bd%25e.exe"},
      {"C:app.exe", "app.exe"},
      {"app.exe", "app.exe"},
      {"C:\\Tools\\", ""},
      {"C:\\Programme\\\xC3\xBC"
       "ber.exe",
       "\xC3\xBC"
       "ber.exe"},
      {"C:\\x\\100%.exe", "100%25.exe"},
  };
  const std::string base = "https://www.bing.com/search?q=";
  for (const auto& [path, term] : cases) EXPECT_EQ(SearchUrl(path), base + term) << path;
}

TEST(FileInfoText, ExplorerParametersQuoteThePath) {
  EXPECT_EQ(ExplorerSelectParams("C:\\Tools\\my app.exe"), "/select,\"C:\\Tools\\my app.exe\"");
  EXPECT_EQ(ExplorerSelectParams("C:\\a,b\\x.exe"), "/select,\"C:\\a,b\\x.exe\"");
}

}  // namespace

namespace {

TEST(SignatureRows, StateThenSignerIssuerAndLocalValidityDates) {
  LanguageTable noFile;
  SYSTEMTIME from{2026, 1, 5, 2, 0, 0, 0, 0};  // UTC; the test's zone is 5:30 ahead
  SYSTEMTIME to{2027, 6, 2, 30, 20, 0, 0, 0};
  FILETIME fromTime{};
  FILETIME toTime{};
  SystemTimeToFileTime(&from, &fromTime);
  SystemTimeToFileTime(&to, &toTime);
  SignatureResult untrusted;
  untrusted.state = SignatureResult::State::kNotTrusted;
  untrusted.signer = "Maker Ltd";
  untrusted.issuer = "Maker Root";
  untrusted.notBefore = (std::uint64_t{fromTime.dwHighDateTime} << 32) | fromTime.dwLowDateTime;
  untrusted.notAfter = (std::uint64_t{toTime.dwHighDateTime} << 32) | toTime.dwLowDateTime;
  untrusted.reasonText = "No trusted root.";
  const SYSTEMTIME fromLocal{2026, 1, 5, 2, 5, 30, 0, 0};
  const SYSTEMTIME toLocal{2027, 7, 4, 1, 1, 30, 0, 0};
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"_Signature", "_NotVerified: No trusted root."},
      {"_SignedBy", "Maker Ltd"},
      {"_CertIssuer", "Maker Root"},
      {"_CertValidFrom", LocaleDateTime(fromLocal, L"en-US")},
      {"_CertValidTo", LocaleDateTime(toLocal, L"en-US")},
  };
  EXPECT_EQ(SignatureRows(untrusted, noFile, L"en-US"), expected);

  SignatureResult verified = untrusted;
  verified.state = SignatureResult::State::kVerified;
  EXPECT_EQ(SignatureRows(verified, noFile, L"en-US")[0].second, "_SignatureVerified");
  // No signer: the state alone.
  SignatureResult unsignedFile;
  unsignedFile.state = SignatureResult::State::kNotSigned;
  EXPECT_EQ(SignatureRows(unsignedFile, noFile, L"en-US"),
            (std::vector<std::pair<std::string, std::string>>{{"_Signature", "_NotSigned"}}));
}

}  // namespace
