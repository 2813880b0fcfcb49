// The bordered child window beside the tree that holds the entry view forms and keeps
// the shown one filling it. A form is made the first time it is shown, so a slot may be empty.
#pragma once

#include <windows.h>

#include <vector>

class ViewHost {
 public:
  // Creates the host window (a STATIC superclass) as a visible, bordered child of parent.
  HWND Create(HINSTANCE instance, HWND parent);
  HWND Handle() const { return window_; }

  // count empty slots, one per view index.
  void SetViewCount(int count) { views_.assign(static_cast<std::size_t>(count), nullptr); }
  void SetView(int index, HWND view);
  const std::vector<HWND>& Views() const { return views_; }
  int Current() const { return current_; }
  bool IsValid(int index) const { return index >= 0 && index < static_cast<int>(views_.size()); }
  HWND CurrentView() const { return IsValid(current_) ? views_[current_] : nullptr; }

  // Shows view index (hiding the one shown before) sized to the host. Nothing when index is
  // already shown or its slot is empty.
  void Show(int index);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::vector<HWND> views_;
  int current_ = -1;
};
