// The Publisher column on a real entry view: rows come at once with a pending text, a worker
// fills the column while the window keeps answering, and the Windows filter hides rows without
// the kind losing or doubling an entry.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/registry_kind.h"
#include "gui/host_windows.h"
#include "gui/pump.h"
#include "gui/screenshot.h"
#include "gui/tree_paths.h"
#include "gui/window_reading.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/recording_journal.h"
#include "support/signed_samples.h"
#include "support/temp_folder.h"
#include "ui/entry_view.h"

namespace {

using gui::PumpFor;
using gui::PumpPending;
using State = SignatureResult::State;

constexpr char kTestKey[] = "Software\\QuorvaneTest\\SignatureView";
const std::string kRunSubkey = std::string(kTestKey) + "\\Run";
const std::string kRunKey = std::string("HKEY_CURRENT_USER\\") + kRunSubkey;

void WriteValue(const std::string& name, const std::string& data) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kRunSubkey.c_str(), name.c_str(), REG_SZ, data.c_str(),
                  static_cast<DWORD>(data.size() + 1));
}

bool LiveValue(const std::string& name) {
  return RegGetValueA(HKEY_CURRENT_USER, kRunSubkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                      nullptr, nullptr) == ERROR_SUCCESS;
}

class SignatureViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    temp_ = std::make_unique<TempFolder>("qv_signature_view");
    language_.SetFile(gui::SourcePath("lang/Quorvane.language"));
    store_ = std::make_unique<XmlDisabledStore>(*temp_ / "config.xml");
    services_ = std::make_unique<KindServices>(
        KindServices{registry_, files_, links_, *store_, journal_, language_});
    host_.emplace(1200, 500);
  }

  void TearDown() override {
    view_.reset();
    kind_.reset();
    host_.reset();
    PumpPending();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    temp_.reset();
  }

  // A copy of a signed sample in the test's folder, under name.
  std::string Sample(const std::string& sample, const std::string& name) {
    const std::string path = *temp_ / name;
    CopyFileA(SignedSample(sample).c_str(), path.c_str(), FALSE);
    return path;
  }

  void Open(SignatureChecker checker, bool hideWindows = false) {
    kind_ = std::make_unique<RegistryKind>(*services_, std::vector<std::string>{kRunKey});
    view_ = std::make_unique<EntryView>(*kind_, language_);
    view_->SetSignatureChecker(std::move(checker));
    view_->SetHideWindowsEntries(hideWindows);
    HWND form = view_->Create(GetModuleHandleA(nullptr), host_->Handle());
    ASSERT_NE(form, nullptr);
    const RECT client = gui::ClientRect(host_->Handle());
    MoveWindow(form, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(form, SW_SHOW);
  }

  // Pumps until no shown or hidden row waits for its check (false after timeoutMs).
  bool WaitForChecks(int rows, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (view_->ChecksDone() < rows) {
      if (GetTickCount() - start > timeoutMs) return false;
      PumpFor(10);
    }
    PumpPending();
    return true;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int row = 0; row < view_->Count(); ++row) names.push_back(view_->Text(row, kColName));
    return names;
  }

  std::unique_ptr<TempFolder> temp_;
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32ShellLinks links_;
  RecordingJournal journal_;
  LanguageTable language_;
  std::unique_ptr<XmlDisabledStore> store_;
  std::unique_ptr<KindServices> services_;
  std::unique_ptr<EntryKind> kind_;
  std::unique_ptr<EntryView> view_;
  std::optional<gui::HostWindow> host_;
};

TEST_F(SignatureViewTest, RowsComeAtOnceAndThePublisherColumnFillsIn) {
  WriteValue("A signed", "\"" + Sample("signed.dll", "signed.dll") + "\" /run");
  WriteValue("B tampered", "\"" + Sample("tampered.dll", "tampered.dll") + "\"");
  WriteValue("C unsigned", "\"" + Sample("unsigned.dll", "unsigned.dll") + "\"");
  WriteValue("D missing", "\"" + *temp_ / "gone.exe" + "\"");
  // The checks wait until the rows have been looked at.
  const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Open([release](const std::string& path) {
    WaitForSingleObject(release, 20000);
    return CheckFileSignature(path);
  });
  ASSERT_EQ(view_->Count(), 4);
  PumpFor(100);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(view_->Text(row, kColPublisher), language_.T("_Checking")) << row;
  }
  SetEvent(release);
  ASSERT_TRUE(WaitForChecks(4));
  CloseHandle(release);
  const std::vector<std::string> expected = {
      language_.T("_NotVerified") + " (Sample Works)", language_.T("_SignatureMismatch"),
      language_.T("_NotSigned"), language_.T("_ProgramNotFound")};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(view_->Text(row, kColPublisher), expected[row]) << view_->Text(row, kColName);
  }
  // Sorting by the column sorts by what it shows.
  view_->SortBy(kColPublisher);
  EXPECT_EQ(view_->Text(0, kColPublisher), expected[2]);
  EXPECT_EQ(view_->Text(3, kColPublisher), expected[1]);
  ListView_SetColumnWidth(view_->List(), kColData, 260);
  gui::SaveScreenshot(host_->Handle(), "signature_publisher_column");
}

