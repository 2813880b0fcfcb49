#include "ui/file_info_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>
#include <vector>

#include "platform/win_handles.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/centre_window.h"
#include "ui/dialog_base.h"
#include "ui/file_info.h"
#include "ui/locale_format.h"
#include "ui/shell_opener.h"
#include "ui/translate.h"

namespace {

class FileInfoDialog final : public DialogBase {
 public:
  FileInfoDialog(const LanguageTable& language, std::string path)
      : language_(language), path_(std::move(path)) {}

 private:
  BOOL OnInitDialog() override {
    CentreOverOwner(Handle());
    const HWND list = Item(IDC_INFO_LIST);
    ListView_SetExtendedListViewStyle(list,
                                      LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    TranslateWindow(language_, Handle());

    info_ = GatherFileInfo(path_, language_);
    rows_ = FileInfoRows(info_, language_);
    // The user asked for this file: its signature is checked while the dialog opens.
    if (info_.exists) {
      for (auto& row :
           SignatureRows(CheckFileSignature(info_.resolvedPath), language_, UserLocale())) {
        rows_.push_back(std::move(row));
      }
    }
    ShowIcon();
    SetDlgItemTextA(Handle(), IDC_INFO_PATH, path_.c_str());
    if (!info_.exists) {
      EnableWindow(list, FALSE);
      EnableWindow(Item(IDC_SHOW_IN_FOLDER), FALSE);
    }
    AddColumns(list);
    AddRows(list);
    // The rows may have brought a vertical scroll bar; the columns then fit the narrower list.
    FitColumns(list);
    // OK has the focus, so the path is not shown selected.
    SetFocus(Item(IDOK));
    return FALSE;
  }

  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    switch (id) {
      case IDOK:
      case IDCANCEL:
        EndModal(id);
        return true;
      case IDC_WEB_SEARCH:
        OpenWithShell(Handle(), SearchUrl(path_));
        return true;
      case IDC_SHOW_IN_FOLDER:
        OpenWithShell(Handle(), "Explorer", ExplorerSelectParams(path_));
        return true;
      default:
        return false;
    }
  }

  void ShowIcon() {
    const std::string& source = info_.exists ? info_.resolvedPath : path_;
    HICON icon = nullptr;
    if (!source.empty()) {
      icon = ExtractIconA(GetModuleHandleA(nullptr), source.c_str(), 0);
      // 1 means "not a file with icons"; neither it nor null is an icon to destroy.
      if (reinterpret_cast<UINT_PTR>(icon) <= 1) {
        icon = nullptr;
      } else {
        extractedIcon_.Reset(icon);
      }
    }
    if (icon == nullptr) icon = LoadIconA(nullptr, IDI_ASTERISK);
    SendDlgItemMessageA(Handle(), IDC_INFO_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }

  static int ClientWidth(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    return client.right - client.left;
  }

  void AddColumns(HWND list) {
    const int width = ClientWidth(list);
    AddColumn(list, 0, language_.T("_AttributeName"), width / 3);
    AddColumn(list, 1, language_.T("_AttributeValue"), (width / 3) * 2);
  }

  static void FitColumns(HWND list) {
    const int width = ClientWidth(list);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width / 3, 0));
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM((width / 3) * 2, 0));
  }

  static void AddColumn(HWND list, int index, const std::string& title, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }

  void AddRows(HWND list) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const auto& [label, value] : rows_) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
      item.pszText = const_cast<char*>(label.c_str());
      const int row =
          static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
      if (row < 0) continue;
      item.iItem = row;
      item.iSubItem = 1;
      item.pszText = const_cast<char*>(value.c_str());
      SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  }

  const LanguageTable& language_;
  std::vector<std::pair<std::string, std::string>> rows_;
  const std::string path_;
  FileInfo info_;
  // Destroyed with the object, when the dialog that showed it is already gone.
  UniqueIcon extractedIcon_;
};

}  // namespace

void ShowFileInfoDialog(HWND owner, const LanguageTable& language, const std::string& path) {
  FileInfoDialog dialog(language, path);
  dialog.RunModal(GetModuleHandleA(nullptr), IDD_FILE_INFO, owner);
}
