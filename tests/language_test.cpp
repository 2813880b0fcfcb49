// The language table on real files, window and menu translation on real windows and menus, and
// the shipped English language file.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "res/resource.h"
#include "store/language_table.h"
#include "ui/translate.h"

namespace {

// A temporary folder of the test's own, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "quorvane_language_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    RemoveDirectoryA(path_.c_str());
  }
  std::string Write(const std::string& name, const std::string& content) {
    const std::string file = path_ + "\\" + name;
    std::ofstream(file, std::ios::binary) << content;
    files_.insert(file);
    return file;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::set<std::string> files_;
};

const char kSample[] =
    "; comment line\r\n"
    "[Other]\r\n"
    "_OnlyElsewhere=Wrong section\r\n"
    "[String]\r\n"
    "_Run=Run\r\n"
    "_Empty=\r\n"
    "_Quoted=\"  spaced text  \"\r\n"
    "_Blanks =   trimmed   \r\n"
    "_lowercase=Found in any case\r\n"
    "_Twice=First\r\n"
    "_Twice=Second\r\n"
    "_Lines=One\\nTwo\\r\\nThree\r\n"
    "_Percent=100% of %s\r\n"
    "_Caption=Translated Caption\r\n"
    "_OK=Okay\r\n"
    "_Nested=Nested Button\r\n"
    "_File=&File\r\n"
    "_Open=&Open\r\n"
    "_Exit=E&xit\r\n"
    "_More=More\r\n"
    "_Deep=Deep Item\r\n"
    "_Utf8=K\xC3\xA4se\r\n"
    "_Single='single quoted'\r\n"
    "_LoneQuote=\"\r\n"
    "_HalfQuoted=\"open\r\n"
    "_EmptyQuoted=\"\"\r\n"
    "_Inner= a \"b\" c \r\n"
    "_Equals=a=b\r\n"
    "_NoEquals\r\n"
    "=Text of the empty key\r\n"
    "[string]\r\n"
    "_Later=Second section\r\n";

class LanguageTableTest : public ::testing::Test {
 protected:
  void SetUp() override { table_.SetFile(folder_.Write("Sample.language", kSample)); }
  TempFolder folder_;
  LanguageTable table_;
};

struct LookupCase {
  const char* key;
  bool expand;
  const char* text;
};

TEST_F(LanguageTableTest, LooksUpTextsByTheProfileRules) {
  const LookupCase cases[] = {
      {"_Run", false, "Run"},
      {"_Missing", false, "_Missing"},
      {"_Empty", false, "_Empty"},
      {"_Quoted", false, "  spaced text  "},
      {"_Blanks", false, "trimmed"},
      {"_LowerCase", false, "Found in any case"},
      {"_RUN", false, "Run"},
      {"_Twice", false, "First"},
      {"_OnlyElsewhere", false, "_OnlyElsewhere"},
      {"_Percent", false, "100% of %s"},
      {"_Utf8", false, "K\xC3\xA4se"},
      {"  _Run\t", false, "Run"},  // the key is trimmed too
      {"_Single", false, "single quoted"},
      {"_LoneQuote", false, "\""},
      {"_HalfQuoted", false, "\"open"},
      {"_EmptyQuoted", false, "_EmptyQuoted"},
      {"_Inner", false, "a \"b\" c"},
      {"_Equals", false, "a=b"},
      {"_NoEquals", false, "_NoEquals"},
      {"", false, "Text of the empty key"},
      {"_Later", false, "_Later"},  // only the first section of the name counts
      // escapes are expanded only where asked, and never in a key that stands for its text
      {"_Lines", false, "One\\nTwo\\r\\nThree"},
      {"_Lines", true, "One\nTwo\r\nThree"},
      {"_Missing\\n", true, "_Missing\\n"},
  };
  for (const LookupCase& c : cases) {
    EXPECT_EQ(table_.T(c.key, c.expand), c.text) << c.key << " expand " << c.expand;
  }
}

TEST_F(LanguageTableTest, UsesAtMost65534CharactersOfAText) {
  table_.SetFile(
      folder_.Write("Long.language", "[String]\r\n_Long=" + std::string(70000, 'x') + "\r\n"));
  EXPECT_EQ(table_.T("_Long"), std::string(65534, 'x'));
}

