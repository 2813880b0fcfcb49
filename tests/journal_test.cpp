// The journal end to end: ChronivexLog.dll registered with regsvr32 in the test prefix, created
// by its ProgID through real COM, written through JournalClient and read back from its file and
// through its read operations; registration, the absent component and the viewer.
// clang-format off
#include <windows.h>  // before commctrl.h, which needs its types
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "journal/journal_interface.h"
#include "journal/record_format.h"
#include "journal/viewer_texts.h"
#include "platform/bstr.h"
#include "platform/journal_component.h"
#include "platform/win_handles.h"
#include "store/journal_client.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "support/temp_folder.h"

namespace {

constexpr char kClsidText[] = "{8A15D7A3-A664-48EF-AEF1-098ED8EB2649}";
constexpr char kRecordFile[] = "journal.txt";

// The built DLL as Wine sees it: the Unix root is drive Z:.
std::string DllPath() {
  std::string path = std::string("Z:") + QV_JOURNAL_DLL;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Runs a command line in the test prefix and returns its exit code (-1 when it did not run).
long Run(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<long>(code);
}

long Regsvr32(const std::string& options) {
  return Run("regsvr32.exe " + options + " \"" + DllPath() + "\"");
}

// A text value of root\subkey; "<missing>" when the key or value is absent.
std::string RegText(HKEY root, const std::string& subkey, const char* name = nullptr) {
  char text[1024] = {};
  DWORD size = sizeof text - 1;
  if (RegGetValueA(root, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return "<missing>";
  }
  return text;
}

bool KeyExists(HKEY root, const std::string& subkey) {
  UniqueHkey key;
  return RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

std::set<std::string> SubkeyNames(HKEY root, const std::string& subkey) {
  std::set<std::string> names;
  UniqueHkey key;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.insert(name);
  }
  return names;
}

const std::string kClassKey = std::string("Software\\Classes\\CLSID\\") + kClsidText;
const std::string kProgIdKey = "Software\\Classes\\Chronivex.Log";

bool IsTimeStamp(const std::string& text) {
  const std::string shape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
      return false;
  }
  return true;
}

IChronivexLog* ProcessLog() {
  auto* component = dynamic_cast<ComJournalComponent*>(ProcessJournal());
  return component ? component->Get() : nullptr;
}

LONG RecordCount(IChronivexLog* log) {
  LONG count = -1;
  EXPECT_EQ(log->GetRecordCount(&count), S_OK);
  return count;
}

// Record index (0 = newest) through the component's read operation, split into its fields.
std::vector<std::string> ReadFields(IChronivexLog* log, LONG index) {
  Bstr record;
  if (FAILED(log->ReadRecord(index, record.Put()))) return {};
  return ParseRecordLine(record.ToAcp());
}

const char kLanguage[] =
    "[String]\r\n"
    "_LogType=Operation\r\n"
    "_LogCategory=Autorun entries\r\n"
    "_LogSource=Quorvane test\r\n"
    "_LogItemType1=Remove\r\n_LogItemType2=Add\r\n_LogItemType3=Modify\r\n"
    "_LogItemType4=Enable\r\n_LogItemType5=Disable\r\n"
    "_LogItemType1Content=Removed %s / %s\r\n"
    "_LogItemType2Content=Added %s / %s = %s\r\n"
    "_LogItemType3Content=Changed %s / %s = %s to %s = %s\r\n"
    "_LogItemType4Content=Enabled %s / %s\r\n"
    "_LogItemType5Content=Disabled %s / %s\r\n"
    "_LogItemType1Content1=Removed file %s\r\n"
    "_LogItemType2Content1=Added shortcut %s\r\n"
    "_LogItemType3Content1=Changed file %s to %s -> %s\r\n"
    "_LogItemType4Content1=Enabled file %s\r\n"
    "_LogItemType5Content1=Disabled file %s\r\n";

class JournalTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Regsvr32("/s"), 0) << DllPath(); }
  static void TearDownTestSuite() {
    ReleaseJournal();
    CoFreeUnusedLibraries();
    Regsvr32("/u /s");
  }

  void SetUp() override {
    dataDirectory_ = folder_ / "Log\\Data";
    languageFile_ = folder_ / "Test.language";
    ASSERT_TRUE(WriteBytes(languageFile_, kLanguage));
    language_.SetFile(languageFile_);
  }
  void TearDown() override {
    ReleaseJournal();
    CoFreeUnusedLibraries();
  }

  std::vector<std::vector<std::string>> FileRecords() const {
    std::vector<std::vector<std::string>> records;
    for (const std::string& line : RecordLines(ReadBytes(dataDirectory_ + "\\" + kRecordFile))) {
      records.push_back(ParseRecordLine(line));
    }
    return records;
  }

  TempFolder folder_{"qv-journal"};
  std::string dataDirectory_;
  std::string languageFile_;
  LanguageTable language_;
};

