// The entry view form (dialog 130): banner, command buttons and the list of one location view's
// entries with a check box per row. It is the row list and the prompter its entry kind works
// with, and it turns buttons, menu commands, double clicks and check-box clicks into the kind's
// operations.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/entry_kind.h"
#include "core/prompter.h"
#include "core/row_list.h"
#include "ui/command_states.h"
#include "ui/dialog_base.h"
#include "ui/program_signature.h"

class LanguageTable;
class Banner;
class CellTips;
class ViewFormLayout;
class SignatureWorker;

class EntryView final : public DialogBase, public RowList, public Prompter {
 public:
  // Shows the file information dialog for a program path (About file).
  using FileInfoOpener = std::function<void(HWND owner, const std::string& path)>;

  EntryView(EntryKind& kind, const LanguageTable& language);
  ~EntryView() override;

  // Creates the form hidden as a child of parent; the first Refresh runs during creation.
  HWND Create(HINSTANCE instance, HWND parent);

  EntryKind& Kind() { return kind_; }
  HWND List() const { return list_; }
  bool Filling() const { return filling_; }
  void SetFileInfoOpener(FileInfoOpener opener) { fileInfoOpener_ = std::move(opener); }
  // Leaves the list empty at creation: a hidden view is filled when it is first shown, which
  // refreshes it anyway, so start-up does not read every location and the store once per view.
  void DeferFirstFill() { deferFirstFill_ = true; }
  // What checks the rows' program files (the system check unless a test sets another); set
  // before Create. An empty checker means no checks and no Publisher column.
  void SetSignatureChecker(SignatureChecker checker) { checker_ = std::move(checker); }
  // Hides the rows whose program is verified as signed by Windows (a view filter only: the kind
  // sees and changes only the rows shown), and shows them again when off.
  void SetHideWindowsEntries(bool hide);
  bool HidesWindowsEntries() const { return hideWindows_; }
  int HiddenCount() const { return static_cast<int>(hidden_.size()); }
  // Checks finished for this view's rows since its last Refresh started them.
  int ChecksDone() const { return checksDone_; }
  // The Publisher cell of a row as it stands.
  std::string PublisherCell(int row) const;

  // The "_Operation" popup of menu 201, translated and grayed for the present selection; the
  // caller destroys the returned menu (the whole loaded menu; the popup is its second item).
  HMENU BuildContextMenu() const;
  // The selection the entry commands are offered for (buttons, menus).
  SelectionState Selection() const;
  // The column the rows are sorted by (-1: the order the kind lists them in) and its direction.
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }
  // As a click on the column's header: sorts by it, or reverses the order when it is the sort
  // column already.
  void SortBy(int column);
  const CellTips* Tips() const { return tips_.get(); }
  // The smallest client size at which the form shows every button whole; zero before creation.
  SIZE MinimumClientSize() const;

  // RowList
  int Count() const override;
  std::string Text(int row, Column column) const override;
  bool IsEnabled(int row) const override;
  bool IsExact(int row) const override;
  bool IsWindowsOff(int row) const override;
  void SetWindowsOff(int row, bool off) override;
  int SelectedRow() const override;
  void DeleteAll() override;
  void Append(const Row& row) override;
  void RestoreCheck(int row, bool enabled) override;
  // Shown as the banner's text.
  void SetNotice(const std::string& text) override;
  bool ShowsStatusOnDemand() const override { return true; }
  bool SelectAndShow(int row) override;
  void SetFilling(bool filling) override { filling_ = filling; }
  void BeginUpdate() override;
  void EndUpdate() override;

  // Prompter
  std::optional<EntryInput> Add(const std::string& type, const std::string& location) override;
  std::optional<EntryInput> Modify(const EntryFields& fields) override;
  void Property(const EntryFields& fields) override;
  bool ConfirmRemove(const std::string& name, const std::string& data) override;
  void NoSelection() override;
  bool ConfirmReplace(const std::string& key, const std::string& name) override;
  void Refused(const std::string& key, const std::string& arg, Status reason) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool OnSize(UINT type, int width, int height) override;
  // Takes the worker's results and stops it when the window goes.
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetUpColumns();
  void OnItemChanged(const NMLISTVIEW& change);
  void SetCheckCommand(bool enable);
  void AboutFile();
  void JumpTo();
  void ShowContextMenu();
  // Grays the buttons that would only say "select an entry first".
  void UpdateCommandButtons();
  void SortRows();
  void ShowSortMark();
  int StateImage(int row) const;
  // What a row keeps beside its texts; the list item's data is its index in extras_, so it
  // stays with the row when the list is sorted.
  struct RowExtra {
    bool exact = true;
    bool windowsOff = false;
    std::uint64_t windowsOffSince = 0;
  };
  std::optional<std::size_t> ExtraIndex(int row) const;  // nullopt: no such row
  // The Status column of a row as it stands, from the kind.
  std::string StatusText(int row);
  void SetStateImage(int row, int image);
  // Inserts a row's list item at index; false when the list refuses it.
  // The texts of a row's first four columns; the Status and Publisher columns are asked for.
  using RowTexts = std::array<std::string, 4>;
  bool InsertItem(int index, RowTexts texts, std::size_t extra, int stateImage);
  // Asks for the checks of every row's program (shown or hidden); StartChecks hands them to the
  // worker once the new rows are painted.
  void RequestChecks();
  void StartChecks();
  void TakeCheck(std::unique_ptr<ProgramSignature> checked);
  // Moves rows between the list and hidden_ as the filter and the results say; waits while an
  // operation of the kind runs, since the kind holds row indices until it returns.
  void ApplyFilter();
  bool Hides(const std::string& command) const;
  // Runs one of the kind's operations; a filter change that came meanwhile is made after it.
  template <typename Operation>
  void RunOperation(Operation operation);
  int ShowMessage(const std::string& text, UINT style) const;

  EntryKind& kind_;
  const LanguageTable& language_;
  HINSTANCE instance_ = nullptr;
  HWND list_ = nullptr;
  bool filling_ = false;
  bool deferFirstFill_ = false;
  std::unique_ptr<Banner> banner_;
  std::unique_ptr<ViewFormLayout> layout_;
  std::unique_ptr<CellTips> tips_;
  FileInfoOpener fileInfoOpener_;
  std::vector<RowExtra> extras_;
  std::string shownStatus_;  // the last Status text handed to the list
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  // A row the filter took out of the list: its texts, its state image and its extras_ index,
  // which also gives its place among the kind's rows.
  struct HiddenRow {
    RowTexts texts;
    int stateImage = 0;
    std::size_t extra = 0;
  };
  std::vector<HiddenRow> hidden_;
  bool hideWindows_ = false;
  int operationDepth_ = 0;
  bool filterPending_ = false;
  SignatureChecker checker_;
  std::unique_ptr<SignatureWorker> worker_;
  std::map<std::string, ProgramSignature> checks_;  // by command line
  int checksDone_ = 0;
  bool repaintPending_ = false;         // results taken since the list was repainted
  mutable std::string shownPublisher_;  // the last Publisher text handed to the list
};