FILETIME WriteTime(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

void SetWriteTime(const std::string& file, FILETIME time) {
  HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << file;
  EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &time));
  CloseHandle(handle);
}

// Texts are read once per state of the file: a later lookup of the same key sees the file as it
// is now, whether it was rewritten, removed, made again or exchanged for another file.
TEST_F(LanguageTableTest, ALookupSeesTheFileAsItIsNow) {
  EXPECT_EQ(table_.T("_Lines", true), "One\nTwo\r\nThree");
  EXPECT_EQ(table_.T("_Lines"), "One\\nTwo\\r\\nThree");  // kept unexpanded
  EXPECT_EQ(table_.T("_Run"), "Run");

  // Another text of the same length: only the write time tells the two files apart.
  const std::string file = table_.File();
  FILETIME later = WriteTime(file);
  later.dwHighDateTime += 1;
  std::string sameLength = kSample;
  sameLength.replace(sameLength.find("_Run=Run"), 8, "_Run=Ran");
  folder_.Write("Sample.language", sameLength);
  SetWriteTime(file, later);
  EXPECT_EQ(table_.T("_Run"), "Ran");

  // No file, then a file again.
  DeleteFileA(file.c_str());
  EXPECT_EQ(table_.T("_Run"), "_Run");
  folder_.Write("Sample.language", "[String]\r\n_Run=Back\r\n");
  EXPECT_EQ(table_.T("_Run"), "Back");

  // Another file of the same size and write time: its own texts.
  const std::string other = folder_.Write("Other.language", "[String]\r\n_Run=Left\r\n");
  SetWriteTime(other, WriteTime(file));
  table_.SetFile(other);
  EXPECT_EQ(table_.T("_Run"), "Left");
}

TEST(LanguageTable, WithoutAFileEveryKeyIsItsOwnText) {
  LanguageTable missing("C:\\no such folder\\Missing.language");
  EXPECT_EQ(missing.T("_Run"), "_Run");
  EXPECT_EQ(missing.T("_Lines\\n", true), "_Lines\\n");
  LanguageTable unset;
  EXPECT_EQ(unset.T("_Run"), "_Run");
}

