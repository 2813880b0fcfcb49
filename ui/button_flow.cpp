#include "ui/button_flow.h"

#include <algorithm>
#include <cstddef>

namespace {

struct Group {
  std::size_t first = 0;  // the group's first button
  std::size_t end = 0;    // one past its last button
  int separator = -1;     // the line before it, if any
};

std::vector<Group> Groups(const std::vector<FlowItem>& items) {
  std::vector<Group> groups;
  Group current;
  for (std::size_t i = 0; i <= items.size(); ++i) {
    if (i == items.size() || items[i].separator) {
      current.end = i;
      if (current.end > current.first || current.separator >= 0) groups.push_back(current);
      current = Group{i + 1, i + 1, static_cast<int>(i)};
    }
  }
  return groups;
}

int GroupWidth(const std::vector<FlowItem>& items, const Group& group, int buttonGap) {
  int width = 0;
  for (std::size_t i = group.first; i < group.end; ++i) {
    width += items[i].width + (i > group.first ? buttonGap : 0);
  }
  return width;
}

}  // namespace

Flow FlowButtons(const std::vector<FlowItem>& items, const FlowMetrics& m) {
  Flow flow;
  flow.boxes.assign(items.size(), FlowBox{});
  if (items.empty()) {
    flow.bottom = m.top;
    return flow;
  }
  int x = m.left;
  int y = m.top;
  flow.rows = 1;
  bool rowEmpty = true;
  const auto newRow = [&] {
    x = m.left;
    y += m.rowHeight + m.rowGap;
    ++flow.rows;
    rowEmpty = true;
  };
  const int separatorSpan = m.separatorWidth + 2 * m.separatorGap;
  for (const Group& group : Groups(items)) {
    const int width = GroupWidth(items, group, m.buttonGap);
    const int lead = group.separator >= 0 ? separatorSpan : 0;
    if (!rowEmpty && x + lead + width > m.right) newRow();
    if (group.separator >= 0) {
      FlowBox& line = flow.boxes[static_cast<std::size_t>(group.separator)];
      line.width = m.separatorWidth;
      line.y = y;
      if (rowEmpty) {
        line.shown = false;
        line.x = x;
      } else {
        line.x = x + m.separatorGap;
        x += separatorSpan;
      }
    }
    for (std::size_t i = group.first; i < group.end; ++i) {
      int before = rowEmpty || i == group.first ? 0 : m.buttonGap;
      if (!rowEmpty && x + before + items[i].width > m.right) {
        newRow();
        before = 0;
      }
      flow.boxes[i] = FlowBox{x + before, y, items[i].width, true};
      x += before + items[i].width;
      rowEmpty = false;
    }
  }
  flow.bottom = y + m.rowHeight;
  return flow;
}

int MinimumFlowWidth(const std::vector<FlowItem>& items, FlowMetrics metrics, int maxRows) {
  int widest = 0;
  int total = 0;
  for (const FlowItem& item : items) {
    const int width = item.separator ? metrics.separatorWidth + 2 * metrics.separatorGap
                                     : item.width + metrics.buttonGap;
    widest = std::max(widest, item.separator ? 0 : item.width);
    total += width;
  }
  // Widths are few (one form's buttons): try each from the widest button up.
  for (int width = widest; width < total; ++width) {
    metrics.right = metrics.left + width;
    if (FlowButtons(items, metrics).rows <= maxRows) return width;
  }
  return std::max(widest, total);
}
