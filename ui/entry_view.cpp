#include "ui/entry_view.h"

#include <commctrl.h>

#include <set>
#include <vector>

#include "core/program_lookup.h"
#include "core/signature_text.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "ui/banner.h"
#include "ui/cell_tips.h"
#include "ui/dpi.h"
#include "ui/edit_dialogs.h"
#include "ui/entry_texts.h"
#include "ui/file_info_dialog.h"
#include "ui/jump_to.h"
#include "ui/list_sort.h"
#include "ui/signature_worker.h"
#include "ui/translate.h"
#include "ui/view_form_layout.h"

namespace {

constexpr int kStateDisabled = 1;
constexpr int kStateEnabled = 2;
// The state-image bits of a change between the cleared and the set check box.
constexpr UINT kCheckSwitch =
    INDEXTOSTATEIMAGEMASK(kStateDisabled) | INDEXTOSTATEIMAGEMASK(kStateEnabled);
constexpr UINT kStateImageBits = 0xF000;
constexpr COLORREF kBannerFill = RGB(118, 118, 118);
constexpr int kBannerMargin = 3;

const char* const kColumnKeys[kColumnCount] = {"_Name",    "_Type",   "_Data",
                                               "_RegPath", "_Status", "_Publisher"};
// Every kind gives the Publisher column the same width, in pixels at 96 DPI.
constexpr int kPublisherWidth = 220;
// A finished signature check posted by the view's worker; lParam is its ProgramSignature.
constexpr UINT kSignatureChecked = WM_APP + 40;
// Timers come after paints: the checks start once the new rows are painted, and results repaint
// the list at most this often instead of once each.
constexpr UINT_PTR kStartChecksTimer = 40;
constexpr UINT_PTR kRepaintTimer = 41;
constexpr UINT kRepaintMs = 100;

// The buttons of the form that stand for entry commands.
constexpr int kCommandButtons[] = {IDC_ADDNEW,  IDC_REMOVE,  IDC_MODIFY,   IDC_ENABLE,
                                   IDC_DISABLE, IDC_REFRESH, IDC_PROPERTY, IDC_ABOUTFILE};

// LVM_SORTITEMS order: item data are row indices into ranks, each row's place in the order.
int CALLBACK CompareByRank(LPARAM first, LPARAM second, LPARAM ranks) {
  const auto& rank = *reinterpret_cast<const std::vector<int>*>(ranks);
  return rank[static_cast<std::size_t>(first)] - rank[static_cast<std::size_t>(second)];
}

}  // namespace

EntryView::EntryView(EntryKind& kind, const LanguageTable& language)
    : kind_(kind), language_(language) {
  fileInfoOpener_ = [this](HWND owner, const std::string& path) {
    ShowFileInfoDialog(owner, language_, path);
  };
  checker_ = CheckFileSignature;
}

EntryView::~EntryView() {
  // The worker first: nothing is posted after it is joined, so what is queued can be freed.
  worker_.reset();
  if (Handle()) SignatureWorker::DiscardPosted(Handle(), kSignatureChecked);
}

HWND EntryView::Create(HINSTANCE instance, HWND parent) {
  instance_ = instance;
  return CreateModeless(instance, IDD_VIEW_FORM, parent);
}

BOOL EntryView::OnInitDialog() {
  list_ = Item(IDC_LIST);
  SetUpColumns();
  TranslateWindow(language_, Handle());

  // After the translation: the buttons are made as wide as their texts.
  layout_ = std::make_unique<ViewFormLayout>();
  layout_->Install(Handle());

  banner_ = std::make_unique<Banner>();
  banner_->Attach(Item(IDC_BANNER));
  banner_->SetPicture(LoadBitmapA(instance_, MAKEINTRESOURCEA(IDB_BANNER)), Banner::kCover);
  banner_->SetBackground(kBannerFill);
  banner_->SetBorder(PS_NULL, 1, RGB(0xEB, 0xEB, 0xEB));
  banner_->SetTextColour(RGB(255, 255, 255));
  // At 96 DPI: the banner scales its margins itself.
  banner_->SetMargins(kBannerMargin, kBannerMargin, kBannerMargin, kBannerMargin);
  banner_->SetTextFormat(DT_WORDBREAK | DT_NOPREFIX);
  banner_->SetText("");

  tips_ = std::make_unique<CellTips>();
  tips_->Attach(list_);

  if (!deferFirstFill_) kind_.Refresh(*this);
  UpdateCommandButtons();
  // The form takes no focus when it is made: the main window makes it when its node is first
  // selected, and the focus stays where the user has it.
  return FALSE;
}