TEST_F(JournalTest, RegistersTheClassMachineWide) {
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProgIdKey + "\\CLSID"), kClsidText);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kClassKey + "\\ProgID"), "Chronivex.Log");
  EXPECT_EQ(lstrcmpiA(RegText(HKEY_LOCAL_MACHINE, kClassKey + "\\InprocServer32").c_str(),
                      DllPath().c_str()),
            0);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kClassKey + "\\InprocServer32", "ThreadingModel"),
            "Apartment");
}

TEST_F(JournalTest, ConnectCreatesTheDataDirectoryTree) {
  ASSERT_EQ(GetFileAttributesA(dataDirectory_.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  ASSERT_NE(ProcessLog(), nullptr);
  const DWORD attributes = GetFileAttributesA(dataDirectory_.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  Bstr directory;
  EXPECT_EQ(ProcessLog()->GetDataDirectory(directory.Put()), S_OK);
  EXPECT_EQ(lstrcmpiA(directory.ToAcp().c_str(), dataDirectory_.c_str()), 0);
  EXPECT_EQ(RecordCount(ProcessLog()), 0);
}

struct WriteCase {
  JournalKind kind;
  const char* contentKey;
  std::vector<std::string> args;
  const char* itemType;
  std::string content;
};

TEST_F(JournalTest, WritesEveryKindWithEachViewsContentKeys) {
  const std::string run = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string load =
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\"
      "Windows\\Load";
  const std::string link = "C:\\Startup\\Tool.lnk";
  const std::vector<WriteCase> cases = {
      // Registry view.
      {JournalKind::kRemove,
       "_LogItemType1Content",
       {run, "App"},
       "Remove",
       "Removed " + run + " / App"},
      {JournalKind::kAdd,
       "_LogItemType2Content",
       {run, "App", "C:\\a.exe /x"},
       "Add",
       "Added " + run + " / App = C:\\a.exe /x"},
      {JournalKind::kModify,
       "_LogItemType3Content",
       {run, "Old", "o.exe", "New", "n.exe"},
       "Modify",
       "Changed " + run + " / Old = o.exe to New = n.exe"},
      {JournalKind::kEnable,
       "_LogItemType4Content",
       {run, "App"},
       "Enable",
       "Enabled " + run + " / App"},
      {JournalKind::kDisable,
       "_LogItemType5Content",
       {run, "100% %s %d"},
       "Disable",
       "Disabled " + run + " / 100% %s %d"},
      // List-value view: the same content keys, the value's name as N.
      {JournalKind::kAdd,
       "_LogItemType2Content",
       {load, "Load", "C:\\w.exe"},
       "Add",
       "Added " + load + " / Load = C:\\w.exe"},
      {JournalKind::kModify,
       "_LogItemType3Content",
       {load, "Load", "a.exe", "Load", "b.exe"},
       "Modify",
       "Changed " + load + " / Load = a.exe to Load = b.exe"},
      // Startup folder view.
      {JournalKind::kRemove, "_LogItemType1Content1", {link}, "Remove", "Removed file " + link},
      {JournalKind::kAdd, "_LogItemType2Content1", {link}, "Add", "Added shortcut " + link},
      {JournalKind::kModify,
       "_LogItemType3Content1",
       {link, "C:\\Startup\\Új 日本.lnk", "t.exe"},
       "Modify",
       "Changed file " + link + " to C:\\Startup\\Új 日本.lnk -> t.exe"},
      {JournalKind::kEnable, "_LogItemType4Content1", {link}, "Enable", "Enabled file " + link},
      {JournalKind::kDisable, "_LogItemType5Content1", {link}, "Disable", "Disabled file " + link},
  };
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient client(ProcessJournal(), language_);
  for (const WriteCase& c : cases) client.Write(c.kind, c.contentKey, c.args);

  const auto records = FileRecords();
  ASSERT_EQ(records.size(), cases.size());
  ASSERT_EQ(RecordCount(ProcessLog()), static_cast<LONG>(cases.size()));
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].contentKey);
    const std::vector<std::string> expected = {records[i][0],     "Operation",
                                               "Autorun entries", cases[i].itemType,
                                               "Quorvane test",   cases[i].content};
    EXPECT_EQ(records[i], expected);
    EXPECT_TRUE(IsTimeStamp(records[i][0])) << records[i][0];
    // The read operation lists the same records, newest first.
    EXPECT_EQ(ReadFields(ProcessLog(), static_cast<LONG>(cases.size() - 1 - i)), expected);
  }
}

