// The rows of one location as the console program holds them: in memory, every row kept as the
// kind appended it, with the check mark beside it.
#pragma once

#include <vector>

#include "core/row_list.h"

class ConsoleRows final : public RowList {
 public:
  struct Held {
    Row row;             // as appended
    bool check = false;  // the check mark: live and not switched off by Windows
  };

  const std::vector<Held>& Rows() const { return rows_; }
  // What a click on the row's check box does before the kind's Enable or Disable runs.
  void SetCheck(int row, bool check) { rows_.at(row).check = check; }
  const std::string& Notice() const { return notice_; }

  int Count() const override { return static_cast<int>(rows_.size()); }
  std::string Text(int row, Column column) const override;
  bool IsEnabled(int row) const override { return rows_.at(row).check; }
  bool IsExact(int row) const override { return rows_.at(row).row.exact; }
  bool IsWindowsOff(int row) const override { return rows_.at(row).row.windowsOff; }
  void SetWindowsOff(int row, bool off) override { rows_.at(row).row.windowsOff = off; }
  int SelectedRow() const override { return selected_; }
  // The console works out what it prints itself: no Status texts are asked for.
  bool ShowsStatusOnDemand() const override { return true; }
  void DeleteAll() override;
  void Append(const Row& row) override;
  void RestoreCheck(int row, bool enabled) override { rows_.at(row).check = enabled; }
  bool SelectAndShow(int row) override;
  void SetFilling(bool) override {}
  void SetNotice(const std::string& text) override { notice_ = text; }

 private:
  std::vector<Held> rows_;
  int selected_ = -1;
  std::string notice_;
};