void EntryView::SetUpColumns() {
  const auto widths = kind_.ColumnWidths();
  // Without a checker the view has no Publisher column.
  const int columns = checker_ ? kColumnCount : kColPublisher;
  for (int column = 0; column < columns; ++column) {
    std::string title = language_.T(kColumnKeys[column]);
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = ScaleForWindow(
        Handle(), column < static_cast<int>(widths.size()) ? widths[column] : kPublisherWidth);
    col.pszText = title.data();
    col.iSubItem = column;
    SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
  }
  // A zero mask sets exactly these styles: nothing else stays on.
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  // Tips for cut-off cells come from CellTips, for every column.
}

template <typename Operation>
void EntryView::RunOperation(Operation operation) {
  ++operationDepth_;
  operation();
  if (--operationDepth_ == 0 && filterPending_) ApplyFilter();
}

bool EntryView::OnCommand(int id, int code, HWND control) {
  // Dialogs and messages of an operation run a message loop while the kind holds row indices:
  // the filter waits until it returns.
  if (operationDepth_ == 0) {
    bool handled = false;
    RunOperation([&] { handled = OnCommand(id, code, control); });
    return handled;
  }
  switch (id) {
    case IDC_REMOVE:
      kind_.Remove(*this, *this);
      return true;
    case IDC_REFRESH:
      kind_.Refresh(*this);
      return true;
    case IDC_ADDNEW:
      kind_.Add(*this, *this);
      return true;
    case IDC_MODIFY:
      kind_.Modify(*this, *this);
      return true;
    case IDC_PROPERTY:
      kind_.Property(*this, *this);
      return true;
    case IDC_ABOUTFILE:
      AboutFile();
      return true;
    case IDC_ENABLE:
      SetCheckCommand(true);
      return true;
    case IDC_DISABLE:
      SetCheckCommand(false);
      return true;
    case IDC_JUMPTO:
      JumpTo();
      return true;
    default:
      return false;
  }
}

bool EntryView::OnNotify(NMHDR* header, LRESULT* /*result*/) {
  if (header->idFrom != IDC_LIST) return false;
  switch (header->code) {
    case NM_DBLCLK:
      // The selected row, not necessarily the one under the pointer; nothing without one.
      if (SelectedRow() >= 0) AboutFile();
      return true;
    case NM_RCLICK:
      ShowContextMenu();
      return true;
    case LVN_ITEMCHANGED:
      OnItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
      if (!filling_) UpdateCommandButtons();
      return true;
    case LVN_COLUMNCLICK:
      SortBy(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      return true;
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
      if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
      if (item.iSubItem == kColStatus) {
        shownStatus_ = StatusText(item.iItem);
        lstrcpynA(item.pszText, shownStatus_.c_str(), item.cchTextMax);
      } else if (item.iSubItem == kColPublisher) {
        shownPublisher_ = PublisherCell(item.iItem);
        lstrcpynA(item.pszText, shownPublisher_.c_str(), item.cchTextMax);
      }
      return true;
    }
    default:
      return false;
  }
}

bool EntryView::OnSize(UINT type, int width, int height) {
  if (type == SIZE_MINIMIZED || !layout_) return false;
  layout_->Apply(width, height);
  return true;
}

SIZE EntryView::MinimumClientSize() const {
  return layout_ ? layout_->MinimumClientSize() : SIZE{0, 0};
}

// A switch between the cleared and the set check box runs Disable or Enable for that row;
// selection and focus changes, and everything a Refresh does, are ignored.
void EntryView::OnItemChanged(const NMLISTVIEW& change) {
  if (filling_ || change.iItem < 0) return;
  if (((change.uOldState | change.uNewState) & LVIS_STATEIMAGEMASK) != kCheckSwitch) return;
  RunOperation([&] {
    if (StateImage(change.iItem) == kStateDisabled) {
      kind_.Disable(*this, *this, change.iItem);
    } else {
      kind_.Enable(*this, *this, change.iItem);
    }
  });
}

void EntryView::SetCheckCommand(bool enable) {
  const int row = SelectedRow();
  if (row < 0) {
    NoSelection();
    return;
  }
  const bool isDisabled = StateImage(row) == kStateDisabled;
  // The state change raises LVN_ITEMCHANGED, which runs the kind's operation.
  if (enable && isDisabled) SetStateImage(row, kStateEnabled);
  if (!enable && !isDisabled) SetStateImage(row, kStateDisabled);
}