TEST_F(JournalTest, TabsAndLineBreaksStayInsideTheirRecord) {
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kAdd, "_LogItemType2Content",
               {"Run\tKey", "Line1\r\nLine2\n", "C:\\dir\\t.exe\\"});
  client.Write(JournalKind::kEnable, "_LogItemType4Content", {"a", "b"});

  const std::string file = ReadBytes(dataDirectory_ + "\\" + kRecordFile);
  size_t lineEnds = 0;
  for (const char c : file) lineEnds += c == '\n';
  EXPECT_EQ(lineEnds, 2u) << file;
  const auto records = FileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0][5], "Added Run\tKey / Line1\r\nLine2\n = C:\\dir\\t.exe\\");
  EXPECT_EQ(records[1][5], "Enabled a / b");
  EXPECT_EQ(ReadFields(ProcessLog(), 1), records[0]);
}

TEST_F(JournalTest, LanguageWithoutJournalKeysPassesTheKeyNames) {
  ASSERT_TRUE(WriteBytes(languageFile_, "[String]\r\n_ToolQuorvane=Quorvane\r\n"));
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kModify, "_LogItemType3Content1", {"a", "b", "c"});
  LanguageTable missing(folder_ / "Missing.language");
  JournalClient noFile(ProcessJournal(), missing);
  noFile.Write(JournalKind::kDisable, "_LogItemType5Content", {"L", "N"});

  const auto records = FileRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(records[0].begin() + 1, records[0].end()),
            (std::vector<std::string>{"_LogType", "_LogCategory", "_LogItemType3", "_LogSource",
                                      "_LogItemType3Content1"}));
  EXPECT_EQ(std::vector<std::string>(records[1].begin() + 1, records[1].end()),
            (std::vector<std::string>{"_LogType", "_LogCategory", "_LogItemType5", "_LogSource",
                                      "_LogItemType5Content"}));
}

TEST_F(JournalTest, RecordsSurviveTheComponentAndAppendToTheSameFile) {
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient(ProcessJournal(), language_)
      .Write(JournalKind::kRemove, "_LogItemType1Content", {"first", "x"});
  ReleaseJournal();
  CoFreeUnusedLibraries();
  ASSERT_EQ(FileRecords().size(), 1u);

  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient(ProcessJournal(), language_)
      .Write(JournalKind::kAdd, "_LogItemType2Content", {"second", "y", "z"});
  EXPECT_EQ(RecordCount(ProcessLog()), 2);
  EXPECT_EQ(ReadFields(ProcessLog(), 0)[5], "Added second / y = z");
  EXPECT_EQ(ReadFields(ProcessLog(), 1)[5], "Removed first / x");
}

TEST_F(JournalTest, ARecordCutShortDoesNotSwallowTheNextOne) {
  ASSERT_TRUE(CreateDirectoryA((folder_ / "Log").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(dataDirectory_.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(dataDirectory_ + "\\" + kRecordFile, "2024-01-01 00:00:00\tT\tC\tI"));
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient(ProcessJournal(), language_)
      .Write(JournalKind::kEnable, "_LogItemType4Content", {"a", "b"});
  const auto records = FileRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0][5], "Enabled a / b");
}

