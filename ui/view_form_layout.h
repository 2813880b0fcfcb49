// The layout of the location view form: the banner across the top, the command buttons below it
// (each as wide as its translated text needs, flowing onto a second row when the form is
// narrow), and the list filling the rest. Margins, gaps and heights come from the template, so
// they follow the form's font and DPI.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/button_flow.h"

class ViewFormLayout {
 public:
  // The buttons flow onto at most this many rows at the form's minimum width.
  static constexpr int kMaxRows = 2;

  // Reads the form's controls as the template placed them and measures each button's text with
  // the form's font, then lays the form out at its size. Call at WM_INITDIALOG after the texts
  // are translated. False if form is no window.
  bool Install(HWND form);
  // Places the controls for a client size, with the form's redrawing off meanwhile.
  void Apply(int clientWidth, int clientHeight);
  // The smallest client size at which every button is whole (on at most kMaxRows rows) and the
  // list still shows a few rows.
  SIZE MinimumClientSize() const;

 private:
  FlowMetrics MetricsFor(int clientWidth) const;

  HWND form_ = nullptr;
  HWND banner_ = nullptr;
  HWND list_ = nullptr;
  std::vector<HWND> flowWindows_;  // buttons and etched lines, in template order
  std::vector<FlowItem> items_;
  std::vector<int> lineHeights_;  // per flow item; the etched lines keep their own height
  FlowMetrics metrics_;           // left, top and gaps; right is set per width
  int rightMargin_ = 0;
  int bannerTop_ = 0;
  int bannerHeight_ = 0;
  int listGap_ = 0;
  int bottomMargin_ = 0;
  int minimumListHeight_ = 0;
};