void EntryView::AboutFile() {
  const int row = SelectedRow();
  if (row < 0) {
    NoSelection();
    return;
  }
  // Expanded whatever the value's type: the file is only looked at, nothing is stored, and a
  // %windir%\... path names its file either way.
  const std::string path = ProgramFileOf(Text(row, kColData), SystemProgramLookup(), Expand::kYes);
  if (fileInfoOpener_) fileInfoOpener_(GetActiveWindow(), path);
}

void EntryView::JumpTo() {
  if (const std::optional<EntryPlace> place = kind_.SelectedPlace(*this, *this)) {
    OpenEntryPlace(Handle(), *place);
  }
}

HMENU EntryView::BuildContextMenu() const {
  HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  if (!menu) return nullptr;
  HMENU popup = GetSubMenu(menu, 1);
  TranslateMenu(language_, popup);
  ApplyToMenu(popup, Selection());
  return menu;
}

SelectionState EntryView::Selection() const {
  const int row = SelectedRow();
  return {row >= 0, row >= 0 && StateImage(row) == kStateDisabled};
}

void EntryView::UpdateCommandButtons() {
  const SelectionState selection = Selection();
  for (const int id : kCommandButtons) {
    const HWND button = Item(id);
    if (!button) continue;
    const bool available = CommandAvailable(id, selection);
    // A button that loses its use hands the keyboard focus to the list.
    if (!available && GetFocus() == button) SetFocus(list_);
    EnableWindow(button, available ? TRUE : FALSE);
  }
}

void EntryView::SortBy(int column) {
  if (column < 0 || column >= kColumnCount) return;
  sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
  sortColumn_ = column;
  SortRows();
  ShowSortMark();
  const int row = SelectedRow();
  if (row >= 0) SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

void EntryView::SortRows() {
  if (sortColumn_ < 0) return;
  const int count = Count();
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int row = 0; row < count; ++row) {
    texts.push_back(sortColumn_ == kColStatus      ? StatusText(row)
                    : sortColumn_ == kColPublisher ? PublisherCell(row)
                                                   : Text(row, static_cast<Column>(sortColumn_)));
  }
  const std::vector<int> order = SortedRowOrder(texts, sortAscending_);
  // Each row's item data is its index in extras_; its rank is its place in the order.
  std::vector<int> ranks(extras_.size(), 0);
  for (int place = 0; place < count; ++place) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = order[static_cast<std::size_t>(place)];
    if (SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
        static_cast<std::size_t>(item.lParam) < ranks.size()) {
      ranks[static_cast<std::size_t>(item.lParam)] = place;
    }
  }
  SendMessageA(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&ranks),
               reinterpret_cast<LPARAM>(&CompareByRank));
}

void EntryView::ShowSortMark() {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  if (!header) return;
  const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < columns; ++column) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == sortColumn_) item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
  }
}

void EntryView::ShowContextMenu() {
  HMENU menu = BuildContextMenu();
  if (!menu) return;
  POINT at{};
  GetCursorPos(&at);
  // The chosen item arrives as WM_COMMAND and runs through OnCommand.
  TrackPopupMenu(GetSubMenu(menu, 1), TPM_LEFTBUTTON, at.x, at.y, 0, Handle(), nullptr);
  DestroyMenu(menu);
}

// ---- RowList over the list control

