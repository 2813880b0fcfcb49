// The rows of an entry view as the entry kinds see them. The entry view implements this over
// its list control; tests implement it in memory.
#pragma once

#include <cstdint>
#include <string>

enum Column {
  kColName = 0,
  kColType = 1,
  kColData = 2,
  kColLocation = 3,
  kColStatus = 4,
  kColPublisher = 5
};
constexpr int kColumnCount = 6;

struct Row {
  std::string name;      // column 0
  std::string type;      // column 1
  std::string data;      // column 2
  std::string location;  // column 3
  // Live entry (true) or stored record (false); the check mark is set for a live entry that
  // Windows has not switched off.
  bool enabled = true;
  // False when the live entry's texts are substitutes for characters the 8-bit text cannot
  // carry: the row is shown, but no operation may change the entry through it.
  bool exact = true;
  // A live entry (enabled) that Windows has switched off (Task Manager, Settings): it is shown
  // unchecked all the same, and checking it switches it on again.
  bool windowsOff = false;
  std::uint64_t windowsOffSince = 0;  // FILETIME ticks of the switch-off; 0 when unknown
  std::string status{};               // column 4, filled in by Refresh
};

// The text of a row's column as the list shows it.
inline const std::string& ColumnText(const Row& row, Column column) {
  switch (column) {
    case kColName:
      return row.name;
    case kColType:
      return row.type;
    case kColData:
      return row.data;
    case kColLocation:
      return row.location;
    case kColPublisher: {
      // Only the window's list has it, worked out from each program's signature check.
      static const std::string kNone;
      return kNone;
    }
    case kColStatus:
    default:
      return row.status;
  }
}

class RowList {
 public:
  virtual ~RowList() = default;

  virtual int Count() const = 0;
  virtual std::string Text(int row, Column column) const = 0;  // whole, however long
  virtual bool IsEnabled(int row) const = 0;                   // state image other than 1
  // Row::exact as appended. A list that does not keep it lets no operation change its rows.
  virtual bool IsExact(int /*row*/) const { return false; }
  virtual int SelectedRow() const = 0;  // first selected, or -1
  // Row::windowsOff as appended or last set.
  virtual bool IsWindowsOff(int /*row*/) const { return false; }
  virtual void SetWindowsOff(int /*row*/, bool /*off*/) {}
  // True when the list asks the kind for a row's Status text when it shows the row
  // (EntryKind::StatusOf) rather than taking Row::status as appended.
  virtual bool ShowsStatusOnDemand() const { return false; }

  virtual void DeleteAll() = 0;
  virtual void Append(const Row& row) = 0;
  // Puts a row's check mark back (after an operation was refused) without running Enable or
  // Disable.
  virtual void RestoreCheck(int row, bool enabled) = 0;
  // Selects and focuses a row and scrolls it into view. False when the row does not exist.
  virtual bool SelectAndShow(int row) = 0;

  // The filling flag: while set, check-mark changes are not taken as Enable or Disable.
  virtual void SetFilling(bool filling) = 0;
  // A notice about the whole list shown with it (not as a row), such as a store file that
  // cannot be read; empty clears it.
  virtual void SetNotice(const std::string& /*text*/) {}
  // Refill with redraw off; called around Refresh.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};