TEST_F(JournalTest, ReadOperationsAndClear) {
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  IChronivexLog* log = ProcessLog();
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kEnable, "_LogItemType4Content", {"a", "b"});
  client.Write(JournalKind::kDisable, "_LogItemType5Content", {"c", "d"});

  Bstr record;
  EXPECT_EQ(log->ReadRecord(2, record.Put()), E_INVALIDARG);
  EXPECT_EQ(record.Get(), nullptr);
  EXPECT_EQ(log->ReadRecord(-1, record.Put()), E_INVALIDARG);
  EXPECT_EQ(log->ReadRecord(0, nullptr), E_POINTER);
  EXPECT_EQ(log->GetRecordCount(nullptr), E_POINTER);

  EXPECT_EQ(log->Clear(), S_OK);
  EXPECT_EQ(RecordCount(log), 0);
  EXPECT_EQ(log->Clear(), S_OK);
  client.Write(JournalKind::kAdd, "_LogItemType2Content", {"e", "f", "g"});
  EXPECT_EQ(RecordCount(log), 1);
}

TEST_F(JournalTest, ComponentRefusesWorkBeforeItHasADataDirectory) {
  const auto component = ComJournalComponent::Create();
  ASSERT_NE(component, nullptr);
  IChronivexLog* log = component->Get();
  Bstr directory;
  EXPECT_EQ(log->GetDataDirectory(directory.Put()), S_FALSE);
  EXPECT_EQ(directory.ToAcp(), "");
  EXPECT_EQ(component->WriteRecord("a", "b", "c", "d", "e"), E_UNEXPECTED);
  LONG count = -1;
  EXPECT_EQ(log->GetRecordCount(&count), E_UNEXPECTED);
  EXPECT_EQ(log->Clear(), E_UNEXPECTED);
  EXPECT_EQ(component->ShowViewer(), E_UNEXPECTED);
  EXPECT_EQ(component->SetDataDirectory(""), E_INVALIDARG);
  EXPECT_EQ(log->SetDataDirectory(nullptr), E_INVALIDARG);

  // A folder that cannot be made keeps the one set before.
  ASSERT_EQ(component->SetDataDirectory(dataDirectory_), S_OK);
  ASSERT_TRUE(WriteBytes(folder_ / "file", "x"));
  EXPECT_TRUE(FAILED(component->SetDataDirectory(folder_ / "file")));
  EXPECT_TRUE(FAILED(component->SetDataDirectory(folder_ / "file\\Data")));
  EXPECT_EQ(log->GetDataDirectory(directory.Put()), S_OK);
  EXPECT_EQ(lstrcmpiA(directory.ToAcp().c_str(), dataDirectory_.c_str()), 0);
}

TEST_F(JournalTest, ADataDirectoryThatCannotBeMadeMeansNoJournal) {
  ASSERT_TRUE(WriteBytes(folder_ / "Log", "a file where the folder should be"));
  EXPECT_FALSE(ConnectJournal(dataDirectory_));
  EXPECT_EQ(ProcessJournal(), nullptr);
  ShowJournalViewer();  // nothing to show, nothing happens
}

TEST_F(JournalTest, WithoutTheComponentNothingIsWrittenAndNothingFails) {
  ASSERT_EQ(Regsvr32("/u /s"), 0);
  struct Reregister {
    ~Reregister() { Regsvr32("/s"); }
  } reregister;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey));

  EXPECT_FALSE(ConnectJournal(dataDirectory_));
  EXPECT_EQ(ProcessJournal(), nullptr);
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kRemove, "_LogItemType1Content", {"a", "b"});
  ShowJournalViewer();
  EXPECT_EQ(GetFileAttributesA(dataDirectory_.c_str()), INVALID_FILE_ATTRIBUTES);
}

using DllInstallFunction = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

DllInstallFunction DllInstallOf(HMODULE dll) {
  return reinterpret_cast<DllInstallFunction>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
}