TEST(LanguageTable, TheProgramHasOneTable) {
  LanguageTable& first = AppLanguage();
  first.SetFile("C:\\x.language");
  EXPECT_EQ(&AppLanguage(), &first);
  EXPECT_EQ(AppLanguage().File(), "C:\\x.language");
  first.SetFile("");
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

HWND Child(const char* className, const char* text, HWND parent, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

TEST_F(LanguageTableTest, TranslateWindowCoversEveryDescendant) {
  HWND top = CreateWindowExA(0, "STATIC", "_Caption", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  HWND ok = Child("BUTTON", "_OK", top, 1);
  HWND lines = Child("STATIC", "_Lines", top, 2);
  HWND unnamed = Child("STATIC", "", top, 3);
  HWND list = Child("STATIC", "List1", top, 4);
  HWND group = Child("STATIC", "_Missing\\nKey", top, 5);
  HWND nested = Child("BUTTON", "_Nested", group, 6);
  HWND deeper = Child("STATIC", "_Run", nested, 7);

  TranslateWindow(table_, top);

  EXPECT_EQ(TextOf(top), "Translated Caption");
  EXPECT_EQ(TextOf(ok), "Okay");
  EXPECT_EQ(TextOf(lines), "One\nTwo\r\nThree");  // windows always expand
  EXPECT_EQ(TextOf(unnamed), "");                 // even though a line has the empty key
  EXPECT_EQ(TextOf(list), "List1");
  EXPECT_EQ(TextOf(group), "_Missing\nKey");  // the key is the text, then expanded
  EXPECT_EQ(TextOf(nested), "Nested Button");
  EXPECT_EQ(TextOf(deeper), "Run");

  // A second pass treats translated texts as keys and changes nothing.
  TranslateWindow(table_, top);
  EXPECT_EQ(TextOf(top), "Translated Caption");
  EXPECT_EQ(TextOf(nested), "Nested Button");
  DestroyWindow(top);
}

struct ItemState {
  std::string text;
  UINT type = 0;
  UINT state = 0;
  UINT id = 0;
  HMENU submenu = nullptr;
};

ItemState ItemAt(HMENU menu, UINT position) {
  char text[256] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof(text);
  EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info));
  return ItemState{text, info.fType, info.fState, info.wID, info.hSubMenu};
}

TEST_F(LanguageTableTest, TranslateMenuKeepsIdsStatesAndSubmenus) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU more = CreatePopupMenu();
  AppendMenuA(more, MF_STRING, 101, "_Deep");
  AppendMenuA(file, MF_STRING | MF_CHECKED, 100, "_Open");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "_More");
  AppendMenuA(file, MF_STRING | MF_GRAYED, 2, "_Exit");
  AppendMenuA(file, MF_STRING, 102, "Plain");
  AppendMenuA(file, MF_STRING, 103, "_Lines");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "_File");

  TranslateMenu(table_, bar);

  const ItemState top = ItemAt(bar, 0);
  EXPECT_EQ(top.text, "&File");
  EXPECT_EQ(top.submenu, file);

  const ItemState open = ItemAt(file, 0);
  EXPECT_EQ(open.text, "&Open");
  EXPECT_EQ(open.id, 100u);
  EXPECT_TRUE(open.state & MFS_CHECKED);

  const ItemState separator = ItemAt(file, 1);
  EXPECT_TRUE(separator.type & MFT_SEPARATOR);
  EXPECT_EQ(separator.text, "");

  const ItemState moreItem = ItemAt(file, 2);
  EXPECT_EQ(moreItem.text, "More");
  EXPECT_EQ(moreItem.submenu, more);
  const ItemState deep = ItemAt(more, 0);
  EXPECT_EQ(deep.text, "Deep Item");
  EXPECT_EQ(deep.id, 101u);

  const ItemState exit = ItemAt(file, 3);
  EXPECT_EQ(exit.text, "E&xit");
  EXPECT_EQ(exit.id, 2u);
  EXPECT_TRUE(exit.state & MFS_GRAYED);

  EXPECT_EQ(ItemAt(file, 4).text, "Plain");
  EXPECT_EQ(ItemAt(file, 5).text, "One\\nTwo\\r\\nThree");  // menus never expand
  EXPECT_EQ(GetMenuItemCount(file), 6);

  DestroyMenu(bar);
}

