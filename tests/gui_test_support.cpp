#include "gui_test_support.h"

#include <commctrl.h>

#include <cstdlib>
#include <deque>
#include <set>
#include <vector>

namespace guitest {
namespace {

std::deque<std::function<void(HWND)>> answers;
std::set<HWND> seenDialogs;
UINT_PTR answerTimer = 0;

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  char cls[16] = {};
  GetClassNameA(window, cls, sizeof(cls));
  if (std::string(cls) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  }
  return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (answers.empty()) {
    KillTimer(nullptr, answerTimer);
    answerTimer = 0;
    return;
  }
  // The newest enabled dialog is the one waiting for input (its owner is disabled).
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND dialog : dialogs) {
    if (seenDialogs.count(dialog)) continue;
    seenDialogs.insert(dialog);
    auto answer = std::move(answers.front());
    answers.pop_front();
    answer(dialog);
    return;
  }
}

std::string ToWindowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
}

}  // namespace

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void AnswerNextDialog(std::function<void(HWND)> answer) {
  answers.push_back(std::move(answer));
  if (!answerTimer) answerTimer = SetTimer(nullptr, 0, 30, AnswerTimer);
}

bool AllDialogsAnswered() { return answers.empty(); }

void ClearDialogAnswers() {
  answers.clear();
  seenDialogs.clear();
  if (answerTimer) KillTimer(nullptr, answerTimer);
  answerTimer = 0;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string DialogMessageText(HWND dialog) {
  // Message boxes keep their text in the static with id 0xFFFF.
  if (HWND text = GetDlgItem(dialog, 0xFFFF)) return WindowText(text);
  return WindowText(dialog);
}

void ClickButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button) {
    SendMessageA(button, BM_CLICK, 0, 0);
  } else {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

bool ClickCheckBox(HWND list, int row) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) return false;
  const int y = (bounds.top + bounds.bottom) / 2;
  for (int x = bounds.left; x < bounds.left + 60; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
      SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
      Pump();
      return true;
    }
  }
  return false;
}

int StateImage(HWND list, int row) {
  return static_cast<int>(
      (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("QV_SOURCE_DIR");
  return ToWindowsPath(std::string(root ? root : ".") + "/" + relative);
}

std::string BuildPath(const std::string& relative) {
  const char* root = std::getenv("QV_BUILD_DIR");
  return ToWindowsPath(std::string(root ? root : ".") + "/" + relative);
}

std::string SaveScreenshot(HWND window, const std::string& name) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(20);
  }
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};

  // The window's own surface holds its children too, and is not hidden by other windows.
  HDC screen = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);

  const std::string folder = BuildPath("screenshots");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".bmp";
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageSize;
  bool written = false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD done = 0;
    written = WriteFile(file, &header, sizeof(header), &done, nullptr) &&
              WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &done, nullptr) &&
              WriteFile(file, bits, imageSize, &done, nullptr);
    CloseHandle(file);
  }
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return written ? path : std::string();
}

}  // namespace guitest