TEST_F(JournalTest, PerUserInstallWritesExactlyTheCurrentUsersKeysAndRemovesThem) {
  UniqueModule dll(LoadLibraryA(DllPath().c_str()));
  ASSERT_TRUE(dll);
  const DllInstallFunction install = DllInstallOf(dll.Get());
  ASSERT_NE(install, nullptr);
  install(FALSE, L"user");
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_EQ(install(TRUE, L"everyone"), E_INVALIDARG);

  ASSERT_EQ(install(TRUE, L"user"), S_OK);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgIdKey + "\\CLSID"), kClsidText);
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER, kProgIdKey), std::set<std::string>{"CLSID"});
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER, kClassKey),
            (std::set<std::string>{"InprocServer32", "ProgID"}));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kClassKey + "\\ProgID"), "Chronivex.Log");
  EXPECT_EQ(lstrcmpiA(RegText(HKEY_CURRENT_USER, kClassKey + "\\InprocServer32").c_str(),
                      DllPath().c_str()),
            0);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kClassKey + "\\InprocServer32", "ThreadingModel"),
            "Apartment");

  ASSERT_EQ(install(FALSE, L"user"), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgIdKey));
  // The machine-wide registration is untouched.
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProgIdKey + "\\CLSID"), kClsidText);
}

TEST_F(JournalTest, Regsvr32PerUserOptionsReachDllInstall) {
  ASSERT_EQ(Regsvr32("/s /n /i:user"), 0);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgIdKey + "\\CLSID"), kClsidText);
  ASSERT_EQ(Regsvr32("/u /s /n /i:user"), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgIdKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
}

TEST_F(JournalTest, UnregisteringLeavesAProgIdThatNamesAnotherClass) {
  const std::string otherClass = "{00000000-1111-2222-3333-444444444444}";
  UniqueModule dll(LoadLibraryA(DllPath().c_str()));
  ASSERT_TRUE(dll);
  const DllInstallFunction install = DllInstallOf(dll.Get());
  ASSERT_EQ(install(TRUE, L"user"), S_OK);
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, (kProgIdKey + "\\CLSID").c_str(), nullptr, REG_SZ,
                            otherClass.c_str(), static_cast<DWORD>(otherClass.size() + 1)),
            ERROR_SUCCESS);
  EXPECT_EQ(install(FALSE, L"user"), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kProgIdKey + "\\CLSID"), otherClass);
  RegDeleteTreeA(HKEY_CURRENT_USER, kProgIdKey.c_str());
}

// --- The viewer, driven from a thread timer while its modal loop runs.

struct ViewerProbe {
  bool closeWithEscape = false;
  int ticks = 0;
  bool sawViewer = false;
  bool forced = false;
  int columns = 0;
  std::vector<std::vector<std::string>> rows;
};
ViewerProbe* g_probe = nullptr;

HWND FindViewerList(HWND* viewer) {
  struct Found {
    HWND dialog = nullptr;
    HWND list = nullptr;
  } found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Found*>(param);
        const HWND list = FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr);
        if (!IsWindowVisible(window) || !list) return TRUE;
        f->dialog = window;
        f->list = list;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  *viewer = found.dialog;
  return found.list;
}

std::string ItemText(HWND list, int item, int subItem) {
  wchar_t text[1024] = {};
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = text;
  lv.cchTextMax = 1024;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
  return Bstr::ToAcp(text, static_cast<UINT>(lstrlenW(text)));
}

void CALLBACK ProbeViewer(HWND, UINT, UINT_PTR, DWORD) {
  ViewerProbe& probe = *g_probe;
  ++probe.ticks;
  HWND viewer = nullptr;
  const HWND list = FindViewerList(&viewer);
  if (!list) return;
  if (!probe.sawViewer) {
    probe.sawViewer = true;
    probe.columns = static_cast<int>(SendMessageW(
        reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::vector<std::string> row;
      for (int c = 0; c < probe.columns; ++c) row.push_back(ItemText(list, i, c));
      probe.rows.push_back(row);
    }
    if (probe.closeWithEscape) {
      PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
      PostMessageW(viewer, WM_CLOSE, 0, 0);
    }
  } else if (probe.ticks > 40) {
    // It did not close as asked: end it so the test fails instead of hanging.
    probe.forced = true;
    EndDialog(viewer, 0);
  }
}

// Under a loaded Wine session a viewer opened right after another one is now and then closed
// before its first timer tick (it is never seen, nothing is measured): such a run is repeated,
// and a viewer that is never seen in three runs fails the test.
constexpr int kViewerRuns = 3;

// Shows the viewer with watch ticking every 50 ms, after reset, until seen() says it was seen.
void ShowViewerWatched(TIMERPROC watch, const std::function<void()>& reset,
                       const std::function<bool()>& seen) {
  for (int run = 0; run < kViewerRuns; ++run) {
    reset();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, watch);
    ShowJournalViewer();
    KillTimer(nullptr, timer);
    if (seen()) return;
  }
}