TEST_F(SignatureViewTest, ChecksWaitUntilTheNewRowsArePainted) {
  WriteValue("A", "\"" + Sample("unsigned.dll", "a.dll") + "\"");
  std::atomic<int> calls{0};
  std::atomic<bool> listPainted{false};
  std::atomic<HWND> list{nullptr};
  Open([&](const std::string& path) {
    // The list has no part left to paint when the first check runs.
    if (calls++ == 0) listPainted = list && !GetUpdateRect(list, nullptr, FALSE);
    return CheckFileSignature(path);
  });
  list = view_->List();
  // Without the window's messages nothing starts, however long the wait.
  Sleep(300);
  EXPECT_EQ(calls.load(), 0);
  ASSERT_TRUE(WaitForChecks(1));
  EXPECT_TRUE(listPainted.load());
}

TEST_F(SignatureViewTest, HidingWindowsEntriesIsAFilterTheKindNeverSees) {
  // Stands in for the check: files named "win*" are verified as Windows'.
  const SignatureChecker windowsByName = [](const std::string& path) {
    SignatureResult result;
    result.state = State::kVerified;
    result.signer = path.find("\\win") != std::string::npos ? "Microsoft Windows" : "Other Maker";
    return result;
  };
  WriteValue("A1", "\"" + Sample("unsigned.dll", "win-a.dll") + "\"");
  WriteValue("A2", "\"" + Sample("unsigned.dll", "app-b.dll") + "\"");
  WriteValue("A3", "\"" + Sample("unsigned.dll", "win-c.dll") + "\"");
  WriteValue("A4", "\"" + Sample("unsigned.dll", "app-d.dll") + "\"");
  Open(windowsByName, true);
  ASSERT_TRUE(WaitForChecks(4));
  EXPECT_EQ(Names(), (std::vector<std::string>{"A2", "A4"}));
  EXPECT_EQ(view_->HiddenCount(), 2);
  EXPECT_EQ(view_->Text(0, kColPublisher), "Other Maker");

  // Operations act on the rows shown: disabling the second shown row disables A4, and the hidden
  // entries stay where they are.
  view_->SelectAndShow(1);
  SendMessageA(view_->Handle(), WM_COMMAND, IDC_DISABLE, 0);
  PumpPending();
  EXPECT_FALSE(LiveValue("A4"));
  EXPECT_TRUE(LiveValue("A1"));
  EXPECT_TRUE(LiveValue("A3"));
  EXPECT_EQ(store_->ListAll(KindId::kRegistry).size(), 1u);

  // A Refresh lists the disabled entry first and keeps Windows' own hidden.
  SendMessageA(view_->Handle(), WM_COMMAND, IDC_REFRESH, 0);
  PumpPending();
  EXPECT_EQ(Names(), (std::vector<std::string>{"A4", "A2"}));
  EXPECT_EQ(view_->HiddenCount(), 2);

  // Shown again in the kind's order, each once, with their check marks.
  view_->SetHideWindowsEntries(false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"A4", "A1", "A2", "A3"}));
  EXPECT_EQ(view_->HiddenCount(), 0);
  EXPECT_FALSE(view_->IsEnabled(0));
  EXPECT_TRUE(view_->IsEnabled(1));
  EXPECT_TRUE(view_->IsEnabled(3));
  view_->SetHideWindowsEntries(true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"A4", "A2"}));
  // Unhiding never ran Enable or Disable.
  EXPECT_EQ(journal_.records.size(), 1u);
}

TEST_F(SignatureViewTest, TheWindowAnswersWhile200ProgramsAreCheckedAndClosesMidway) {
  const std::string program = Sample("unsigned.dll", "slow.dll");
  for (int i = 0; i < 200; ++i) {
    char name[16];
    wsprintfA(name, "E%03d", i);
    WriteValue(name, "\"" + program + "\" /n " + std::to_string(i));
  }
  std::atomic<int> checked{0};
  Open([&checked](const std::string& path) {
    Sleep(20);  // a slow disk or a large file
    ++checked;
    return CheckFileSignature(path);
  });
  // The rows are there before the checks are.
  ASSERT_EQ(view_->Count(), 200);
  EXPECT_LT(checked.load(), 200);

  const HWND list = view_->List();
  std::atomic<int> answered{0};
  std::atomic<int> answeredWhileChecking{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    for (int i = 0; i < 20 && !done; ++i) {
      DWORD_PTR count = 0;
      // Generous: "answered at all", not a speed figure.
      if (SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) &&
          count == 200) {
        ++answered;
        if (checked.load() < 200) ++answeredWhileChecking;
      }
      Sleep(50);
    }
    done = true;
  });
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 60000) PumpFor(10);
  sender.join();
  EXPECT_EQ(answered.load(), 20);
  EXPECT_GT(answeredWhileChecking.load(), 0);

  // Closing the view stops the worker: nothing more is checked after it is gone.
  ASSERT_LT(checked.load(), 200) << "the checks were too fast to close the view meanwhile";
  view_.reset();
  const int atClose = checked.load();
  PumpFor(200);
  EXPECT_EQ(checked.load(), atClose);
}

}  // namespace
