// Where a form's row of command buttons goes at a given width: the buttons keep their order and
// their groups (the etched lines between groups), and flow onto further rows when the row is
// too narrow. Pure arithmetic in pixels; the caller measures and places the windows.
#pragma once

#include <vector>

struct FlowItem {
  int width = 0;           // a button's width; ignored for a separator
  bool separator = false;  // an etched line between two groups of buttons
};

struct FlowMetrics {
  int left = 0;            // first column of every row
  int right = 0;           // the rows end here (exclusive)
  int top = 0;             // top of the first row
  int rowHeight = 0;       // a button's height
  int rowGap = 0;          // between two rows
  int buttonGap = 0;       // between two buttons of a group
  int separatorWidth = 0;  // the line itself
  int separatorGap = 0;    // on each side of a line
};

struct FlowBox {
  int x = 0;
  int y = 0;
  int width = 0;
  bool shown = true;  // false for a separator at a row's start or end: a new row replaces it
};

struct Flow {
  std::vector<FlowBox> boxes;  // one per item, in item order
  int rows = 0;
  int bottom = 0;  // below the last row
};

// A group goes onto the current row when it fits whole, else it starts a new row; a group wider
// than a whole row is split between its buttons. A button wider than a row gets a row of its own.
Flow FlowButtons(const std::vector<FlowItem>& items, const FlowMetrics& metrics);

// The smallest row width (right - left) at which the items take at most maxRows rows.
int MinimumFlowWidth(const std::vector<FlowItem>& items, FlowMetrics metrics, int maxRows);