ViewerProbe RunViewerWithProbe(bool closeWithEscape) {
  ViewerProbe probe;
  g_probe = &probe;
  ShowViewerWatched(
      ProbeViewer,
      [&] {
        probe = ViewerProbe{};
        probe.closeWithEscape = closeWithEscape;
      },
      [&] { return probe.sawViewer; });
  g_probe = nullptr;
  return probe;
}

TEST_F(JournalTest, ViewerListsRecordsNewestFirstAndClosesOnRequest) {
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kAdd, "_LogItemType2Content", {"K", "first", "d"});
  client.Write(JournalKind::kModify, "_LogItemType3Content1", {"a", "b", "second"});
  client.Write(JournalKind::kRemove, "_LogItemType1Content", {"K", "third\tlast"});

  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "WM_CLOSE");
    const ViewerProbe probe = RunViewerWithProbe(escape);
    ASSERT_TRUE(probe.sawViewer);
    EXPECT_FALSE(probe.forced);
    EXPECT_EQ(probe.columns, 6);
    ASSERT_EQ(probe.rows.size(), 3u);
    EXPECT_EQ(probe.rows[0][5], "Removed K / third last");
    EXPECT_EQ(probe.rows[0][3], "Remove");
    EXPECT_EQ(probe.rows[1][5], "Changed file a to b -> second");
    EXPECT_EQ(probe.rows[2][5], "Added K / first = d");
    EXPECT_EQ(probe.rows[2][1], "Operation");
    EXPECT_EQ(probe.rows[2][2], "Autorun entries");
    EXPECT_EQ(probe.rows[2][4], "Quorvane test");
    EXPECT_TRUE(IsTimeStamp(probe.rows[2][0]));
  }
  HWND viewer = nullptr;
  EXPECT_EQ(FindViewerList(&viewer), nullptr);
}

// --- The viewer's texts and layout.

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  const int length = GetWindowTextW(window, text, 512);
  return Bstr::ToAcp(text, static_cast<UINT>(length));
}

struct ViewerLayout {
  RECT client{};
  RECT close{};  // in the viewer's client coordinates
  int listClientWidth = 0;
  std::vector<int> columnWidths;
};

ViewerLayout MeasureViewer(HWND viewer, HWND list) {
  ViewerLayout layout;
  GetClientRect(viewer, &layout.client);
  const HWND close = GetDlgItem(viewer, IDCANCEL);
  GetWindowRect(close, &layout.close);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&layout.close), 2);
  RECT listClient{};
  GetClientRect(list, &listClient);
  layout.listClientWidth = listClient.right;
  for (int c = 0; c < 6; ++c) {
    layout.columnWidths.push_back(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0)));
  }
  return layout;
}

struct ViewerLook {
  bool seen = false;
  std::string title;
  std::vector<std::string> headers;
  std::string close;
  bool closeVisible = false;
  std::vector<ViewerLayout> layouts;  // as opened, maximised, then made small
};
ViewerLook* g_look = nullptr;

void CALLBACK LookAtViewer(HWND, UINT, UINT_PTR, DWORD) {
  ViewerLook& look = *g_look;
  HWND viewer = nullptr;
  const HWND list = FindViewerList(&viewer);
  if (!list || look.seen) return;
  look.seen = true;
  look.title = WindowText(viewer);
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int c = 0; c < count; ++c) {
    wchar_t text[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&item));
    look.headers.push_back(Bstr::ToAcp(text, static_cast<UINT>(lstrlenW(text))));
  }
  look.close = WindowText(GetDlgItem(viewer, IDCANCEL));
  look.layouts.push_back(MeasureViewer(viewer, list));
  ShowWindow(viewer, SW_MAXIMIZE);
  look.closeVisible = IsWindowVisible(GetDlgItem(viewer, IDCANCEL)) != FALSE;
  look.layouts.push_back(MeasureViewer(viewer, list));
  ShowWindow(viewer, SW_RESTORE);
  SetWindowPos(viewer, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
  look.layouts.push_back(MeasureViewer(viewer, list));
  PostMessageW(viewer, WM_CLOSE, 0, 0);
}

