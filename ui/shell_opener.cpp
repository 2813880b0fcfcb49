#include "ui/shell_opener.h"

#include <shellapi.h>

#include <utility>

namespace {

bool OpenThroughShell(HWND owner, const std::string& file, const std::string& params) {
  const HINSTANCE result =
      ShellExecuteA(owner, "open", file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr,
                    SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

ShellOpener& CurrentOpener() {
  static ShellOpener opener = OpenThroughShell;
  return opener;
}

}  // namespace

bool OpenWithShell(HWND owner, const std::string& file, const std::string& params) {
  return CurrentOpener()(owner, file, params);
}

ShellOpener ReplaceShellOpener(ShellOpener opener) {
  if (!opener) opener = OpenThroughShell;
  return std::exchange(CurrentOpener(), std::move(opener));
}
