#include "console/console_rows.h"

std::string ConsoleRows::Text(int row, Column column) const {
  const Row& r = rows_.at(row).row;
  switch (column) {
    case kColName:
      return r.name;
    case kColType:
      return r.type;
    case kColData:
      return r.data;
    case kColLocation:
      return r.location;
    case kColStatus:
      return r.status;
  }
  return {};
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