TEST_F(LanguageTableTest, TranslateMenuIgnoresWhatIsNoMenu) {
  HWND window =
      CreateWindowExA(0, "STATIC", "_Caption", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  TranslateMenu(table_, reinterpret_cast<HMENU>(window));
  TranslateMenu(table_, nullptr);
  EXPECT_EQ(TextOf(window), "_Caption");
  DestroyWindow(window);
}

// --- The shipped language file ------------------------------------------------------------

// Every key the program looks up: menus, tree and type labels, entry list, dialogs, journal.
const char* const kProgramKeys[] = {
    "_ToolQuorvane",
    "_NotInstallXML2",
    "_File",
    "_Exit",
    "_Operation",
    "_AddNew",
    "_Remove",
    "_Modify",
    "_Enable",
    "_Disable",
    "_Refresh",
    "_Property",
    "_AboutFile",
    "_JumpTo",
    "_Tools",
    "_LogViewer",
    "_Language",
    "_LanguageName",
    "_LanguageRestart",
    "_About",
    "_Help",
    "_Website",
    "_Support",
    "_TreeStartupFolder",
    "_AllUser",
    "_CurrentUser",
    "_TreeRegistry",
    "_Run",
    "_RunOnce",
    "_RunService",
    "_RunServiceOnce",
    "_Run32",
    "_RunOnce32",
    "_PolicyRun",
    "_Winini",
    "_LoadSection",
    "_RunSection",
    "_TreeUserInit",
    "_RegString",
    "_RegStringInexact",
    "_RegExpandString",
    "_RegExpandStringInexact",
    "_StartupFolderType",
    "_StartupFolderTypeInexact",
    "_TreeWininiType",
    "_TreeWininiTypeInexact",
    "_Name",
    "_Type",
    "_Data",
    "_RegPath",
    "_Status",
    "_StatusKept",
    "_StatusWindowsOff",
    "_StatusWindowsOffUndated",
    "_StatusFileMissing",
    "_Publisher",
    "_Checking",
    "_NotVerified",
    "_NotSigned",
    "_SignatureMismatch",
    "_ProgramNotFound",
    "_View",
    "_HideWindowsEntries",
    "_Signature",
    "_SignatureVerified",
    "_SignedBy",
    "_CertIssuer",
    "_CertValidFrom",
    "_CertValidTo",
    "_YouMustSelectAnItem",
    "_AreyousureDeleteThisEntry",
    "_AddNewProgram",
    "_AddNewDescription",
    "_AddNewType",
    "_ModifyProgram",
    "_ModifyDescription",
    "_PropertyDescription",
    "_DisplayName",
    "_AppPath",
    "_Section",
    "_Browse",
    "_OK",
    "_Cancel",
    "_Close",
    "_ApplicationNameInvalid",
    "_ApplicationPathInvalid",
    "_MoreInfoDialog",
    "_GoogleIt",
    "_BrowseIt",
    "_AttributeName",
    "_AttributeValue",
    "_FileIsNotExistInfo",
    "_LanguageCode",
    "_FileSize",
    "_FileSizeBytes",
    "_CreationTime",
    "_LastAccessTime",
    "_LastWriteTime",
    "_Comments",
    "_CompanyName",
    "_FileDescription",
    "_FileVersion",
    "_InternalName",
    "_LegalCopyright",
    "_LegalTrademarks",
    "_OriginalFilename",
    "_PrivateBuild",
    "_ProductName",
    "_ProductVersion",
    "_SpecialBuild",
    "_AboutDialog",
    "_AppName",
    "_AppVersion",
    "_Websitelink",
    "_Supportlink",
    "_Copyright",
    "_Thanks",
    "_Thankyoulist",
    "_Warning",
    "_LogType",
    "_LogCategory",
    "_LogSource",
    "_LogItemType1",
    "_LogItemType2",
    "_LogItemType3",
    "_LogItemType4",
    "_LogItemType5",
    "_LogItemType1Content",
    "_LogItemType2Content",
    "_LogItemType3Content",
    "_LogItemType4Content",
    "_LogItemType5Content",
    "_LogItemType1Content1",
    "_LogItemType2Content1",
    "_LogItemType3Content1",
    "_LogItemType4Content1",
    "_LogItemType5Content1",
    "_LogColumnTime",
    "_LogColumnType",
    "_LogColumnCategory",
    "_LogColumnItemType",
    "_LogColumnSource",
    "_LogColumnContent",
    "_CliUsage",
    "_CliNotExact",
    "_CliHeadState",
    "_CliHeadLocation",
    "_CliHeadName",
    "_CliHeadCommand",
};

// Formats and the number of arguments each one is given, in the order given.
const std::map<std::string, int> kFormatArguments = {
    {"_LogItemType1Content", 2},
    {"_LogItemType2Content", 3},
    {"_LogItemType3Content", 5},
    {"_LogItemType4Content", 2},
    {"_LogItemType5Content", 2},
    {"_LogItemType1Content1", 1},
    {"_LogItemType2Content1", 1},
    {"_LogItemType3Content1", 3},
    {"_LogItemType4Content1", 1},
    {"_LogItemType5Content1", 1},
    {"_AreyousureDeleteThisEntry", 1},
    {"_AppVersion", 1},
    {"_FileSizeBytes", 2},
    {"_DisableNotStored", 1},
    {"_DisableNotRemoved", 1},
    {"_EnableNotWritten", 1},
    {"_AddNotWritten", 1},
    {"_ModifyNotWritten", 1},
    {"_ModifyNotStored", 1},
    {"_RemoveNotDone", 1},
    {"_ListValueUnreadable", 1},
    {"_ConfirmReplaceFile", 1},
    {"_StartupFolderUnknown", 1},
    {"_ModifyPlainFileCommand", 1},
    {"_EnablePlainFileMissing", 1},
    {"_ConfirmReplaceValue", 1},
    {"_EntryNotAddressable", 1},
    {"_ValueNotString", 1},
    {"_ListValueNotAddressable", 1},
    {"_UserinitProtected", 1},
    {"_StoreUnreadable", 2},
    {"_StatusWindowsOff", 1},
    {"_StoreParseReason", 1},
    {"_StoreParseReasonAt", 3},
    {"_LanguageNotChanged", 1},
    {"_CliBadArgument", 1},
    {"_CliNoMatch", 1},
    {"_CliSeveralMatch", 1},
    {"_CliUnknownLocation", 1},
    {"_CliReplaceRefused", 1},
    {"_CliFileNotWritten", 1},
    {"_CliBaselineUnreadable", 1},
    {"_CliBaselineInvalid", 1},
};

// Texts shown unexpanded (message boxes, menus, journal) must not carry escapes; only the
// removal question and the About dialog's thank-you list are expanded.
const std::set<std::string> kExpandedKeys = {"_AreyousureDeleteThisEntry", "_Thankyoulist",
                                             "_CliUsage"};

// A shipped language file by its path below the source folder, as Wine sees it.
std::string SourceFile(const std::string& relative) {
  const char* source = std::getenv("QV_SOURCE_DIR");
  std::string path = std::string("Z:") + (source ? source : "") + "/" + relative;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// Every shipped language file: the English one and each translation.
const char* const kShippedFiles[] = {"lang/Quorvane.language", "lang/de/Quorvane.language"};

class ShippedLanguageFile : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("QV_SOURCE_DIR"), nullptr) << "QV_SOURCE_DIR is set by ctest";
    const std::string path = SourceFile(GetParam());
    content_ = ReadWhole(path);
    ASSERT_FALSE(content_.empty()) << path;
    table_.SetFile(path);
  }
  std::string content_;
  LanguageTable table_;
};

