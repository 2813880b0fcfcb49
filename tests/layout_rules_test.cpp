// The arithmetic behind the window layout: the button rows of the view form, how a picture
// covers an area, and how a remembered window is brought back onto a screen.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/button_flow.h"
#include "ui/picture_fit.h"
#include "ui/window_placement.h"

namespace {

// Three groups as on the view form: 3 buttons | 2 buttons | 1 button, each 50 wide.
std::vector<FlowItem> Groups() {
  return {{50, false}, {50, false}, {50, false}, {0, true},
          {50, false}, {50, false}, {0, true},   {50, false}};
}

FlowMetrics Metrics(int right) {
  FlowMetrics m;
  m.left = 4;
  m.right = right;
  m.top = 10;
  m.rowHeight = 20;
  m.rowGap = 2;
  m.buttonGap = 3;
  m.separatorWidth = 1;
  m.separatorGap = 2;
  return m;
}

// Each box as "x,y" (hidden lines as "-"), so a failure shows the whole layout.
std::string Places(const Flow& flow) {
  std::string text;
  for (const FlowBox& box : flow.boxes) {
    text += box.shown ? std::to_string(box.x) + "," + std::to_string(box.y) : std::string("-");
    text += " ";
  }
  return text;
}

TEST(ButtonFlow, GroupsStayTogetherAndWrapWhole) {
  struct Case {
    int right;
    int rows;
    const char* places;
  } cases[] = {
      // Everything on one row: 156 for the first group, 5 for a line, 103, 5, 50.
      {323, 1, "4,10 57,10 110,10 162,10 165,10 218,10 270,10 273,10 "},
      // One short: the last group moves down and its line goes away.
      {322, 2, "4,10 57,10 110,10 162,10 165,10 218,10 - 4,32 "},
      // The second group does not fit beside the first: it starts the second row.
      {200, 2, "4,10 57,10 110,10 - 4,32 57,32 109,32 112,32 "},
      // Narrower than the first group: it is split between its buttons.
      {120, 4, "4,10 57,10 4,32 - 4,54 57,54 - 4,76 "},
  };
  for (const Case& c : cases) {
    const Flow flow = FlowButtons(Groups(), Metrics(c.right));
    EXPECT_EQ(flow.rows, c.rows) << c.right;
    EXPECT_EQ(Places(flow), c.places) << c.right;
    EXPECT_EQ(flow.bottom, 10 + c.rows * 20 + (c.rows - 1) * 2) << c.right;
  }
}

TEST(ButtonFlow, MinimumWidthIsTheNarrowestWithTheRowsAllowed) {
  const std::vector<FlowItem> items = Groups();
  for (int rows : {1, 2, 3}) {
    const int width = MinimumFlowWidth(items, Metrics(0), rows);
    FlowMetrics at = Metrics(0);
    at.right = at.left + width;
    EXPECT_LE(FlowButtons(items, at).rows, rows) << rows;
    at.right -= 1;
    EXPECT_GT(FlowButtons(items, at).rows, rows) << rows;
  }
  EXPECT_EQ(MinimumFlowWidth(items, Metrics(0), 1), 319);
  // Never narrower than the widest button.
  EXPECT_EQ(MinimumFlowWidth({{80, false}, {20, false}}, Metrics(0), 5), 80);
}

TEST(CoverSource, KeepsTheAspectAndCutsOnlyOneSide) {
  struct Case {
    SIZE picture, target;
    RECT want;
  } cases[] = {
      {{750, 100}, {750, 100}, {0, 0, 750, 100}},   // same shape: all of it
      {{750, 100}, {1500, 200}, {0, 0, 750, 100}},  // larger, same shape
      {{750, 100}, {300, 100}, {0, 0, 300, 100}},   // narrow target: a left part
      {{750, 100}, {600, 160}, {0, 0, 375, 100}},
      {{750, 100}, {1500, 100}, {0, 25, 750, 75}},  // wide target: the middle band
      {{750, 100}, {0, 100}, {0, 0, 750, 100}},     // nothing to cover
  };
  for (const Case& c : cases) {
    const RECT got = CoverSource(c.picture, c.target);
    EXPECT_EQ(got.left, c.want.left);
    EXPECT_EQ(got.top, c.want.top);
    EXPECT_EQ(got.right, c.want.right);
    EXPECT_EQ(got.bottom, c.want.bottom);
  }
}

TEST(FitIntoArea, MovesAndShrinksOntoTheArea) {
  const RECT area = {0, 0, 1024, 768};
  struct Case {
    RECT rect, want;
  } cases[] = {
      {{100, 100, 600, 500}, {100, 100, 600, 500}},       // inside: unchanged
      {{3000, 2000, 3500, 2400}, {524, 368, 1024, 768}},  // far right and below
      {{-900, -50, -400, 350}, {0, 0, 500, 400}},         // left of and above
      {{-10, 0, 2000, 900}, {0, 0, 1024, 768}},           // larger than the area
  };
  for (const Case& c : cases) {
    const RECT got = FitIntoArea(c.rect, area);
    EXPECT_EQ(got.left, c.want.left);
    EXPECT_EQ(got.top, c.want.top);
    EXPECT_EQ(got.right, c.want.right);
    EXPECT_EQ(got.bottom, c.want.bottom);
  }
}

}  // namespace
