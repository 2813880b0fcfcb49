#include "ui/view_form_layout.h"

#include <algorithm>
#include <string>

#include "res/resource.h"

namespace {

// Dialog units of the form's font, so every length scales with the font and the DPI.
constexpr int kButtonGapDlu = 2;
constexpr int kRowGapDlu = 2;
constexpr int kSeparatorGapDlu = 2;
constexpr int kTextPaddingDlu = 12;  // both sides together: the button's frame and focus ring
constexpr int kMinimumListDlu = 48;  // the header and a few rows

int HorizontalDlu(HWND form, int dlu) {
  RECT r = {0, 0, dlu, 0};
  MapDialogRect(form, &r);
  return r.right;
}

int VerticalDlu(HWND form, int dlu) {
  RECT r = {0, 0, 0, dlu};
  MapDialogRect(form, &r);
  return r.bottom;
}

RECT RectInForm(HWND form, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool IsButton(HWND control) {
  char name[16] = {};
  GetClassNameA(control, name, sizeof(name));
  return lstrcmpiA(name, "Button") == 0;
}

bool IsEtchedLine(HWND control) {
  char name[16] = {};
  GetClassNameA(control, name, sizeof(name));
  return lstrcmpiA(name, "Static") == 0 &&
         (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDVERT;
}

// The width the button's text takes in its own font, access-key marks handled as it draws them.
int TextWidth(HWND button) {
  char text[256] = {};
  const int length = GetWindowTextA(button, text, sizeof(text));
  HDC dc = GetDC(button);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)));
  RECT r = {0, 0, 0, 0};
  DrawTextA(dc, text, length, &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(button, dc);
  return r.right - r.left;
}

}  // namespace

bool ViewFormLayout::Install(HWND form) {
  if (!IsWindow(form)) return false;
  form_ = form;
  banner_ = GetDlgItem(form, IDC_BANNER);
  list_ = GetDlgItem(form, IDC_LIST);
  flowWindows_.clear();
  items_.clear();
  lineHeights_.clear();
  RECT client{};
  GetClientRect(form, &client);

  const int padding = HorizontalDlu(form, kTextPaddingDlu);
  int firstTop = -1;
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = RectInForm(form, child);
    if (IsButton(child)) {
      const int width = std::max<int>(rect.right - rect.left, TextWidth(child) + padding);
      items_.push_back(FlowItem{width, false});
      lineHeights_.push_back(rect.bottom - rect.top);
      if (firstTop < 0) {
        firstTop = rect.top;
        metrics_.rowHeight = rect.bottom - rect.top;
      }
    } else if (IsEtchedLine(child)) {
      items_.push_back(FlowItem{0, true});
      lineHeights_.push_back(rect.bottom - rect.top);
      metrics_.separatorWidth = std::max<int>(1, rect.right - rect.left);
    } else {
      continue;
    }
    flowWindows_.push_back(child);
  }

  const RECT banner = banner_ ? RectInForm(form, banner_) : RECT{};
  const RECT list = list_ ? RectInForm(form, list_) : RECT{};
  metrics_.left = banner.left;
  rightMargin_ = client.right - banner.right;
  bannerTop_ = banner.top;
  bannerHeight_ = banner.bottom - banner.top;
  metrics_.top = firstTop >= 0 ? firstTop : banner.bottom;
  metrics_.rowGap = VerticalDlu(form, kRowGapDlu);
  metrics_.buttonGap = HorizontalDlu(form, kButtonGapDlu);
  metrics_.separatorGap = HorizontalDlu(form, kSeparatorGapDlu);
  listGap_ = list.top - (metrics_.top + metrics_.rowHeight);
  bottomMargin_ = client.bottom - list.bottom;
  minimumListHeight_ = VerticalDlu(form, kMinimumListDlu);
  Apply(client.right, client.bottom);
  return true;
}

FlowMetrics ViewFormLayout::MetricsFor(int clientWidth) const {
  FlowMetrics metrics = metrics_;
  metrics.right = clientWidth - rightMargin_;
  return metrics;
}

SIZE ViewFormLayout::MinimumClientSize() const {
  if (!form_) return SIZE{0, 0};
  const int rowWidth = MinimumFlowWidth(items_, metrics_, kMaxRows);
  const int width = metrics_.left + rowWidth + rightMargin_;
  const Flow flow = FlowButtons(items_, MetricsFor(width));
  return SIZE{width, flow.bottom + listGap_ + minimumListHeight_ + bottomMargin_};
}

void ViewFormLayout::Apply(int clientWidth, int clientHeight) {
  if (!form_ || !IsWindow(form_)) return;
  const Flow flow = FlowButtons(items_, MetricsFor(clientWidth));
  const int innerWidth = std::max(0, clientWidth - metrics_.left - rightMargin_);
  SendMessageA(form_, WM_SETREDRAW, FALSE, 0);
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (banner_) {
    SetWindowPos(banner_, nullptr, metrics_.left, bannerTop_, innerWidth, bannerHeight_, kFlags);
  }
  for (std::size_t i = 0; i < flowWindows_.size(); ++i) {
    const FlowBox& box = flow.boxes[i];
    // An etched line sits in the middle of its row.
    const int y = box.y + (metrics_.rowHeight - lineHeights_[i]) / 2;
    SetWindowPos(flowWindows_[i], nullptr, box.x, y, box.width, lineHeights_[i],
                 kFlags | (box.shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  if (list_) {
    const int top = flow.bottom + listGap_;
    SetWindowPos(list_, nullptr, metrics_.left, top, innerWidth,
                 std::max(0, clientHeight - bottomMargin_ - top), kFlags);
  }
  SendMessageA(form_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(form_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
