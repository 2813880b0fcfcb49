#include "ui/splitter.h"

#include <windowsx.h>

#include <algorithm>

Splitter::~Splitter() {
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool Splitter::RegisterClassOnce(HINSTANCE instance) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(instance, kClassName, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Splitter::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kClassName;
  return RegisterClassExA(&wc) != 0;
}

bool Splitter::Create(HINSTANCE instance, HWND parent, const RECT& rect, DWORD style, DWORD exStyle,
                      UINT id) {
  if (!instance) instance = GetModuleHandleA(nullptr);
  if (window_ || !RegisterClassOnce(instance)) return false;
  // No WS_CLIPCHILDREN: the ghost bar is drawn over the panes.
  window_ =
      CreateWindowExA(exStyle, kClassName, "", (style | WS_CHILD) & ~WS_CLIPCHILDREN, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, this);
  if (!window_) return false;
  BOOL full = TRUE;
  if (SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0)) fullDrag_ = full != FALSE;
  UpdateMetrics();
  return true;
}

void Splitter::UpdateMetrics() {
  barWidth_ = std::max(1, GetSystemMetrics(SM_CXFRAME));
  const bool clientEdge = (GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
  barEdge_ = clientEdge ? 2 * GetSystemMetrics(SM_CXEDGE) : 0;
  minimumPane_ = clientEdge ? 0 : 2 * GetSystemMetrics(SM_CXEDGE);
}

void Splitter::SetExtendedStyle(DWORD flags) {
  extendedStyle_ = flags & (kProportional | kRightAligned);
  if (position_ >= 0) Store(position_);
}

void Splitter::SetPanes(HWND left, HWND right, bool update) {
  panes_[0] = left;
  panes_[1] = right;
  for (HWND pane : panes_) {
    if (pane && GetParent(pane) != window_) SetParent(pane, window_);
  }
  if (update) Layout();
}

int Splitter::ClientWidth() const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  return client.right - client.left;
}

void Splitter::SetMinimumPanes(int left, int right) {
  minimumLeft_ = left;
  minimumRight_ = right;
  if (position_ >= 0 && ClientWidth() > 0) {
    position_ = Clamp(requested_ >= 0 ? requested_ : position_);
    Layout();
  }
}

int Splitter::Clamp(int position) const {
  const int width = ClientWidth();
  const int leftMinimum = minimumLeft_ >= 0 ? minimumLeft_ : minimumPane_;
  const int rightMinimum = minimumRight_ >= 0 ? minimumRight_ : minimumPane_;
  if (position == -1) position = (width - barEdge_ - barWidth_) / 2;
  if (position < leftMinimum + barEdge_) position = leftMinimum;
  const int limit = width - barWidth_ - barEdge_ - rightMinimum;
  if (position > limit) position = limit;
  // A splitter narrower than its bar still keeps the bar on screen.
  return std::max(0, position);
}

void Splitter::Store(int position) {
  position_ = position;
  const int usable = ClientWidth() - barWidth_ - barEdge_;
  if (usable > 0) proportional_ = MulDiv(position, 10000, usable);
  fromRight_ = ClientWidth() - position;
}

void Splitter::SetPosition(int position, bool update) {
  if (!window_) return;
  if (ClientWidth() <= 0) {
    // Not sized yet: clamping against a zero width would lose the request.
    pending_ = true;
    pendingPosition_ = position;
    return;
  }
  pending_ = false;
  Store(Clamp(position));
  // What was asked is kept, so a splitter too narrow for it now puts the bar there once it grows.
  requested_ = position >= 0 ? position : position_;
  if (update) Layout();
}

RECT Splitter::BarRect() const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  const int left = std::max(0, position_);
  return RECT{left, client.top, left + barWidth_ + barEdge_, client.bottom};
}

