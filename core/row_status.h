// The Status column: what a row's check box alone does not say, joined by "; " — that the entry
// is kept in the store, that Windows has switched it off (and since when), that its program file
// is missing.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "core/row_list.h"

class LanguageTable;

// The status texts.
struct StatusTexts {
  std::string kept;               // T("_StatusKept")
  std::string windowsOff;         // T("_StatusWindowsOff"), %s = the local date
  std::string windowsOffUndated;  // T("_StatusWindowsOffUndated"), when no date is known
  std::string fileMissing;        // T("_StatusFileMissing")
  static StatusTexts From(const LanguageTable& language);
};

// The row's status text. windowsOffDate is the local date of Windows' switch-off, when there is
// one; programMissing whether the row's program file was looked up and not found.
std::string RowStatus(const Row& row, const StatusTexts& texts, const std::string& windowsOffDate,
                      bool programMissing);

// Whether the program of a command line is missing, looked up once per command line until
// Clear (a Refresh).
class MissingPrograms {
 public:
  explicit MissingPrograms(std::function<bool(const std::string&)> lookUp)
      : lookUp_(std::move(lookUp)) {}
  bool Missing(const std::string& commandLine);
  void Clear() { known_.clear(); }

 private:
  std::function<bool(const std::string&)> lookUp_;
  std::map<std::string, bool> known_;
};

// Passes the rows a kind appends during a Refresh on to the real list with their Status column
// filled in, unless the list asks for it on demand (for the rows it shows).
class StatusFiller final : public RowList {
 public:
  StatusFiller(RowList& target, std::function<std::string(const Row&)> status)
      : target_(target), status_(std::move(status)) {}

  void Append(const Row& row) override;

  int Count() const override { return target_.Count(); }
  std::string Text(int row, Column column) const override { return target_.Text(row, column); }
  bool IsEnabled(int row) const override { return target_.IsEnabled(row); }
  bool IsExact(int row) const override { return target_.IsExact(row); }
  bool IsWindowsOff(int row) const override { return target_.IsWindowsOff(row); }
  void SetWindowsOff(int row, bool off) override { target_.SetWindowsOff(row, off); }
  int SelectedRow() const override { return target_.SelectedRow(); }
  void DeleteAll() override { target_.DeleteAll(); }
  void RestoreCheck(int row, bool enabled) override { target_.RestoreCheck(row, enabled); }
  bool SelectAndShow(int row) override { return target_.SelectAndShow(row); }
  void SetFilling(bool filling) override { target_.SetFilling(filling); }
  void SetNotice(const std::string& text) override { target_.SetNotice(text); }
  bool ShowsStatusOnDemand() const override { return target_.ShowsStatusOnDemand(); }

 private:
  RowList& target_;
  std::function<std::string(const Row&)> status_;
};
