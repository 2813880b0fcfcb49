#include "ui/view_host.h"

namespace {

constexpr char kClassName[] = "QuorvaneViewHost";
WNDPROC staticProc = nullptr;

}  // namespace

HWND ViewHost::Create(HINSTANCE instance, HWND parent) {
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof(cls);
  if (!GetClassInfoExA(instance, kClassName, &cls)) {
    // A superclass of STATIC: its procedure handles everything but the resizing of the view.
    WNDCLASSEXA base{};
    base.cbSize = sizeof(base);
    GetClassInfoExA(nullptr, "STATIC", &base);
    staticProc = base.lpfnWndProc;
    base.hInstance = instance;
    base.lpszClassName = kClassName;
    base.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    base.lpfnWndProc = &ViewHost::WindowProc;
    RegisterClassExA(&base);
  }
  window_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 0, 0,
                            parent, nullptr, instance, nullptr);
  if (window_) SetPropA(window_, kClassName, this);
  return window_;
}

void ViewHost::SetView(int index, HWND view) {
  if (IsValid(index)) views_[index] = view;
}

void ViewHost::Show(int index) {
  if (!IsValid(index) || index == current_ || !views_[index]) return;
  if (IsValid(current_)) ShowWindow(views_[current_], SW_HIDE);
  RECT client{};
  GetClientRect(window_, &client);
  MoveWindow(views_[index], 0, 0, client.right, client.bottom, FALSE);
  ShowWindow(views_[index], SW_SHOW);
  current_ = index;
}

LRESULT CALLBACK ViewHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = static_cast<ViewHost*>(GetPropA(window, kClassName));
  if (message == WM_SIZE && host && host->IsValid(host->current_)) {
    MoveWindow(host->views_[host->current_], 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  }
  if (message == WM_NCDESTROY) RemovePropA(window, kClassName);
  return CallWindowProcA(staticProc, window, message, wParam, lParam);
}