void Splitter::Layout() {
  if (!window_ || position_ < 0) return;
  RECT client;
  GetClientRect(window_, &client);
  const int height = client.bottom - client.top;
  const int rightStart = position_ + barWidth_ + barEdge_;
  HDWP batch = BeginDeferWindowPos(2);
  if (panes_[0] && batch) {
    batch = DeferWindowPos(batch, panes_[0], nullptr, 0, 0, position_, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (panes_[1] && batch) {
    batch = DeferWindowPos(batch, panes_[1], nullptr, rightStart, 0,
                           std::max(0, static_cast<int>(client.right) - rightStart), height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (batch) EndDeferWindowPos(batch);
  InvalidateRect(window_, nullptr, TRUE);
}

void Splitter::OnSize() {
  if (pending_) {
    SetPosition(pendingPosition_, true);
    return;
  }
  if (position_ < 0) return;
  const int width = ClientWidth();
  int wanted = requested_ >= 0 ? requested_ : position_;
  if (extendedStyle_ & kProportional) {
    wanted = MulDiv(proportional_, width - barWidth_ - barEdge_, 10000);
  } else if (extendedStyle_ & kRightAligned) {
    wanted = width - fromRight_;
  }
  // The kept values stay as stored: shrinking and growing back returns the bar where it was.
  position_ = Clamp(wanted);
  Layout();
}

bool Splitter::OnBar(int x) const {
  const RECT bar = BarRect();
  return position_ >= 0 && x >= bar.left && x < bar.right;
}

void Splitter::DrawGhost(int position) {
  HDC dc = GetDCEx(window_, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  RECT client;
  GetClientRect(window_, &client);
  // A 50% checker brush, XOR-ed in: drawing it twice at the same place removes it.
  WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
  HBRUSH brush = bits ? CreatePatternBrush(bits) : nullptr;
  if (brush) {
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, position, 0, barWidth_ + barEdge_, client.bottom - client.top, PATINVERT);
    SelectObject(dc, old);
    DeleteObject(brush);
  }
  if (bits) DeleteObject(bits);
  ReleaseDC(window_, dc);
}

LRESULT CALLBACK Splitter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<Splitter*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<Splitter*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT Splitter::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize();
      return 0;
    case WM_STYLECHANGED:
    case WM_SETTINGCHANGE:
      UpdateMetrics();
      break;
    case WM_ERASEBKGND:
      return 1;  // the panes cover the rest; the bar is drawn in WM_PAINT
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(window_, &ps)) {
        const RECT bar = BarRect();
        FillRect(dc, &bar, GetSysColorBrush(COLOR_3DFACE));
        if (barEdge_ > 0) {
          RECT edge = bar;
          DrawEdge(dc, &edge, EDGE_RAISED, BF_LEFT | BF_RIGHT);
        }
        EndPaint(window_, &ps);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(window_, &pt);
        if (OnBar(pt.x) || dragging_) {
          SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: {
      const int x = GET_X_LPARAM(lParam);
      if (!OnBar(x)) return 0;
      dragging_ = true;
      grabOffset_ = x - position_;
      SetCapture(window_);
      SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
      if (!fullDrag_) {
        ghost_ = position_;
        DrawGhost(ghost_);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!dragging_ || !(wParam & MK_LBUTTON)) return 0;
      const int wanted = Clamp(GET_X_LPARAM(lParam) - grabOffset_);
      if (fullDrag_) {
        if (wanted != position_) {
          Store(wanted);
          requested_ = wanted;
          Layout();
          UpdateWindow(window_);
        }
      } else if (wanted != ghost_) {
        DrawGhost(ghost_);
        ghost_ = wanted;
        DrawGhost(ghost_);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (dragging_) {
        const int ghost = ghost_;
        ReleaseCapture();  // WM_CAPTURECHANGED ends the drag and removes the ghost
        if (!fullDrag_ && ghost >= 0) SetPosition(ghost, true);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (dragging_) {
        if (!fullDrag_ && ghost_ >= 0) DrawGhost(ghost_);
        dragging_ = false;
        ghost_ = -1;
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (OnBar(GET_X_LPARAM(lParam))) SetPosition(-1, true);
      return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
      // The panes' notifications belong to the window that owns the splitter.
      if (HWND parent = GetParent(window_)) return SendMessageA(parent, message, wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}
