// Measures the disabled-entry store against the raw cost of its file: for stores of 100, 1,000
// and 10,000 records, the median time of ListAll, Append and Remove (of the last record) next
// to reading the file's bytes and writing them crash-safely (sibling, flush, rename), all in
// one run so the ratios hold even where absolute times swing; then the cost of the lock each
// change takes.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/win_handles.h"
#include "store/store_lock.h"
#include "store/xml_disabled_store.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kRun = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string ReadAll(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
  DWORD read = 0;
  ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

bool WriteAll(const std::string& path, const std::string& bytes, bool flush) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         (!flush || FlushFileBuffers(file.Get()));
}

std::string StoreText(int records) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config><toolquorvane>";
  for (int i = 0; i < records; ++i) {
    const std::string n = std::to_string(i);
    text += "<disabledregistryitem path=\"" + kRun + (i % 2 ? "Once" : "") +
            "\" valuedata=\"C:\\Program Files\\Vendor " + n +
            "\\app.exe /background\" valuename=\"Entry " + n + "\"/>";
  }
  return text + "</toolquorvane></config>\r\n";
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  const TempFolder dir("qv_store_bench");
  const std::string file = dir / "config.xml";
  const std::string copy = dir / "copy.xml";
  const std::string copyTemp = copy + ".tmp";

  std::printf(
      "store benchmark: median ms per operation; ratios against the raw file in this run\n");
  std::printf(
      "raw write = write a sibling, flush, rename over (what a crash-safe save must do)\n\n");
  std::printf("%8s %9s | %8s %8s | %9s %7s | %9s %7s | %9s %7s\n", "records", "bytes", "read",
              "write", "ListAll", "x read", "Append", "x r+w", "Remove", "x r+w");

  int status = 0;
  for (int records : {100, 1000, 10000}) {
    const std::string text = StoreText(records);
    if (!WriteAll(file, text, true)) {
      std::printf("cannot write %s\n", file.c_str());
      status = 1;
      break;
    }
    const int reps = records >= 10000 ? 7 : 21;
    XmlDisabledStore store(file);

    size_t listed = 0;
    const double read = MedianMs(reps, [&] { ReadAll(file); });
    const double write = MedianMs(reps, [&] {
      WriteAll(copyTemp, text, true);
      MoveFileExA(copyTemp.c_str(), copy.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    });
    const double list = MedianMs(reps, [&] { listed = store.ListAll(KindId::kRegistry).size(); });

    // Append one record, then remove it again: it is the last, so Remove scans every record.
    std::vector<double> appends, removes;
    bool ok = listed == static_cast<size_t>(records);
    for (int i = 0; i < reps && ok; ++i) {
      appends.push_back(TimeMs([&] {
        ok = store.Append(KindId::kRegistry, kRun, "Bench entry", "C:\\bench.exe").Ok();
      }));
      removes.push_back(TimeMs([&] {
        ok = ok && store.RemoveMatching(KindId::kRegistry, kRun, "Bench entry", "C:\\bench.exe");
      }));
    }
    if (!ok) {
      std::printf("%8d: the store did not work (listed %zu)\n", records, listed);
      status = 1;
      continue;
    }
    const double append = Median(appends);
    const double remove = Median(removes);
    const double rawBoth = read + write;
    std::printf("%8d %9zu | %8.3f %8.3f | %9.3f %7.1f | %9.3f %7.1f | %9.3f %7.1f\n", records,
                text.size(), read, write, list, list / read, append, append / rawBoth, remove,
                remove / rawBoth);
  }

  // The cross-process lock every change takes: its cost on its own, free and uncontended.
  {
    const std::wstring name = StoreLockName(file);
    const int locks = 2001;
    std::vector<double> times;
    for (int i = 0; i < locks; ++i) {
      times.push_back(TimeMs([&] { StoreLock::Acquire(name, StoreLock::kDefaultTimeoutMs); }));
    }
    std::printf("\nstore lock: %.4f ms median per change (make or open, wait, release, close)\n",
                Median(times));
  }

  CoUninitialize();
  return status;
}
