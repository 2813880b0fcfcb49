#include "ui/dialog_layout.h"

RECT AnchoredRect(const RECT& start, unsigned anchor, int dx, int dy) {
  RECT rect = start;
  if ((anchor & kAnchorLeft) != 0) rect.left += dx;
  if ((anchor & kAnchorRight) != 0) rect.right += dx;
  if ((anchor & kAnchorTop) != 0) rect.top += dy;
  if ((anchor & kAnchorBottom) != 0) rect.bottom += dy;
  // Never inside out, whatever size the dialog is given.
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  return rect;
}

void DialogLayout::Install(HWND dialog, const std::vector<AnchoredControl>& controls) {
  dialog_ = dialog;
  placed_.clear();
  RECT client{};
  GetClientRect(dialog, &client);
  startClient_ = {client.right, client.bottom};
  RECT window{};
  GetWindowRect(dialog, &window);
  minimum_ = {window.right - window.left, window.bottom - window.top};
  for (const AnchoredControl& item : controls) {
    const HWND control = GetDlgItem(dialog, item.id);
    if (control == nullptr) continue;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    placed_.push_back({control, rect, item.anchor});
  }
}

void DialogLayout::OnSize(UINT type, int clientWidth, int clientHeight) {
  if (dialog_ == nullptr || type == SIZE_MINIMIZED) return;
  const int dx = clientWidth - startClient_.cx;
  const int dy = clientHeight - startClient_.cy;
  HDWP batch = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const Placed& item : placed_) {
    const RECT rect = AnchoredRect(item.start, item.anchor, dx, dy);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (batch != nullptr) {
      batch = DeferWindowPos(batch, item.control, nullptr, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, flags);
    } else {
      SetWindowPos(item.control, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, flags);
    }
  }
  if (batch != nullptr) EndDeferWindowPos(batch);
  // Lines and group frames leave traces where they were.
  InvalidateRect(dialog_, nullptr, TRUE);
}

void DialogLayout::OnMinMaxInfo(MINMAXINFO* info) const {
  if (dialog_ == nullptr || info == nullptr) return;
  info->ptMinTrackSize.x = minimum_.cx;
  info->ptMinTrackSize.y = minimum_.cy;
}
