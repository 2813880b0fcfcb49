#include "ui/cell_tips.h"

#include <commctrl.h>

#include <new>
#include <vector>

#include "ui/dpi.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x7154;
constexpr UINT_PTR kToolId = 1;
// The list draws a cell's text this far inside the cell on each side (at 96 DPI).
constexpr int kCellTextMargin = 6;
// A tip wider than this wraps; a longer text is cut, so a tip never covers the screen.
constexpr int kTipMaxWidth = 640;
constexpr std::size_t kTipMaxChars = 1024;

std::string ItemText(HWND list, int item, int subItem) {
  std::vector<char> buffer(256);
  for (;;) {
    LVITEMA cell{};
    cell.iSubItem = subItem;
    cell.pszText = buffer.data();
    cell.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(
        SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
    if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

CellTips::~CellTips() {
  if (list_ && IsWindow(list_)) RemoveWindowSubclass(list_, SubclassProc, kSubclassId);
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
}

bool CellTips::Attach(HWND list) {
  if (!IsWindow(list)) return false;
  list_ = list;
  tip_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr, nullptr, nullptr);
  if (tip_) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = list_;
    tool.uId = kToolId;
    tool.lpszText = const_cast<char*>("");
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, ScaleForWindow(list_, kTipMaxWidth));
  }
  return SetWindowSubclass(list_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) !=
         FALSE;
}

LRESULT CALLBACK CellTips::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
  auto* tips = reinterpret_cast<CellTips*>(self);
  switch (message) {
    case WM_MOUSEMOVE: {
      LVHITTESTINFO hit{};
      hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      SendMessageA(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.iItem != tips->item_ || hit.iSubItem != tips->subItem_) {
        tips->Hide();
        tips->item_ = hit.iItem;
        tips->subItem_ = hit.iSubItem;
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, window, HOVER_DEFAULT};
        TrackMouseEvent(&track);
      }
      break;
    }
    case WM_MOUSEHOVER:
      // No exception may leave a system callback; without memory there is no tip.
      try {
        tips->OnHover({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      } catch (const std::bad_alloc&) {
      }
      break;
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_KEYDOWN:
      tips->Hide();
      tips->item_ = tips->subItem_ = -1;
      break;
    case WM_NCDESTROY:
      tips->Hide();
      RemoveWindowSubclass(window, SubclassProc, kSubclassId);
      tips->list_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

std::string CellTips::CutText(int item, int subItem, RECT* cell) const {
  RECT rect{};
  rect.top = subItem;
  rect.left = LVIR_LABEL;
  if (!SendMessageA(list_, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&rect))) return {};
  std::string text = ItemText(list_, item, subItem);
  if (text.empty()) return {};
  const int width = static_cast<int>(
      SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  const int margin = ScaleForWindow(list_, kCellTextMargin);
  if (width + 2 * margin <= rect.right - rect.left) return {};
  *cell = rect;
  if (text.size() > kTipMaxChars) text = text.substr(0, kTipMaxChars) + "...";
  return text;
}

void CellTips::OnHover(POINT at) {
  if (!tip_ || !list_) return;
  LVHITTESTINFO hit{};
  hit.pt = at;
  SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.iItem < 0 || hit.iSubItem < 0) return;
  RECT cell{};
  std::string text = CutText(hit.iItem, hit.iSubItem, &cell);
  if (text.empty()) return;
  shown_ = std::move(text);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = list_;
  tool.uId = kToolId;
  tool.lpszText = shown_.data();
  SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tip_, WM_SETFONT, SendMessageA(list_, WM_GETFONT, 0, 0), FALSE);
  // The tip's text lands where the cell's text is drawn.
  cell.left += ScaleForWindow(list_, kCellTextMargin);
  MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&cell), 2);
  SendMessageA(tip_, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&cell));
  SendMessageA(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(cell.left, cell.top));
  SendMessageA(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  item_ = hit.iItem;
  subItem_ = hit.iSubItem;
}

void CellTips::Hide() {
  if (shown_.empty() || !tip_) return;
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = list_;
  tool.uId = kToolId;
  SendMessageA(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  shown_.clear();
}
