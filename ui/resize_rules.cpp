#include "ui/resize_rules.h"

#include <algorithm>

#include "res/resource.h"

std::vector<ResizeRule> ResizeRules::ViewForm() {
  return {{IDC_LIST, true, true}, {IDC_BANNER, true, false}};
}

bool ResizeRules::Install(HWND form, const std::vector<ResizeRule>& rules) {
  if (!IsWindow(form)) return false;
  form_ = form;
  controls_.clear();
  RECT client;
  GetClientRect(form, &client);
  start_ = {client.right - client.left, client.bottom - client.top};
  for (const ResizeRule& rule : rules) {
    HWND control = GetDlgItem(form, rule.controlId);
    if (!control) continue;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    controls_.push_back({control, rect, rule.followWidth, rule.followHeight});
  }
  const LONG_PTR style = GetWindowLongPtrA(form, GWL_STYLE);
  if (!(style & WS_CHILD)) SetWindowLongPtrA(form, GWL_STYLE, style | WS_CHILD);
  return true;
}

void ResizeRules::OnSize(WPARAM sizeType, LPARAM size) {
  if (sizeType == SIZE_MINIMIZED) return;
  Apply(LOWORD(size), HIWORD(size));
}

void ResizeRules::Apply(int clientWidth, int clientHeight) {
  if (!form_ || !IsWindow(form_)) return;
  const int dx = clientWidth - start_.cx;
  const int dy = clientHeight - start_.cy;
  SendMessageA(form_, WM_SETREDRAW, FALSE, 0);
  for (const Anchored& item : controls_) {
    RECT rect = item.start;
    if (item.followWidth) rect.right += dx;
    if (item.followHeight) rect.bottom += dy;
    SetWindowPos(item.control, nullptr, rect.left, rect.top,
                 std::max(0, static_cast<int>(rect.right - rect.left)),
                 std::max(0, static_cast<int>(rect.bottom - rect.top)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageA(form_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(form_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