ViewerLook LookAtViewerOnce() {
  ViewerLook look;
  g_look = &look;
  ShowViewerWatched(
      LookAtViewer, [&] { look = ViewerLook{}; }, [&] { return look.seen; });
  g_look = nullptr;
  return look;
}

// The viewer reads the language file of the program that shows it: here, the test exe's.
std::string HostLanguageFilePath() {
  char path[MAX_PATH * 3] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string file = path;
  return file.substr(0, file.find_last_of('.')) + ".language";
}

TEST_F(JournalTest, ViewerSpeaksTheHostsLanguageAndKeepsItsButtonWhenResized) {
  ASSERT_TRUE(ConnectJournal(dataDirectory_));
  JournalClient client(ProcessJournal(), language_);
  client.Write(JournalKind::kAdd, "_LogItemType2Content", {"K", "first", "d"});
  const std::string hostFile = HostLanguageFilePath();
  DeleteFileA(hostFile.c_str());

  const ViewerLook english = LookAtViewerOnce();
  ASSERT_TRUE(english.seen);
  EXPECT_EQ(english.title, "Operation Journal");  // the English menu text without its mark
  EXPECT_EQ(english.headers, (std::vector<std::string>{"Time", "Log type", "Category", "Operation",
                                                       "Source", "Content"}));
  EXPECT_EQ(english.close, "Close");

  // The same rules as the program's table: any key case, quotes dropped, \n expanded.
  ASSERT_TRUE(WriteBytes(hostFile,
                         "[Other]\r\n_Close=Wrong\r\n[String]\r\n"
                         "_logviewer=\"Vorgangs&protokoll\tStrg+J\"\r\n"
                         "_Close=Schlie\xC3\x9F\x65n\r\n_LogColumnTime=Zeit\r\n"
                         "_LogColumnContent=Inhalt\\nText\r\n_LogColumnSource=\r\n"
                         "_LogColumnType=Typ && Art\r\n"));
  const ViewerLook german = LookAtViewerOnce();
  DeleteFileA(hostFile.c_str());
  ASSERT_TRUE(german.seen);
  EXPECT_EQ(german.title, "Vorgangsprotokoll");
  EXPECT_EQ(german.close, "Schlie\xC3\x9F\x65n");
  EXPECT_EQ(german.headers, (std::vector<std::string>{"Zeit", "Typ && Art", "Category", "Operation",
                                                      "Source", "Inhalt\nText"}));

  ASSERT_EQ(german.layouts.size(), 3u);
  EXPECT_TRUE(german.closeVisible);
  const ViewerLayout& first = german.layouts[0];
  for (size_t i = 0; i < german.layouts.size(); ++i) {
    SCOPED_TRACE(i == 0 ? "opened" : i == 1 ? "maximised" : "made small");
    const ViewerLayout& layout = german.layouts[i];
    // Close stays whole inside the window, at the same distance from the bottom right corner.
    EXPECT_GE(layout.close.left, 0);
    EXPECT_GE(layout.close.top, 0);
    EXPECT_EQ(layout.client.right - layout.close.right, first.client.right - first.close.right);
    EXPECT_EQ(layout.client.bottom - layout.close.bottom, first.client.bottom - first.close.bottom);
    EXPECT_GT(layout.close.right - layout.close.left, 0);
    // Content takes at least the width the other columns leave: no gap at the right.
    int others = 0;
    for (int c = 0; c < 5; ++c) others += layout.columnWidths[c];
    EXPECT_GE(others + layout.columnWidths[5], layout.listClientWidth);
  }
  // Maximised, Content is exactly the rest, and wider than at first.
  const ViewerLayout& wide = german.layouts[1];
  int others = 0;
  for (int c = 0; c < 5; ++c) others += wide.columnWidths[c];
  EXPECT_EQ(others + wide.columnWidths[5], wide.listClientWidth);
  EXPECT_GT(wide.columnWidths[5], first.columnWidths[5]);
}

TEST(ViewerTexts, AMenuTextBecomesACaption) {
  const struct {
    const wchar_t* menu;
    const wchar_t* caption;
  } cases[] = {{L"Operation &Journal", L"Operation Journal"},
               {L"&Save\tCtrl+S", L"Save"},
               {L"Fish && &Chips", L"Fish & Chips"},
               {L"Tail&", L"Tail"},
               {L"\tOnly keys", L""},
               {L"Plain", L"Plain"}};
  for (const auto& c : cases) EXPECT_EQ(CaptionFromMenuText(c.menu), c.caption);
}

