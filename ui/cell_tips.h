// Label tips for a report list: when the pointer rests on a cell whose text is cut off, a tip
// shows the whole text over the cell, in every column, as Explorer does for its names.
#pragma once

#include <windows.h>

#include <string>

class CellTips {
 public:
  CellTips() = default;
  ~CellTips();
  CellTips(const CellTips&) = delete;
  CellTips& operator=(const CellTips&) = delete;

  // Subclasses the list and makes the tip window. False when list is no window.
  bool Attach(HWND list);
  HWND Tip() const { return tip_; }
  // The text the tip shows now; empty while it is hidden.
  const std::string& Shown() const { return shown_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  void OnHover(POINT at);
  void Hide();
  // The cell's whole text when it is wider than its cell, else empty.
  std::string CutText(int item, int subItem, RECT* cell) const;

  HWND list_ = nullptr;
  HWND tip_ = nullptr;
  int item_ = -1;
  int subItem_ = -1;
  std::string shown_;
};