int EntryView::Count() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string EntryView::Text(int row, Column column) const {
  // Doubled until the whole text fits, however long.
  std::vector<char> buffer(256);
  for (;;) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<size_t>(
        SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

int EntryView::StateImage(int row) const {
  const auto state = SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
  return static_cast<int>((state & kStateImageBits) >> 12);
}

void EntryView::SetStateImage(int row, int image) {
  LVITEMA item{};
  item.stateMask = kStateImageBits;
  item.state = INDEXTOSTATEIMAGEMASK(image);
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool EntryView::IsEnabled(int row) const {
  return StateImage(row) != kStateDisabled;
}

std::optional<std::size_t> EntryView::ExtraIndex(int row) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (row < 0 || !SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
    return std::nullopt;
  }
  const auto index = static_cast<std::size_t>(item.lParam);
  if (index >= extras_.size()) return std::nullopt;
  return index;
}

bool EntryView::IsExact(int row) const {
  const std::optional<std::size_t> index = ExtraIndex(row);
  return index && extras_[*index].exact;
}

bool EntryView::IsWindowsOff(int row) const {
  const std::optional<std::size_t> index = ExtraIndex(row);
  return index && extras_[*index].windowsOff;
}

void EntryView::SetWindowsOff(int row, bool off) {
  const std::optional<std::size_t> index = ExtraIndex(row);
  if (!index) return;
  extras_[*index].windowsOff = off;
  SendMessageA(list_, LVM_REDRAWITEMS, row, row);  // its Status text changes with it
}

int EntryView::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

void EntryView::DeleteAll() {
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  extras_.clear();
  hidden_.clear();
}

void EntryView::Append(const Row& row) {
  RowTexts texts{row.name, row.type, row.data, row.location};
  // A live entry that Windows has switched off does not start: it is shown unchecked.
  const int image = row.enabled && !row.windowsOff ? kStateEnabled : kStateDisabled;
  const std::size_t extra = extras_.size();
  if (Hides(row.data)) {
    extras_.push_back({row.exact, row.windowsOff, row.windowsOffSince});
    hidden_.push_back({std::move(texts), image, extra});
    return;
  }
  if (InsertItem(Count(), std::move(texts), extra, image)) {
    extras_.push_back({row.exact, row.windowsOff, row.windowsOffSince});
  }
}

bool EntryView::InsertItem(int index, RowTexts texts, std::size_t extra, int stateImage) {
  // The Status and Publisher columns are asked for when a row is shown (StatusText,
  // PublisherCell), so a Refresh of thousands of rows looks up only the rows on screen.
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = texts[0].data();
  item.lParam = static_cast<LPARAM>(extra);
  const int at =
      static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (at < 0) return false;
  for (int column = 1; column < kColumnCount; ++column) {
    LVITEMA sub{};
    sub.iSubItem = column;
    sub.pszText = column < 4 ? texts[column].data() : LPSTR_TEXTCALLBACKA;
    SendMessageA(list_, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
  }
  SetStateImage(at, stateImage);
  return true;
}

std::string EntryView::PublisherCell(int row) const {
  const auto it = checks_.find(Text(row, kColData));
  if (it == checks_.end()) return PublisherText(nullptr, {}, language_);
  return PublisherText(&it->second.signature, it->second.company, language_);
}

bool EntryView::Hides(const std::string& command) const {
  if (!hideWindows_) return false;
  const auto it = checks_.find(command);
  return it != checks_.end() && IsWindowsOwn(it->second.signature);
}

void EntryView::SetHideWindowsEntries(bool hide) {
  if (hide == hideWindows_) return;
  hideWindows_ = hide;
  if (list_) ApplyFilter();
}

void EntryView::RequestChecks() {
  if (!Handle() || !checker_) return;
  checksDone_ = 0;
  SetTimer(Handle(), kStartChecksTimer, USER_TIMER_MINIMUM, nullptr);
}

void EntryView::StartChecks() {
  KillTimer(Handle(), kStartChecksTimer);
  std::vector<std::string> commands;
  std::set<std::string> asked;
  auto ask = [&](std::string command) {
    if (asked.insert(command).second) commands.push_back(std::move(command));
  };
  for (int row = 0; row < Count(); ++row) ask(Text(row, kColData));
  for (const HiddenRow& row : hidden_) ask(row.texts[kColData]);
  if (!worker_) worker_ = std::make_unique<SignatureWorker>(Handle(), kSignatureChecked, checker_);
  worker_->Request(std::move(commands));
}

void EntryView::TakeCheck(std::unique_ptr<ProgramSignature> checked) {
  if (!checked) return;
  ++checksDone_;
  const bool filterMatters =
      hideWindows_ && (IsWindowsOwn(checked->signature) || Hides(checked->command));
  std::string command = checked->command;
  checks_.insert_or_assign(std::move(command), std::move(*checked));
  if (filterMatters) ApplyFilter();
  if (!repaintPending_) {
    repaintPending_ = true;
    SetTimer(Handle(), kRepaintTimer, kRepaintMs, nullptr);
  }
}

void EntryView::ApplyFilter() {
  if (operationDepth_ > 0 || filling_) {
    filterPending_ = true;
    return;
  }
  filterPending_ = false;
  filling_ = true;  // the check marks the moves set are no Enable or Disable
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  for (int row = Count() - 1; row >= 0; --row) {
    if (!Hides(Text(row, kColData))) continue;
    const std::optional<std::size_t> extra = ExtraIndex(row);
    if (!extra) continue;
    HiddenRow hidden;
    for (int column = 0; column < 4; ++column) {
      hidden.texts[column] = Text(row, static_cast<Column>(column));
    }
    hidden.stateImage = StateImage(row);
    hidden.extra = *extra;
    hidden_.push_back(std::move(hidden));
    SendMessageA(list_, LVM_DELETEITEM, row, 0);
  }
  bool shownAgain = false;
  for (auto it = hidden_.begin(); it != hidden_.end();) {
    if (Hides(it->texts[kColData])) {
      ++it;
      continue;
    }
    // Back in the kind's order: before the first row that was appended after it.
    int at = Count();
    for (int row = 0; row < Count(); ++row) {
      const std::optional<std::size_t> extra = ExtraIndex(row);
      if (extra && *extra > it->extra) {
        at = row;
        break;
      }
    }
    InsertItem(at, std::move(it->texts), it->extra, it->stateImage);
    it = hidden_.erase(it);
    shownAgain = true;
  }
  if (shownAgain) SortRows();
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  filling_ = false;
  UpdateCommandButtons();
}

INT_PTR EntryView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSignatureChecked:
      TakeCheck(SignatureWorker::Take(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kStartChecksTimer) {
        StartChecks();
      } else if (wParam == kRepaintTimer) {
        KillTimer(Handle(), kRepaintTimer);
        repaintPending_ = false;
        InvalidateRect(list_, nullptr, FALSE);
      } else {
        return FALSE;
      }
      return TRUE;
    case WM_DESTROY:
      worker_.reset();
      SignatureWorker::DiscardPosted(Handle(), kSignatureChecked);
      return FALSE;
    default:
      return FALSE;
  }
}

std::string EntryView::StatusText(int row) {
  Row shown;
  shown.data = Text(row, kColData);
  shown.enabled = IsEnabled(row);
  if (const std::optional<std::size_t> index = ExtraIndex(row)) {
    shown.windowsOff = extras_[*index].windowsOff;
    shown.windowsOffSince = extras_[*index].windowsOffSince;
  }
  return kind_.StatusOf(shown);
}

void EntryView::SetNotice(const std::string& text) {
  if (banner_) banner_->SetText(text);
}

void EntryView::RestoreCheck(int row, bool enabled) {
  const bool wasFilling = filling_;
  filling_ = true;
  SetStateImage(row, enabled ? kStateEnabled : kStateDisabled);
  filling_ = wasFilling;
}

bool EntryView::SelectAndShow(int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item))) return false;
  SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
  return true;
}

