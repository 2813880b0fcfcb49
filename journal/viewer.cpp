// The viewer is a dialog from an in-memory template; its list and button are created at
// WM_INITDIALOG, so the component needs no resources.
#include "journal/viewer.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "journal/module.h"
#include "journal/record_format.h"
#include "journal/viewer_texts.h"
#include "journal/wide_text.h"

namespace {

constexpr int kListId = 100;
// Sizes in dialog units, so they follow the font and the DPI.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
// Every column but the last; Content takes what is left of the list's width, at least this.
constexpr int kFixedColumnWidths[kRecordFieldCount - 1] = {80, 55, 60, 50, 55};
constexpr int kMinContentWidth = 150;

// What WM_INITDIALOG needs to build the viewer.
struct ViewerContent {
  const std::vector<std::vector<std::string>>* rows;
  const ViewerTexts* texts;
};

int HorizontalUnits(HWND dialog, int units) {
  RECT rect{0, 0, units, 0};
  MapDialogRect(dialog, &rect);
  return rect.right;
}

int VerticalUnits(HWND dialog, int units) {
  RECT rect{0, 0, 0, units};
  MapDialogRect(dialog, &rect);
  return rect.bottom;
}

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
std::vector<WORD> ViewerTemplate(std::wstring_view title) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
                      DS_MODALFRAME | DS_SETFONT | DS_CENTER;
  std::vector<WORD> words = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 480, 260, 0, 0};
  AppendString(&words, title);
  words.push_back(9);
  AppendString(&words, L"Segoe UI");
  return words;
}

// Content gets the list's width that the other columns leave, so it grows with the window.
void FitContentColumn(HWND dialog, HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  int rest = client.right - client.left;
  for (size_t c = 0; c + 1 < kRecordFieldCount; ++c) {
    rest -= static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
  }
  const int width = std::max(rest, HorizontalUnits(dialog, kMinContentWidth));
  SendMessageW(list, LVM_SETCOLUMNWIDTH, kRecordFieldCount - 1, MAKELPARAM(width, 0));
}

// The list fills the window above the button row; Close keeps to the bottom right corner.
void Layout(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int marginX = HorizontalUnits(dialog, kMargin);
  const int marginY = VerticalUnits(dialog, kMargin);
  const int buttonWidth = HorizontalUnits(dialog, kButtonWidth);
  const int buttonHeight = VerticalUnits(dialog, kButtonHeight);
  const int listHeight = height - 3 * marginY - buttonHeight;
  const HWND list = GetDlgItem(dialog, kListId);
  MoveWindow(list, marginX, marginY, std::max(width - 2 * marginX, 0), std::max(listHeight, 0),
             TRUE);
  MoveWindow(GetDlgItem(dialog, IDCANCEL), width - marginX - buttonWidth,
             height - marginY - buttonHeight, buttonWidth, buttonHeight, TRUE);
  FitContentColumn(dialog, list);
}

void FillList(HWND dialog, HWND list, const ViewerContent& content) {
  const std::vector<std::vector<std::string>>& rows = *content.rows;
  for (size_t c = 0; c < kRecordFieldCount; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(content.texts->columns[c].c_str());
    column.cx = HorizontalUnits(
        dialog, c + 1 < kRecordFieldCount ? kFixedColumnWidths[c] : kMinContentWidth);
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

void BuildViewer(HWND dialog, const ViewerContent& content) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  const HWND list = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
  const HWND close =
      CreateWindowExW(0, L"BUTTON", content.texts->close.c_str(),
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, dialog,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  FillList(dialog, list, content);
  Layout(dialog);
  SetFocus(list);
}

INT_PTR CALLBACK ViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG:
        BuildViewer(dialog, *reinterpret_cast<const ViewerContent*>(lParam));
        return FALSE;  // focus is already on the list
      case WM_SIZE:
        Layout(dialog);
        return TRUE;
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {HorizontalUnits(dialog, 200), VerticalUnits(dialog, 120)};
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
  const ViewerTexts texts = LoadViewerTexts(HostLanguageFile());
  const ViewerContent content{&rows, &texts};
  const std::vector<WORD> words = ViewerTemplate(texts.title);
  const INT_PTR result =
      DialogBoxIndirectParamW(ComponentModule(), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                              owner, ViewerProc, reinterpret_cast<LPARAM>(&content));
  if (result == -1) {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  return S_OK;
}
