#include "console/console_rows.h"

std::string ConsoleRows::Text(int row, Column column) const {
  return ColumnText(rows_.at(row).row, column);
}

void ConsoleRows::DeleteAll() {
  rows_.clear();
  selected_ = -1;
}

void ConsoleRows::Append(const Row& row) {
  rows_.push_back({row, row.enabled && !row.windowsOff});
}

bool ConsoleRows::SelectAndShow(int row) {
  if (row < 0 || row >= Count()) return false;
  selected_ = row;
  return true;
}
