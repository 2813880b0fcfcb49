// Helpers for in-process GUI tests: message pumping, answering modal dialogs, plain host windows,
// reading a window's pixels and saving screenshots a person can look at.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gui {

// Dispatches every message waiting for this thread.
void PumpPending();
// Dispatches messages until cond() holds or timeoutMs passes; returns cond() at the end.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 3000);
// Dispatches messages for a while (lets timers and posted work run).
void PumpFor(DWORD ms);

// Answers the next modal dialog of this thread: a thread timer looks for a new window of class
// "#32770" (dialogs and message boxes) owned by this thread, and calls answer once with it.
// Windows that were open when the watcher was made are ignored. Runs inside the modal loop, so
// it needs no hook. The timer stops on destruction.
class DialogWatcher {
 public:
  explicit DialogWatcher(std::function<void(HWND dialog)> answer, UINT periodMs = 20);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;
  bool Answered() const { return answered_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void Check();

  std::function<void(HWND)> answer_;
  std::vector<HWND> known_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
};

// A plain top-level window for hosting controls. Every message first goes to the hook; a hook
// that returns a value answers the message. The window is destroyed with the object.
class HostWindow {
 public:
  using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
  HostWindow(int clientWidth, int clientHeight, Hook hook = nullptr);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND Handle() const { return window_; }
  void SetHook(Hook hook) { hook_ = std::move(hook); }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND window_ = nullptr;
  Hook hook_;
};

// A modeless dialog with no controls, built from an in-memory template, so that dialog-manager
// behaviour (IsDialogMessage, WM_GETDLGCODE, default buttons) can be tested around a control.
class HostDialog {
 public:
  using Hook = std::function<std::optional<INT_PTR>(HWND, UINT, WPARAM, LPARAM)>;
  HostDialog(int clientWidth, int clientHeight, Hook hook = nullptr);
  ~HostDialog();
  HostDialog(const HostDialog&) = delete;
  HostDialog& operator=(const HostDialog&) = delete;
  HWND Handle() const { return window_; }

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND window_ = nullptr;
  Hook hook_;
};

// The client area of a window as it is painted now (repainted first), in 32-bit pixels.
class Capture {
 public:
  explicit Capture(HWND window);
  bool Valid() const { return !pixels_.empty(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF At(int x, int y) const;
  // How many pixels of the area (clipped to the capture) have exactly this colour.
  int Count(COLORREF color, RECT area) const;
  int Count(COLORREF color) const { return Count(color, RECT{0, 0, width_, height_}); }
  // Writes a 24-bit .bmp; false on failure.
  bool SaveBmp(const std::string& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<DWORD> pixels_;  // 0x00RRGGBB, top row first
};

// The build folder (QV_BUILD_DIR) as a Windows path, without a trailing backslash; falls back
// to the current directory.
std::string BuildDir();
// Saves the window's client area to <build>/screenshots/<name>.bmp; returns the path, empty on
// failure.
std::string SaveScreenshot(HWND window, const std::string& name);

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);

}  // namespace gui