// Counts "%s" conversions; any other use of '%' than "%s" or "%%" fails the count.
int StringConversions(const std::string& format) {
  int count = 0;
  for (std::size_t pos = 0; pos < format.size(); ++pos) {
    if (format[pos] != '%') continue;
    if (pos + 1 < format.size() && format[pos + 1] == 's') {
      ++count;
    } else if (pos + 1 >= format.size() || format[pos + 1] != '%') {
      return -1;
    }
    ++pos;
  }
  return count;
}

std::string ToLower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST_P(ShippedLanguageFile, HasATextForEveryKey) {
  EXPECT_EQ(std::size(kProgramKeys), 149u);
  std::set<std::string> keys;
  for (const char* key : kProgramKeys) {
    EXPECT_TRUE(keys.insert(key).second) << "listed twice: " << key;
    const std::string text = table_.T(key);
    EXPECT_NE(text, key) << key << " has no text";
    EXPECT_EQ(text.find_first_not_of(" \t"), 0u) << key;
    if (kExpandedKeys.count(key) == 0) {
      EXPECT_EQ(text.find("\\n"), std::string::npos) << key << " is shown unexpanded";
    }
  }
  for (const auto& [key, arguments] : kFormatArguments) {
    EXPECT_NE(table_.T(key), key) << key << " has no text";
  }
}

TEST_P(ShippedLanguageFile, FormatsTakeExactlyTheirArguments) {
  for (const auto& [key, arguments] : kFormatArguments) {
    EXPECT_EQ(StringConversions(table_.T(key)), arguments) << key << ": " << table_.T(key);
  }
  // Texts that are not formats must not look like one.
  for (const char* key : kProgramKeys) {
    if (kFormatArguments.count(key) == 0) {
      EXPECT_EQ(table_.T(key).find('%'), std::string::npos) << key;
    }
  }
}

