#include "console/console_streams.h"

#include <windows.h>

#include "console/utf8_text.h"

namespace {

void WriteTo(DWORD which, const std::string& utf8) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || utf8.empty()) return;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    return;
  }
  std::size_t done = 0;
  while (done < utf8.size()) {
    DWORD written = 0;
    if (!WriteFile(handle, utf8.data() + done, DWORD(utf8.size() - done), &written, nullptr) ||
        written == 0)
      return;
    done += written;
  }
}

}  // namespace

ConsoleStreams StandardStreams() {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) SetConsoleOutputCP(CP_UTF8);
  return ConsoleStreams{[](const std::string& text) { WriteTo(STD_OUTPUT_HANDLE, text); },
                        [](const std::string& text) { WriteTo(STD_ERROR_HANDLE, text); }};
}
