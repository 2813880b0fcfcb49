// The store's cross-process lock: processes changing one config.xml at once lose no record, a
// change that cannot get the lock in time changes nothing, and a crashed holder's lock is taken
// over.
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win_handles.h"
#include "store/xml_disabled_store.h"
#include "support/temp_folder.h"

namespace {

const std::string kRun = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kEmptyStore =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>"
    "<disabledregistryitem path=\"" +
    kRun + "\" valuedata=\"old.exe\" valuename=\"Old\"/></toolquorvane></config>\r\n";
constexpr int kRecordsPerChild = 200;

// What a child process is told, through its environment.
constexpr char kStoreVar[] = "QV_LOCK_STORE";
constexpr char kTagVar[] = "QV_LOCK_TAG";
constexpr char kActionVar[] = "QV_LOCK_ACTION";
constexpr char kGoVar[] = "QV_LOCK_GO";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string RecordName(const std::string& tag, int i) {
  return tag + " entry " + std::to_string(i);
}

// A child started by the test below (never on its own): waits for the start signal, then
// appends or removes its own records one operation at a time.
TEST(DISABLED_StoreLockChild, ChangesItsRecords) {
  const std::string tag = Env(kTagVar);
  const bool append = Env(kActionVar) == "append";
  UniqueKernelHandle go(OpenEventA(SYNCHRONIZE, FALSE, Env(kGoVar).c_str()));
  ASSERT_TRUE(go);
  ASSERT_EQ(WaitForSingleObject(go.Get(), 60000), WAIT_OBJECT_0);
  XmlDisabledStore store(Env(kStoreVar));
  for (int i = 0; i < kRecordsPerChild; ++i) {
    const std::string name = RecordName(tag, i);
    const Status done = append ? store.Append(KindId::kRegistry, kRun, name, name + ".exe")
                               : store.RemoveMatching(KindId::kRegistry, kRun, name, name + ".exe");
    ASSERT_TRUE(done) << name << ": " << done.Code();
  }
}

struct Child {
  UniqueKernelHandle process;
  std::string log;
};

// Starts this exe as a child running only the test above, its output going to log.
Child StartChild(const std::string& log) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe +
                        "\" --gtest_also_run_disabled_tests"
                        " --gtest_filter=DISABLED_StoreLockChild.* --gtest_color=no";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  UniqueFile out(CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.Get();
  startup.hStdError = out.Get();
  PROCESS_INFORMATION info{};
  Child child{{}, log};
  if (out && CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &info)) {
    CloseHandle(info.hThread);
    child.process.Reset(info.hProcess);
  }
  return child;
}

// Every child ran to the end and passed; their logs are printed otherwise.
void ExpectAllPassed(std::vector<Child>& children) {
  for (Child& child : children) {
    DWORD code = STILL_ACTIVE;
    const bool ended = WaitForSingleObject(child.process.Get(), 600000) == WAIT_OBJECT_0;
    GetExitCodeProcess(child.process.Get(), &code);
    EXPECT_TRUE(ended && code == 0) << "child exit " << code << "\n" << ReadBytes(child.log);
  }
}

TEST(StoreLockTest, ChildrenAppendingAndRemovingAtOnceLoseNoRecord) {
  const TempFolder dir("qv_lock");
  const std::string file = dir / "config.xml";
  ASSERT_TRUE(WriteBytes(file, kEmptyStore));
  const std::vector<std::string> tags = {"first", "second"};
  for (const char* action : {"append", "remove"}) {
    const std::string goName = "qv_lock_go_" + std::to_string(GetCurrentProcessId()) + action;
    UniqueKernelHandle go(CreateEventA(nullptr, TRUE, FALSE, goName.c_str()));
    ASSERT_TRUE(go);
    SetEnvironmentVariableA(kStoreVar, file.c_str());
    SetEnvironmentVariableA(kActionVar, action);
    SetEnvironmentVariableA(kGoVar, goName.c_str());
    std::vector<Child> children;
    for (const std::string& tag : tags) {
      SetEnvironmentVariableA(kTagVar, tag.c_str());
      children.push_back(StartChild(dir / (tag + "-" + action + ".log")));
      ASSERT_TRUE(children.back().process) << GetLastError();
    }
    for (const char* name : {kStoreVar, kActionVar, kGoVar, kTagVar})
      SetEnvironmentVariableA(name, nullptr);
    // Both have started their exe before either changes a record.
    Sleep(1500);
    SetEvent(go.Get());
    // Meanwhile the file is read without the lock, as the window's refresh does: every read
    // finds a whole store, and no change fails for being read at the moment it saves.
    size_t last = std::string(action) == "append" ? 0 : SIZE_MAX;
    while (WaitForSingleObject(children.back().process.Get(), 0) == WAIT_TIMEOUT) {
      XmlDisabledStore reader(file);
      const size_t listed = reader.ListAll(KindId::kRegistry).size();
      ASSERT_TRUE(std::string(action) == "append" ? listed >= last : listed <= last);
      last = listed;
    }
    ExpectAllPassed(children);

    std::multiset<std::string> names;
    for (const StoredRecord& record : XmlDisabledStore(file).ListAll(KindId::kRegistry))
      names.insert(record.valueName);
    std::multiset<std::string> expected = {"Old"};
    if (std::string(action) == "append") {
      for (const std::string& tag : tags) {
        for (int i = 0; i < kRecordsPerChild; ++i) expected.insert(RecordName(tag, i));
      }
    }
    EXPECT_EQ(names, expected) << action;
  }
}