// The shipped language file: every content format takes exactly the arguments its operation
// passes, as %s conversions in order (a surplus %s would show nothing, a missing one drops text).
TEST(ShippedLanguage, ContentFormatsTakeExactlyTheirArguments) {
  char root[MAX_PATH * 3] = {};
  GetEnvironmentVariableA("QV_SOURCE_DIR", root, sizeof root);
  std::string file = std::string("Z:") + root + "/lang/Quorvane.language";
  for (char& c : file) {
    if (c == '/') c = '\\';
  }
  const LanguageTable language(file);
  ASSERT_NE(language.T("_LogType"), "_LogType") << file;
  const struct {
    const char* key;
    size_t arguments;
  } formats[] = {{"_LogItemType1Content", 2},  {"_LogItemType2Content", 3},
                 {"_LogItemType3Content", 5},  {"_LogItemType4Content", 2},
                 {"_LogItemType5Content", 2},  {"_LogItemType1Content1", 1},
                 {"_LogItemType2Content1", 1}, {"_LogItemType3Content1", 3},
                 {"_LogItemType4Content1", 1}, {"_LogItemType5Content1", 1}};
  const std::vector<std::string> markers = {"<1>", "<2>", "<3>", "<4>", "<5>", "<6>"};
  for (const auto& format : formats) {
    SCOPED_TRACE(format.key);
    const std::string text = language.T(format.key);
    ASSERT_NE(text, format.key);
    const std::string formatted = SafeFormat(text, markers);
    size_t position = 0;
    for (size_t i = 0; i < format.arguments; ++i) {
      const size_t found = formatted.find(markers[i], position);
      ASSERT_NE(found, std::string::npos) << formatted;
      position = found;
    }
    EXPECT_EQ(formatted.find(markers[format.arguments]), std::string::npos) << formatted;
  }
  for (int kind = 1; kind <= 5; ++kind) {
    const std::string key = "_LogItemType" + std::to_string(kind);
    EXPECT_NE(language.T(key), key);
  }
}

// --- The client over a stand-in component: what it sends and what it does with failures.

class RecordingComponent final : public JournalComponent {
 public:
  explicit RecordingComponent(HRESULT result) : result_(result) {}
  HRESULT SetDataDirectory(const std::string&) override { return result_; }
  HRESULT WriteRecord(const std::string& logType, const std::string& category,
                      const std::string& itemType, const std::string& source,
                      const std::string& content) override {
    writes.push_back({logType, category, itemType, source, content});
    return result_;
  }
  HRESULT ShowViewer() override {
    ++viewers;
    return result_;
  }
  std::vector<std::vector<std::string>> writes;
  int viewers = 0;

 private:
  HRESULT result_;
};

TEST_F(JournalTest, ClientSendsTheFiveTextsAndDropsAFailure) {
  RecordingComponent component(E_FAIL);
  JournalClient client(&component, language_);
  client.Write(JournalKind::kEnable, "_LogItemType4Content1", {"C:\\S\\x.lnk", "extra"});
  client.Write(JournalKind::kDisable, "_LogItemType5Content", {"only one"});
  ASSERT_EQ(component.writes.size(), 2u);
  EXPECT_EQ(component.writes[0],
            (std::vector<std::string>{"Operation", "Autorun entries", "Enable", "Quorvane test",
                                      "Enabled file C:\\S\\x.lnk"}));
  EXPECT_EQ(component.writes[1][2], "Disable");
  EXPECT_EQ(component.writes[1][4], "Disabled only one / ");
}

TEST_F(JournalTest, ViewerCommandGoesToTheProcessJournal) {
  auto owned = std::make_unique<RecordingComponent>(S_OK);
  RecordingComponent* component = owned.get();
  InstallJournal(std::move(owned));
  ShowJournalViewer();
  EXPECT_EQ(component->viewers, 1);
  ReleaseJournal();
  EXPECT_EQ(ProcessJournal(), nullptr);
  ShowJournalViewer();
}

}  // namespace