TEST_P(ShippedLanguageFile, DefinesEachKeyOnceInTheStringSection) {
  std::istringstream lines(content_);
  std::string line;
  std::string section;
  std::map<std::string, int> seen;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line;
      continue;
    }
    EXPECT_EQ(section, "[String]") << line;
    const std::size_t equals = line.find('=');
    ASSERT_NE(equals, std::string::npos) << line;
    std::string key = line.substr(0, equals);
    for (char& c : key) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(++seen[key], 1) << "defined twice: " << line;
  }
  std::set<std::string> known;
  for (const char* key : kProgramKeys) known.insert(ToLower(key));
  for (const auto& entry : kFormatArguments) known.insert(ToLower(entry.first));
  for (const std::string& key : known) EXPECT_EQ(seen.count(key), 1u) << "not defined: " << key;
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, ShippedLanguageFile, ::testing::ValuesIn(kShippedFiles));

// The access key (the character after a single '&') of a menu text, upper-cased; 0 for none.
wchar_t AccessKey(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    wchar_t key[4] = {};
    const int rest = static_cast<int>(std::min<std::size_t>(text.size() - i - 1, 4));
    MultiByteToWideChar(CP_ACP, 0, text.data() + i + 1, rest, key, 4);
    CharUpperBuffW(key, 1);
    return key[0];
  }
  return 0;
}

// Within the menu bar and within each popup, no two items share an access key.
void ExpectUniqueAccessKeys(HMENU menu, const std::string& where) {
  std::map<wchar_t, std::string> taken;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    if (const wchar_t key = AccessKey(text)) {
      const auto [found, added] = taken.emplace(key, text);
      EXPECT_TRUE(added) << where << ": \"" << text << "\" and \"" << found->second << "\"";
    }
    if (HMENU popup = GetSubMenu(menu, i)) ExpectUniqueAccessKeys(popup, where + " > " + text);
  }
}

TEST_P(ShippedLanguageFile, MenuAccessKeysAreUniqueWithinEachMenu) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  TranslateMenu(table_, menu);
  ExpectUniqueAccessKeys(menu, GetParam());
  DestroyMenu(menu);
}

// The texts of the [String] section by lower-cased key, as written.
std::map<std::string, std::string> SectionTexts(const std::string& content) {
  std::map<std::string, std::string> texts;
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos) continue;
    texts.emplace(ToLower(line.substr(0, equals)), line.substr(equals + 1));
  }
  return texts;
}

// Texts that are the same in English and in a translation on purpose: names of the product and
// of registry keys and values, and words both languages share.
const std::set<std::string> kSameInEveryLanguage = {
    "_toolquorvane",   "_appname",      "_logsource", "_run",         "_runsection",
    "_loadsection",    "_treeuserinit", "_ok",        "_name",        "_status",
    "_legalcopyright", "_appversion",   "_logtype",   "_displayname", "_cliheadname"};

// Each translation has exactly the English keys, the same %s conversions, its own name, and no
// text left in English by accident.
TEST(ShippedTranslations, MatchTheEnglishFileKeyForKey) {
  const auto english = SectionTexts(ReadWhole(SourceFile(kShippedFiles[0])));
  ASSERT_FALSE(english.empty());
  for (std::size_t f = 1; f < std::size(kShippedFiles); ++f) {
    SCOPED_TRACE(kShippedFiles[f]);
    const auto translated = SectionTexts(ReadWhole(SourceFile(kShippedFiles[f])));
    std::set<std::string> englishKeys;
    std::set<std::string> translatedKeys;
    for (const auto& entry : english) englishKeys.insert(entry.first);
    for (const auto& entry : translated) translatedKeys.insert(entry.first);
    EXPECT_EQ(translatedKeys, englishKeys);
    for (const auto& [key, text] : english) {
      const auto found = translated.find(key);
      if (found == translated.end()) continue;
      EXPECT_EQ(StringConversions(found->second), StringConversions(text)) << key;
      EXPECT_EQ(found->second.find("\\n") != std::string::npos,
                text.find("\\n") != std::string::npos)
          << key;
      if (kSameInEveryLanguage.count(key) == 0) {
        EXPECT_NE(found->second, text) << key << " is still in English";
      }
    }
    EXPECT_NE(translated.at("_languagename"), english.at("_languagename"));
  }
}

}  // namespace
