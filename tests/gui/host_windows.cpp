#include "gui/host_windows.h"

#include <utility>

namespace gui {
namespace {
constexpr char kHostClass[] = "QuorvaneTestHost";
}

HostWindow::HostWindow(int clientWidth, int clientHeight, Hook hook) : HookedHost(std::move(hook)) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kHostClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &HostWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
  }
  RECT rect = {0, 0, clientWidth, clientHeight};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&rect, style, FALSE);
  window_ = CreateWindowExA(0, kHostClass, "test host", style, 40, 40, rect.right - rect.left,
                            rect.bottom - rect.top, nullptr, nullptr, instance,
                            static_cast<HookedHost*>(this));
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (auto result = Hooked(window, message, wParam, lParam)) return *result;
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return DefWindowProcA(window, message, wParam, lParam);
}

HostDialog::HostDialog(int clientWidth, int clientHeight, Hook hook) : HookedHost(std::move(hook)) {
  // DLGTEMPLATE, then empty menu, class and title arrays (WORD aligned).
  alignas(4) WORD buffer[32] = {};
  auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(buffer);
  tmpl->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
  tmpl->cdit = 0;
  tmpl->cx = 100;
  tmpl->cy = 50;
  window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, nullptr, &HostDialog::Proc,
                                       reinterpret_cast<LPARAM>(static_cast<HookedHost*>(this)));
  RECT rect = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, GetWindowLongA(window_, GWL_STYLE), FALSE,
                     GetWindowLongA(window_, GWL_EXSTYLE));
  SetWindowPos(window_, nullptr, 60, 60, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK HostDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  if (auto result = Hooked(window, message, wParam, lParam)) return *result;
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace gui
