// An in-memory row list standing for the entry view's list control. Row::enabled of its rows is
// the check mark, as the list control holds it.
#pragma once

#include <string>
#include <vector>

#include "core/row_list.h"

class MemoryRows final : public RowList {
 public:
  std::vector<Row> rows;
  int selected = -1;
  bool filling = false;
  int appendsOutsideFilling = 0;  // rows added while the filling flag was clear: a fault
  int restoredChecks = 0;
  std::string notice;           // what the list says above its rows
  bool statusOnDemand = false;  // as the entry view: Status texts are asked for when shown

  int Count() const override { return static_cast<int>(rows.size()); }
  std::string Text(int row, Column column) const override {
    return ColumnText(rows.at(row), column);
  }
  bool IsEnabled(int row) const override { return rows.at(row).enabled; }
  bool IsExact(int row) const override { return rows.at(row).exact; }
  bool IsWindowsOff(int row) const override { return rows.at(row).windowsOff; }
  void SetWindowsOff(int row, bool off) override { rows.at(row).windowsOff = off; }
  int SelectedRow() const override { return selected; }
  void DeleteAll() override {
    rows.clear();
    selected = -1;
  }
  void Append(const Row& row) override {
    if (!filling) ++appendsOutsideFilling;
    rows.push_back(row);
    // As the list shows it: enabled is the check mark, cleared for a row Windows switched off.
    if (row.windowsOff) rows.back().enabled = false;
  }
  void RestoreCheck(int row, bool enabled) override {
    rows.at(row).enabled = enabled;
    ++restoredChecks;
  }
  bool SelectAndShow(int row) override {
    if (row < 0 || row >= Count()) return false;
    selected = row;
    return true;
  }
  void SetFilling(bool value) override { filling = value; }
  void SetNotice(const std::string& text) override { notice = text; }
  bool ShowsStatusOnDemand() const override { return statusOnDemand; }

  // What a click on the row's check box does before the kind's Enable/Disable runs.
  void Toggle(int row) { rows.at(row).enabled = !rows.at(row).enabled; }
};
