#include "gui_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace gui {

void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!cond()) {
    if (GetTickCount64() >= end) return cond();
    PumpPending();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    PumpPending();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {
thread_local DialogWatcher* activeWatcher = nullptr;

std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        char name[16] = {};
        GetClassNameA(window, name, sizeof(name));
        if (lstrcmpA(name, "#32770") == 0)
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
}  // namespace

DialogWatcher::DialogWatcher(std::function<void(HWND)> answer, UINT periodMs)
    : answer_(std::move(answer)), known_(ThreadDialogs()) {
  activeWatcher = this;
  timer_ = SetTimer(nullptr, 0, periodMs, &DialogWatcher::OnTimer);
}

DialogWatcher::~DialogWatcher() {
  if (timer_) KillTimer(nullptr, timer_);
  if (activeWatcher == this) activeWatcher = nullptr;
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (activeWatcher) activeWatcher->Check();
}

void DialogWatcher::Check() {
  if (answered_) return;
  for (HWND dialog : ThreadDialogs()) {
    if (std::find(known_.begin(), known_.end(), dialog) != known_.end()) continue;
    if (!IsWindowVisible(dialog)) continue;  // still being built
    answered_ = true;
    KillTimer(nullptr, timer_);
    timer_ = 0;
    answer_(dialog);
    return;
  }
}

namespace {
constexpr char kHostClass[] = "QuorvaneTestHost";
}

HostWindow::HostWindow(int clientWidth, int clientHeight, Hook hook) : hook_(std::move(hook)) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), kHostClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &HostWindow::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
  }
  RECT rect = {0, 0, clientWidth, clientHeight};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&rect, style, FALSE);
  window_ =
      CreateWindowExA(0, kHostClass, "test host", style, 40, 40, rect.right - rect.left,
                      rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

HostWindow::~HostWindow() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && self->hook_) {
    if (auto result = self->hook_(window, message, wParam, lParam)) return *result;
  }
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return DefWindowProcA(window, message, wParam, lParam);
}

HostDialog::HostDialog(int clientWidth, int clientHeight, Hook hook) : hook_(std::move(hook)) {
  // DLGTEMPLATE, then empty menu, class and title arrays (WORD aligned).
  alignas(4) WORD buffer[32] = {};
  auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(buffer);
  tmpl->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
  tmpl->cdit = 0;
  tmpl->cx = 100;
  tmpl->cy = 50;
  window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, nullptr, &HostDialog::Proc,
                                       reinterpret_cast<LPARAM>(this));
  RECT rect = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, GetWindowLongA(window_, GWL_STYLE), FALSE,
                     GetWindowLongA(window_, GWL_EXSTYLE));
  SetWindowPos(window_, nullptr, 60, 60, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

HostDialog::~HostDialog() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

INT_PTR CALLBACK HostDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  auto* self = reinterpret_cast<HostDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && self->hook_) {
    if (auto result = self->hook_(window, message, wParam, lParam)) return *result;
  }
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

Capture::Capture(HWND window) {
  RECT client;
  if (!IsWindow(window) || !GetClientRect(window, &client)) return;
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  width_ = client.right;
  height_ = client.bottom;
  if (width_ <= 0 || height_ <= 0) return;
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const DWORD*>(bits);
    pixels_.assign(data, data + static_cast<size_t>(width_) * height_);
    for (DWORD& p : pixels_) p &= 0x00FFFFFF;
    SelectObject(memory, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, source);
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
  const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Capture::Count(COLORREF color, RECT area) const {
  int count = 0;
  for (int y = std::max(0, static_cast<int>(area.top));
       y < std::min(height_, static_cast<int>(area.bottom)); ++y) {
    for (int x = std::max(0, static_cast<int>(area.left));
         x < std::min(width_, static_cast<int>(area.right)); ++x) {
      if (At(x, y) == color) ++count;
    }
  }
  return count;
}

bool Capture::SaveBmp(const std::string& path) const {
  if (pixels_.empty()) return false;
  const int rowBytes = (width_ * 3 + 3) & ~3;
  const DWORD imageBytes = static_cast<DWORD>(rowBytes) * height_;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + imageBytes;
  header.biSize = sizeof(header);
  header.biWidth = width_;
  header.biHeight = height_;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = imageBytes;
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  std::vector<char> row(rowBytes, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
      row[x * 3] = static_cast<char>(p & 0xFF);
      row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    out.write(row.data(), rowBytes);
  }
  return static_cast<bool>(out);
}

std::string BuildDir() {
  const char* unixPath = std::getenv("QV_BUILD_DIR");
  if (!unixPath || !*unixPath) {
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    return current;
  }
  // Wine maps the Unix root to drive Z:.
  std::string path = std::string("Z:") + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string SaveScreenshot(HWND window, const std::string& name) {
  const std::string folder = BuildDir() + "\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".bmp";
  return Capture(window).SaveBmp(path) ? path : std::string();
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace gui
