// The viewer is a dialog from an in-memory template; its list and button are created at
// WM_INITDIALOG, so the component needs no resources.
#include "journal/viewer.h"

#include <commctrl.h>

#include <string_view>

#include "journal/module.h"
#include "journal/record_format.h"
#include "journal/wide_text.h"

namespace {

constexpr int kListId = 100;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

struct Column {
  const wchar_t* title;
  int width;
};
constexpr Column kColumns[kRecordFieldCount] = {{L"Time", 130},    {L"Log type", 90},
                                                {L"Category", 90}, {L"Item type", 90},
                                                {L"Source", 90},   {L"Content", 420}};

// A record's line breaks and tabs would garble a list cell; show them as spaces.
std::wstring CellText(std::string_view field) {
  std::wstring text = WideFromUtf8(field);
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  }
  return text;
}

void AppendString(std::vector<WORD>* words, std::wstring_view text) {
  for (const wchar_t c : text) words->push_back(static_cast<WORD>(c));
  words->push_back(0);
}

// DLGTEMPLATE with no items: style, extended style, item count, position and size in dialog
// units, no menu, the default class, the title and the font.
std::vector<WORD> ViewerTemplate() {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
                      DS_MODALFRAME | DS_SETFONT | DS_CENTER;
  std::vector<WORD> words = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 480, 260, 0, 0};
  AppendString(&words, L"Operation journal");
  words.push_back(9);
  AppendString(&words, L"Segoe UI");
  return words;
}

void Layout(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int listHeight = height - 3 * kMargin - kButtonHeight;
  MoveWindow(GetDlgItem(dialog, kListId), kMargin, kMargin, width - 2 * kMargin,
             listHeight > 0 ? listHeight : 0, TRUE);
  MoveWindow(GetDlgItem(dialog, IDCANCEL), width - kMargin - kButtonWidth,
             height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight, TRUE);
}

void FillList(HWND list, const std::vector<std::vector<std::string>>& rows) {
  for (size_t c = 0; c < kRecordFieldCount; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[c].title);
    column.cx = kColumns[c].width;
    column.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < kRecordFieldCount && c < rows[r].size(); ++c) {
      std::wstring text = CellText(rows[r][c]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      if (c == 0) {
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      } else {
        SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
      }
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void BuildViewer(HWND dialog, const std::vector<std::vector<std::string>>& rows) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  const HWND list = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
  const HWND close = CreateWindowExW(
      0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
      dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  FillList(list, rows);
  Layout(dialog);
  SetFocus(list);
}

INT_PTR CALLBACK ViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG:
        BuildViewer(dialog,
                    *reinterpret_cast<const std::vector<std::vector<std::string>>*>(lParam));
        return FALSE;  // focus is already on the list
      case WM_SIZE:
        Layout(dialog);
        return TRUE;
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {320, 200};
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        break;
    }
  } catch (...) {
    // A viewer that cannot be built is closed rather than left half-made.
    EndDialog(dialog, -1);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

HRESULT RunViewer(HWND owner, const std::vector<std::vector<std::string>>& rows) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  const std::vector<WORD> words = ViewerTemplate();
  const INT_PTR result =
      DialogBoxIndirectParamW(ComponentModule(), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                              owner, ViewerProc, reinterpret_cast<LPARAM>(&rows));
  if (result == -1) {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  return S_OK;
}