void EntryView::BeginUpdate() {
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

void EntryView::EndUpdate() {
  // A refilled list keeps the order the user chose.
  SortRows();
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  UpdateCommandButtons();
  RequestChecks();
}

// ---- Prompter through the real dialogs and message boxes

std::optional<EntryInput> EntryView::Add(const std::string& type, const std::string& location) {
  return ShowAddDialog(GetActiveWindow(), language_, type, location);
}

std::optional<EntryInput> EntryView::Modify(const EntryFields& fields) {
  return ShowModifyDialog(GetActiveWindow(), language_, fields);
}

void EntryView::Property(const EntryFields& fields) {
  ShowPropertyDialog(GetActiveWindow(), language_, fields);
}

int EntryView::ShowMessage(const std::string& text, UINT style) const {
  return MessageBoxA(Handle(), CutForMessage(text, kMessageTextLimit).c_str(),
                     language_.T("_ToolQuorvane").c_str(), style);
}

bool EntryView::ConfirmRemove(const std::string& name, const std::string& data) {
  const std::string text =
      RemoveQuestion(language_.T("_AreyousureDeleteThisEntry", true), name, data);
  return ShowMessage(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void EntryView::NoSelection() {
  ShowMessage(language_.T("_YouMustSelectAnItem"), MB_OK | MB_ICONINFORMATION);
}

bool EntryView::ConfirmReplace(const std::string& key, const std::string& name) {
  const std::string text =
      SafeFormat(language_.T(key, true), {CutForMessage(name, kMessageNameLimit)});
  return ShowMessage(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void EntryView::Refused(const std::string& key, const std::string& arg, Status reason) {
  const std::string text =
      SafeFormat(language_.T(key, true), {CutForMessage(arg, kMessageDataLimit)});
  ShowMessage(WithSystemReason(text, reason), MB_OK | MB_ICONWARNING);
}