// A holder of the lock that is not the store under test: a thread of its own, taking the
// named mutex directly.
enum class Holder { kHolds, kDiedHolding };

struct LockHolder {
  LockHolder(const std::wstring& name, Holder how) {
    UniqueKernelHandle taken(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread = std::thread([this, name, how, event = taken.Get()] {
      mutex.Reset(CreateMutexW(nullptr, FALSE, name.c_str()));
      WaitForSingleObject(mutex.Get(), INFINITE);
      SetEvent(event);
      if (how == Holder::kHolds) WaitForSingleObject(release.Get(), INFINITE);
      // kDiedHolding: the thread ends owning the mutex, as a crashed process would.
    });
    WaitForSingleObject(taken.Get(), INFINITE);
    if (how == Holder::kDiedHolding) thread.join();
  }
  ~LockHolder() {
    SetEvent(release.Get());
    if (thread.joinable()) thread.join();
  }
  UniqueKernelHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  UniqueKernelHandle mutex;
  std::thread thread;
};

// A spelling of the store file's path, for the holder's lock.
using Spelling = std::string (*)(const std::string& dir);
std::string SameFileOtherSpelling(const std::string& dir) {
  std::string path = dir + "\\.\\CONFIG.XML";
  for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return path;
}
std::string OtherFile(const std::string& dir) {
  return dir + "\\other.xml";
}

using Operation = Status (*)(XmlDisabledStore& store);
Status DoAppend(XmlDisabledStore& s) {
  return s.Append(KindId::kRegistry, kRun, "New", "n.exe");
}
Status DoRemove(XmlDisabledStore& s) {
  return s.RemoveMatching(KindId::kRegistry, kRun, "Old", "old.exe");
}
Status DoUpdate(XmlDisabledStore& s) {
  return s.UpdateMatching(KindId::kRegistry, kRun, "Old", "old.exe", "New", "n.exe", false);
}
Status DoSettings(XmlDisabledStore& s) {
  WindowSettings settings;
  settings.splitterPosition96 = 321;
  return s.WriteSettings(settings);
}

TEST(StoreLockTest, ChangesWaitForTheLockAndTakeOverAnAbandonedOne) {
  struct Case {
    const char* what;
    Spelling holderPath;
    Holder holder;
    DWORD expected;
  };
  const Case cases[] = {
      {"held for the same file spelt otherwise", SameFileOtherSpelling, Holder::kHolds,
       ERROR_TIMEOUT},
      {"held for another file", OtherFile, Holder::kHolds, ERROR_SUCCESS},
      {"left by a holder that died mid-save", SameFileOtherSpelling, Holder::kDiedHolding,
       ERROR_SUCCESS},
  };
  const std::pair<const char*, Operation> operations[] = {
      {"append", DoAppend}, {"remove", DoRemove}, {"update", DoUpdate}, {"settings", DoSettings}};
  for (const Case& c : cases) {
    for (const auto& [operationName, operation] : operations) {
      SCOPED_TRACE(std::string(c.what) + ", " + operationName);
      const TempFolder dir("qv_lock");
      const std::string file = dir / "config.xml";
      ASSERT_TRUE(WriteBytes(file, kEmptyStore));
      // What a save cut short leaves behind: only ever replaced.
      ASSERT_TRUE(WriteBytes(file + ".tmp", "<config><toolq"));
      XmlDisabledStore store(file);
      store.SetLockTimeout(300);
      const LockHolder holder(StoreLockName(c.holderPath(dir.Path())), c.holder);
      EXPECT_EQ(operation(store).Code(), c.expected);
      if (c.expected == ERROR_TIMEOUT) {
        EXPECT_EQ(ReadBytes(file), kEmptyStore);
        continue;
      }
      EXPECT_NE(ReadBytes(file), kEmptyStore);
      // The lock was given back, a taken-over one too: another thread gets it at once.
      std::thread other([&] {
        const HRESULT com = CoInitialize(nullptr);
        XmlDisabledStore again(file);
        again.SetLockTimeout(0);
        EXPECT_EQ(again.Append(KindId::kRegistry, kRun, "Again", "a.exe").Code(), 0u);
        if (SUCCEEDED(com)) CoUninitialize();
      });
      other.join();
    }
  }
}

}  // namespace
