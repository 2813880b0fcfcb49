// Plain windows that host controls under test; each is destroyed with its object.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

namespace gui {

// What both hosts share: the window and a hook that sees every message first; a hook that
// returns a value answers the message.
template <typename Result>
class HookedHost {
 public:
  using Hook = std::function<std::optional<Result>(HWND, UINT, WPARAM, LPARAM)>;
  HookedHost(const HookedHost&) = delete;
  HookedHost& operator=(const HookedHost&) = delete;
  HWND Handle() const { return window_; }

 protected:
  explicit HookedHost(Hook hook) : hook_(std::move(hook)) {}
  ~HookedHost() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  // The hook's answer, for a window whose user data points at its host.
  static std::optional<Result> Hooked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HookedHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->hook_) return std::nullopt;
    return self->hook_(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;

 private:
  Hook hook_;
};

// A top-level window of the given client size, shown without taking the activation.
class HostWindow : public HookedHost<LRESULT> {
 public:
  HostWindow(int clientWidth, int clientHeight, Hook hook = nullptr);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
};

// A modeless dialog with no controls, built from an in-memory template, so that dialog-manager
// behaviour (IsDialogMessage, WM_GETDLGCODE, default buttons) can be tested around a control.
class HostDialog : public HookedHost<INT_PTR> {
 public:
  HostDialog(int clientWidth, int clientHeight, Hook hook = nullptr);

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
};

}  // namespace gui
