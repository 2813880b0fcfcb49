#include "dpi_rerun.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
constexpr char kChildMark[] = "QV_TEST_DPI_CHILD";

std::optional<DWORD> ReadLogPixels() {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void WriteLogPixels(std::optional<DWORD> value) {
  if (value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &*value, sizeof(*value));
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
  }
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

int RunChild() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring commandLine = GetCommandLineW();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  DWORD exitCode = 1;
  if (CreateProcessW(exe, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &child)) {
    WaitForSingleObject(child.hProcess, INFINITE);
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  } else {
    std::fprintf(stderr, "cannot run the tests again (error %lu)\n", GetLastError());
  }
  return static_cast<int>(exitCode);
}

int RunSelfAtDpi(DWORD dpi) {
  const std::optional<DWORD> before = ReadLogPixels();
  WriteLogPixels(dpi);
  SetEnvironmentVariableA(kChildMark, "1");
  int exitCode = RunChild();
  if (exitCode != 0) {
    // The first run at a DPI new to a freshly made prefix can lose its modal dialogs while Wine
    // settles; a fault of the program fails the second run too.
    std::fprintf(stdout, "the run at %lu DPI failed; running it once more\n", dpi);
    std::fflush(stdout);
    exitCode = RunChild();
  }
  // Every later process of the session gets the DPI it had before.
  WriteLogPixels(before);
  return exitCode;
}

}  // namespace

std::optional<int> RunAtRequestedDpi() {
  const char* requested = std::getenv("QV_TEST_DPI");
  if (!requested || !*requested) return std::nullopt;
  const DWORD dpi = static_cast<DWORD>(std::strtoul(requested, nullptr, 10));
  if (!std::getenv(kChildMark)) return RunSelfAtDpi(dpi);
  if (ScreenDpi() == static_cast<int>(dpi)) return std::nullopt;
  std::fprintf(stderr, "the tests were to run at %lu DPI, but the process has %d\n", dpi,
               ScreenDpi());
  return 1;
}

void ReportDpiRun(int result) {
  if (result == 0 && std::getenv(kChildMark)) {
    std::printf("dpi run passed\n");
    std::fflush(stdout);
  }
}
