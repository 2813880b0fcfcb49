// Lets a resizable dialog's controls follow its edges: each control keeps its distance to the
// edges it is anchored to, and the dialog cannot be made smaller than it opened.
#pragma once

#include <windows.h>

#include <vector>

// Which of a control's edges move with the dialog's right and bottom edges.
enum Anchor : unsigned {
  kAnchorNone = 0,
  kAnchorRight = 1,   // the right edge follows the dialog's width
  kAnchorBottom = 2,  // the bottom edge follows the dialog's height
  kAnchorLeft = 4,    // the left edge follows too: with kAnchorRight the control moves sideways
  kAnchorTop = 8,     // the top edge follows too: with kAnchorBottom the control moves down
  kGrowX = kAnchorRight,
  kGrowY = kAnchorBottom,
  kGrowBoth = kAnchorRight | kAnchorBottom,
  kMoveX = kAnchorLeft | kAnchorRight,
  kMoveY = kAnchorTop | kAnchorBottom,
  kMoveBoth = kMoveX | kMoveY,
};

struct AnchoredControl {
  int id;
  unsigned anchor;
};

// Where a control that started at start goes when the client area grew by dx, dy.
RECT AnchoredRect(const RECT& start, unsigned anchor, int dx, int dy);

class DialogLayout {
 public:
  // Records the dialog's size (its minimum from now on) and each control's place. Call at
  // WM_INITDIALOG, before the dialog is shown. Controls that do not exist are skipped.
  void Install(HWND dialog, const std::vector<AnchoredControl>& controls);
  // For WM_SIZE.
  void OnSize(UINT type, int clientWidth, int clientHeight);
  // For WM_GETMINMAXINFO: the opening size is the smallest.
  void OnMinMaxInfo(MINMAXINFO* info) const;

 private:
  struct Placed {
    HWND control;
    RECT start;
    unsigned anchor;
  };
  HWND dialog_ = nullptr;
  SIZE startClient_{};
  SIZE minimum_{};
  std::vector<Placed> placed_;
};
