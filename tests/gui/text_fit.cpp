#include "gui/text_fit.h"

#include <string>

#include "ui/dpi.h"

namespace gui {
namespace {

std::wstring TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
  }
  return result;
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t found[64] = {};
  GetClassNameW(window, found, 64);
  return lstrcmpiW(found, name) == 0;
}

// How one control lays out its text: the room it has and whether it wraps.
struct TextRoom {
  bool measured = false;
  RECT room{};
  UINT format = 0;
};

TextRoom StaticRoom(HWND control, LONG style) {
  TextRoom result;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
      // A vertically centred static draws one line; the others wrap at words.
      result.format = (style & SS_CENTERIMAGE) != 0 ? DT_SINGLELINE : DT_WORDBREAK;
      break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
      result.format = DT_SINGLELINE;
      break;
    default:
      return result;  // pictures, frames and lines carry no text to cut
  }
  if ((style & SS_NOPREFIX) != 0) result.format |= DT_NOPREFIX;
  GetClientRect(control, &result.room);
  result.measured = true;
  return result;
}

TextRoom ButtonRoom(HWND control, LONG style) {
  TextRoom result;
  GetClientRect(control, &result.room);
  const int edge = ScaleForWindow(control, 3);
  const LONG type = style & BS_TYPEMASK;
  switch (type) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      // The frame and the focus rectangle take their share on every side.
      InflateRect(&result.room, -edge, -edge);
      break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      result.room.left += GetSystemMetrics(SM_CXMENUCHECK) + edge;
      break;
    case BS_GROUPBOX:
      InflateRect(&result.room, -2 * edge, 0);
      break;
    default:
      return result;  // owner-drawn and others draw their own way
  }
  result.format = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
  result.measured = true;
  return result;
}

bool Fits(HWND control, const std::wstring& text, const TextRoom& room) {
  const int width = room.room.right - room.room.left;
  const int height = room.room.bottom - room.room.top;
  const HDC dc = GetDC(control);
  if (dc == nullptr) return true;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  const HGDIOBJ previous = SelectObject(dc, font);
  // Word-wrapped text is laid out at the control's width; a word longer than that widens the
  // result, which counts as cut as well.
  RECT needed{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            room.format | DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return needed.right - needed.left <= width && needed.bottom - needed.top <= height;
}

BOOL CALLBACK CheckControl(HWND control, LPARAM param) {
  auto& cut = *reinterpret_cast<std::vector<std::string>*>(param);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) return TRUE;
  TextRoom room;
  if (HasClass(control, L"Static")) {
    room = StaticRoom(control, style);
  } else if (HasClass(control, L"Button")) {
    room = ButtonRoom(control, style);
  }
  if (!room.measured) return TRUE;
  const std::wstring text = TextOf(control);
  if (text.empty() || Fits(control, text, room)) return TRUE;
  cut.push_back(std::to_string(GetDlgCtrlID(control)) + ": " + Utf8(text));
  return TRUE;
}

}  // namespace

std::vector<std::string> CutTexts(HWND window) {
  std::vector<std::string> cut;
  EnumChildWindows(window, &CheckControl, reinterpret_cast<LPARAM>(&cut));
  return cut;
}

}  // namespace gui
