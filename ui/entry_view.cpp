#include "ui/entry_view.h"

#include <commctrl.h>

#include <vector>

#include "core/program_lookup.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "ui/banner.h"
#include "ui/dpi.h"
#include "ui/edit_dialogs.h"
#include "ui/entry_texts.h"
#include "ui/file_info_dialog.h"
#include "ui/resize_rules.h"
#include "ui/translate.h"

namespace {

constexpr int kStateDisabled = 1;
constexpr int kStateEnabled = 2;
// The state-image bits of a change between the cleared and the set check box.
constexpr UINT kCheckSwitch =
    INDEXTOSTATEIMAGEMASK(kStateDisabled) | INDEXTOSTATEIMAGEMASK(kStateEnabled);
constexpr UINT kStateImageBits = 0xF000;
// Item data, bit flags: the row's entry cannot be addressed exactly (not Row::exact), and
// Windows has it switched off (Row::windowsOff).
constexpr LPARAM kInexactRow = 1;
constexpr LPARAM kWindowsOffRow = 2;
constexpr COLORREF kBannerFill = RGB(118, 118, 118);
constexpr int kBannerMargin = 3;

const char* const kColumnKeys[5] = {"_Name", "_Type", "_Data", "_RegPath", "_Status"};

}  // namespace

EntryView::EntryView(EntryKind& kind, const LanguageTable& language)
    : kind_(kind), language_(language) {
  fileInfoOpener_ = [this](HWND owner, const std::string& path) {
    ShowFileInfoDialog(owner, language_, path);
  };
}

EntryView::~EntryView() = default;

HWND EntryView::Create(HINSTANCE instance, HWND parent) {
  instance_ = instance;
  return CreateModeless(instance, IDD_VIEW_FORM, parent);
}

BOOL EntryView::OnInitDialog() {
  list_ = Item(IDC_LIST);
  SetUpColumns();
  TranslateWindow(language_, Handle());

  resize_ = std::make_unique<ResizeRules>();
  resize_->Install(Handle(), ResizeRules::ViewForm());

  banner_ = std::make_unique<Banner>();
  banner_->Attach(Item(IDC_BANNER));
  banner_->SetPicture(LoadBitmapA(instance_, MAKEINTRESOURCEA(IDB_BANNER)), Banner::kStretch);
  banner_->SetBackground(kBannerFill);
  banner_->SetBorder(PS_NULL, 1, RGB(0xEB, 0xEB, 0xEB));
  banner_->SetTextColour(RGB(255, 255, 255));
  // At 96 DPI: the banner scales its margins itself.
  banner_->SetMargins(kBannerMargin, kBannerMargin, kBannerMargin, kBannerMargin);
  banner_->SetTextFormat(DT_WORDBREAK | DT_NOPREFIX);
  banner_->SetText("");

  if (!deferFirstFill_) kind_.Refresh(*this);
  // The form takes no focus when it is made: the main window makes it when its node is first
  // selected, and the focus stays where the user has it.
  return FALSE;
}

void EntryView::SetUpColumns() {
  const auto widths = kind_.ColumnWidths();
  for (int column = 0; column < 5; ++column) {
    std::string title = language_.T(kColumnKeys[column]);
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = ScaleForWindow(Handle(), widths[column]);
    col.pszText = title.data();
    col.iSubItem = column;
    SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
  }
  // A zero mask sets exactly these styles: nothing else stays on.
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

bool EntryView::OnCommand(int id, int /*code*/, HWND /*control*/) {
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
      return true;
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
      if (item.iSubItem == kColStatus && (item.mask & LVIF_TEXT) && item.pszText &&
          item.cchTextMax > 0) {
        shownStatus_ = StatusText(item.iItem);
        lstrcpynA(item.pszText, shownStatus_.c_str(), item.cchTextMax);
      }
      return true;
    }
    default:
      return false;
  }
}

bool EntryView::OnSize(UINT type, int width, int height) {
  if (type == SIZE_MINIMIZED || !resize_) return false;
  resize_->Apply(width, height);
  return true;
}

// A switch between the cleared and the set check box runs Disable or Enable for that row;
// selection and focus changes, and everything a Refresh does, are ignored.
void EntryView::OnItemChanged(const NMLISTVIEW& change) {
  if (filling_ || change.iItem < 0) return;
  if (((change.uOldState | change.uNewState) & LVIS_STATEIMAGEMASK) != kCheckSwitch) return;
  if (StateImage(change.iItem) == kStateDisabled) {
    kind_.Disable(*this, *this, change.iItem);
  } else {
    kind_.Enable(*this, *this, change.iItem);
  }
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

HMENU EntryView::BuildContextMenu() const {
  HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  if (!menu) return nullptr;
  HMENU popup = GetSubMenu(menu, 1);
  TranslateMenu(language_, popup);

  const int row = SelectedRow();
  auto gray = [popup](UINT id, bool grayed) {
    EnableMenuItem(popup, id, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED));
  };
  if (row < 0) {
    for (UINT id : {IDC_REMOVE, IDC_MODIFY, IDC_PROPERTY, IDC_ABOUTFILE, IDC_ENABLE, IDC_DISABLE}) {
      gray(id, true);
    }
  } else {
    const bool isDisabled = StateImage(row) == kStateDisabled;
    gray(IDC_DISABLE, isDisabled);
    gray(IDC_ENABLE, !isDisabled);
  }
  return menu;
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

std::optional<LPARAM> EntryView::RowFlags(int row) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
  return item.lParam;
}

bool EntryView::IsExact(int row) const {
  const std::optional<LPARAM> flags = RowFlags(row);
  return flags && (*flags & kInexactRow) == 0;
}

bool EntryView::IsWindowsOff(int row) const {
  const std::optional<LPARAM> flags = RowFlags(row);
  return flags && (*flags & kWindowsOffRow) != 0;
}

void EntryView::SetWindowsOff(int row, bool off) {
  const std::optional<LPARAM> flags = RowFlags(row);
  if (!flags) return;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = off ? (*flags | kWindowsOffRow) : (*flags & ~kWindowsOffRow);
  SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_REDRAWITEMS, row, row);  // its Status text changes with it
}

int EntryView::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

void EntryView::DeleteAll() {
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  offSince_.clear();
}

void EntryView::Append(const Row& row) {
  // The Status column is asked for when a row is shown (StatusText), so a Refresh of thousands
  // of rows looks up only the program files on screen.
  std::string texts[5] = {row.name, row.type, row.data, row.location, {}};
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = Count();
  item.pszText = texts[0].data();
  item.lParam = (row.exact ? 0 : kInexactRow) | (row.windowsOff ? kWindowsOffRow : 0);
  const int index =
      static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  for (int column = 1; column < 5; ++column) {
    LVITEMA sub{};
    sub.iSubItem = column;
    sub.pszText = column == kColStatus ? LPSTR_TEXTCALLBACKA : texts[column].data();
    SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
  }
  offSince_.resize(static_cast<std::size_t>(index) + 1);
  offSince_[static_cast<std::size_t>(index)] = row.windowsOffSince;
  // A live entry that Windows has switched off does not start: it is shown unchecked.
  SetStateImage(index, row.enabled && !row.windowsOff ? kStateEnabled : kStateDisabled);
}

std::string EntryView::StatusText(int row) {
  Row shown;
  shown.data = Text(row, kColData);
  shown.enabled = IsEnabled(row);
  shown.windowsOff = IsWindowsOff(row);
  if (row >= 0 && static_cast<std::size_t>(row) < offSince_.size()) {
    shown.windowsOffSince = offSince_[static_cast<std::size_t>(row)];
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
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
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
