// Measures the signature checks of 200 program files:
//   1. the check itself: CheckFileSignature over 200 files, one after another;
//   2. an entry view of 200 rows, from its creation to its first painted rows, with the Publisher
//      column and its checks pending (the worker starts on them at once) against the same view
//      without the column and without checks. Target: within 1.1x;
//   3. the same view until its worker has posted all 200 results.
// Half the files are copies of the signed sample made by the tests (<build>\signing\signed.dll,
// from `ctest -R signed_samples`), half copies of the unsigned one; without them, copies of
// this exe. Run it pinned, with a display: scripts/bench --x signature_bench <build folder>.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_fixtures.h"
#include "bench/bench_timing.h"
#include "core/registry_kind.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/signature_check.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "tests/support/temp_folder.h"
#include "ui/entry_view.h"
#include "ui/program_signature.h"

namespace {

constexpr int kFiles = 200;
constexpr int kRounds = 9;

std::string BuildFile(const std::string& relative) {
  char build[MAX_PATH * 2] = {};
  if (!GetEnvironmentVariableA("QV_BUILD_DIR", build, sizeof(build))) return {};
  std::string path = std::string("Z:") + build + "/" + relative;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : path;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// A plain top-level window the view lives in.
class Host {
 public:
  Host() {
    WNDCLASSA type{};
    type.lpfnWndProc = DefWindowProcA;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "QuorvaneSignatureBench";
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&type);
    window_ = CreateWindowExA(0, type.lpszClassName, "signature bench", WS_OVERLAPPEDWINDOW, 0, 0,
                              1100, 700, nullptr, nullptr, type.hInstance, nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
  }
  ~Host() { DestroyWindow(window_); }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  HWND Handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// One view over the bench's key: created, filled and painted once. Its worker (when it has a
// checker) starts on the rows while they are painted.
struct PaintedView {
  PaintedView(EntryKind& kind, const LanguageTable& language, HWND host, SignatureChecker checker)
      : view(kind, language) {
    view.SetSignatureChecker(std::move(checker));
    paintMs = TimeMs([&] {
      HWND form = view.Create(GetModuleHandleA(nullptr), host);
      RECT client{};
      GetClientRect(host, &client);
      MoveWindow(form, 0, 0, client.right, client.bottom, TRUE);
      ShowWindow(form, SW_SHOW);
      UpdateWindow(form);
      UpdateWindow(view.List());
    });
  }
  // Pumps until every row's check has been posted and taken; the milliseconds that took.
  double WaitForChecks(int rows) {
    return TimeMs([&] {
      const DWORD start = GetTickCount();
      while (view.ChecksDone() < rows && GetTickCount() - start < 120000) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      }
    });
  }

  EntryView view;
  double paintMs = 0;
};

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  const std::string signedSample = BuildFile("signing/signed.dll");
  const std::string unsignedSample = BuildFile("signing/unsigned.dll");
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const bool samples = !signedSample.empty() && !unsignedSample.empty();

  const TempFolder folder("qv_signature_bench");
  const std::string subkey =
      "Software\\QuorvaneBench\\signature_" + std::to_string(GetCurrentProcessId());
  HKEY raw = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER, subkey.c_str(), &raw);
  std::vector<std::string> files;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "program%03d.exe", i);
    const std::string path = folder / name;
    const std::string& source = !samples ? std::string(self)
                                : i % 2  ? unsignedSample
                                         : signedSample;
    CopyFileA(source.c_str(), path.c_str(), FALSE);
    files.push_back(path);
    const std::string data = "\"" + path + "\" /background";
    RegSetValueExA(raw, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
  }
  RegCloseKey(raw);

  // 1. The check alone.
  CheckFileSignature(files[0]);  // loads the crypto libraries
  std::vector<double> checkAll;
  int verifiedOrSigned = 0;
  for (int round = 0; round < 3; ++round) {
    checkAll.push_back(TimeMs([&] {
      verifiedOrSigned = 0;
      for (const std::string& file : files) {
        const SignatureResult result = CheckFileSignature(file);
        if (result.state != SignatureResult::State::kNotSigned) ++verifiedOrSigned;
      }
    }));
  }

  // What the worker does per row: resolve the command line, check, read the company.
  std::vector<double> programAll;
  for (int round = 0; round < 3; ++round) {
    SignatureCache cache;
    programAll.push_back(TimeMs([&] {
      for (const std::string& file : files) {
        CheckProgram("\"" + file + "\" /background", CheckFileSignature, cache);
      }
    }));
  }

  Win32Registry registry;
  Win32FileSystem files32;
  Win32ShellLinks links;
  XmlDisabledStore store(folder / "config.xml");
  NoJournal journal;
  LanguageTable language;
  KindServices services{registry, files32, links, store, journal, language};
  RegistryKind kind(services, {"HKEY_CURRENT_USER\\" + subkey});
  const Host host;

  // 2. and 3.: a fresh view each round, so its worker has checked nothing yet; the two kinds of
  // view take turns.
  std::vector<double> withColumn, withoutColumn, allChecked;
  const auto plainRound = [&](bool keep) {
    PaintedView plain(kind, language, host.Handle(), nullptr);
    PumpMessages();
    if (keep) withoutColumn.push_back(plain.paintMs);
  };
  const auto checkedRound = [&](bool keep) {
    PaintedView checked(kind, language, host.Handle(), CheckFileSignature);
    const double waitMs = checked.WaitForChecks(kFiles);
    if (keep) {
      withColumn.push_back(checked.paintMs);
      allChecked.push_back(checked.paintMs + waitMs);
    }
  };
  // Round 0 warms up; the order alternates so neither kind always comes first.
  for (int round = 0; round <= kRounds; ++round) {
    if (round % 2) {
      plainRound(round > 0);
      checkedRound(round > 0);
    } else {
      checkedRound(round > 0);
      plainRound(round > 0);
    }
    PumpMessages();
  }

  std::printf("signature checks of %d files (%s), %d of them signed\n", kFiles,
              samples
                  ? "half signed, half unsigned copies of the test samples"
                  : "unsigned copies of this exe; make the samples with ctest -R signed_samples",
              verifiedOrSigned);
  std::printf("  CheckFileSignature x %d     %9.1f ms (median of 3), %.2f ms per file\n", kFiles,
              Median(checkAll), Median(checkAll) / kFiles);
  std::printf("  CheckProgram x %d          %9.1f ms (median of 3): the worker's whole task\n",
              kFiles, Median(programAll));
  std::printf("view of %d rows, created to first painted rows, median of %d\n", kFiles, kRounds);
  const double with = Median(withColumn);
  const double without = Median(withoutColumn);
  std::printf("  without the Publisher column %9.1f ms\n", without);
  std::printf("  with its checks pending      %9.1f ms   ratio %.2f (target <= 1.1)\n", with,
              with / without);
  std::printf("  until all %d results shown   %9.1f ms\n", kFiles, Median(allChecked));

  RegDeleteTreeA(HKEY_CURRENT_USER, subkey.c_str());
  CoUninitialize();
  return 0;
}
