#include "ui/banner.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/dpi.h"
#include "ui/picture_fit.h"

namespace {
constexpr UINT_PTR kSubclassId = 0x42414E52;  // "BANR"
constexpr int kMaxCaption = 1024;
}  // namespace

Banner::Banner()
    : background_(CreateSolidBrush(RGB(118, 118, 118))),
      border_(CreatePen(PS_NULL, 1, RGB(0xEB, 0xEB, 0xEB))),
      font_(static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT))) {}

Banner::~Banner() {
  Detach();
}

bool Banner::Attach(HWND control) {
  if (window_ || !IsWindow(control)) return false;
  if (!SetWindowSubclass(control, &Banner::SubclassProc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = control;
  Repaint();
  return true;
}

void Banner::Detach() {
  if (!window_) return;
  RemoveWindowSubclass(window_, &Banner::SubclassProc, kSubclassId);
  Repaint();
  window_ = nullptr;
}

void Banner::SetPicture(HBITMAP picture) {
  picture_.Reset(picture);
  Repaint();
}

void Banner::SetPicture(HBITMAP picture, PictureMode mode) {
  mode_ = mode;
  SetPicture(picture);
}

void Banner::SetPictureMode(PictureMode mode) {
  mode_ = mode;
  Repaint();
}

void Banner::SetBackground(COLORREF color) {
  background_.Reset(CreateSolidBrush(color));
  Repaint();
}

void Banner::SetBorder(int penStyle, int width, COLORREF color) {
  border_.Reset(CreatePen(penStyle, width, color));
  borderStyle_ = penStyle;
  Repaint();
}

void Banner::SetTextColour(COLORREF color) {
  textColor_ = color;
  Repaint();
}

void Banner::SetMargins(int left, int top, int right, int bottom) {
  margins_ = {left, top, right, bottom};
  Repaint();
}

void Banner::SetTextFormat(UINT drawTextFlags) {
  textFormat_ = drawTextFlags;
  Repaint();
}

void Banner::SetFont(HFONT font) {
  font_ = font ? font : static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
  Repaint();
}

void Banner::SetText(std::string text) {
  text_ = std::move(text);
  Repaint();
}

void Banner::SetDragOwner(bool enable, HWND target) {
  dragOwner_ = enable;
  dragTarget_ = target;
}

void Banner::Repaint() const {
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK Banner::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
  auto* banner = reinterpret_cast<Banner*>(self);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &Banner::SubclassProc, kSubclassId);
    banner->window_ = nullptr;
    return DefSubclassProc(window, message, wParam, lParam);
  }
  return banner->Handle(message, wParam, lParam);
}

LRESULT Banner::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      // The paint covers the whole client area; erasing first would only flicker.
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(window_, &ps)) {
        Paint(dc);
        EndPaint(window_, &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCHITTEST:
      // A plain static is transparent to the mouse; a banner that drags its owner must see presses.
      if (dragOwner_ && dragTarget_) return HTCLIENT;
      break;
    case WM_LBUTTONDOWN:
      if (dragOwner_ && dragTarget_ && IsWindow(dragTarget_)) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window_, &pt);
        ReleaseCapture();
        SendMessageA(dragTarget_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return 0;
      }
      break;
    case WM_SETTEXT:
    case WM_ENABLE: {
      // The static paints its own text on these outside WM_PAINT; paint the banner over it.
      const LRESULT result = DefSubclassProc(window_, message, wParam, lParam);
      Repaint();
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(window_, message, wParam, lParam);
}

void Banner::Paint(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  const int saved = SaveDC(dc);

  SelectObject(dc, background_.Get() ? background_.Get() : GetStockObject(NULL_BRUSH));
  SelectObject(dc, border_.Get() ? border_.Get() : GetStockObject(NULL_PEN));
  // With the null pen Rectangle fills one pixel short on the right and bottom; widen it then.
  const int grow = borderStyle_ == PS_NULL ? 1 : 0;
  Rectangle(dc, client.left, client.top, client.right + grow, client.bottom + grow);

  if (picture_) {
    BITMAP info{};
    if (GetObjectA(picture_.Get(), sizeof(info), &info) && info.bmWidth > 0 && info.bmHeight > 0) {
      HDC memory = CreateCompatibleDC(dc);
      if (memory) {
        HGDIOBJ old = SelectObject(memory, picture_.Get());
        if (mode_ == kStretch || mode_ == kCover) {
          const SIZE target = {client.right - client.left, client.bottom - client.top};
          const RECT source = mode_ == kCover
                                  ? CoverSource(SIZE{info.bmWidth, info.bmHeight}, target)
                                  : RECT{0, 0, info.bmWidth, info.bmHeight};
          SetStretchBltMode(dc, HALFTONE);
          SetBrushOrgEx(dc, 0, 0, nullptr);
          StretchBlt(dc, 0, 0, target.cx, target.cy, memory, source.left, source.top,
                     source.right - source.left, source.bottom - source.top, SRCCOPY);
        } else {
          const int x = (client.right - client.left - info.bmWidth) / 2;
          const int y = (client.bottom - client.top - info.bmHeight) / 2;
          BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
      }
    }
  }

  if (text_.empty()) {
    std::vector<char> buffer(kMaxCaption + 1, '\0');
    const int length = GetWindowTextA(window_, buffer.data(), kMaxCaption + 1);
    if (length > 0) text_.assign(buffer.data(), static_cast<size_t>(std::min(length, kMaxCaption)));
  }
  if (!text_.empty()) {
    RECT textRect = {client.left + ScaleForWindow(window_, margins_.left),
                     client.top + ScaleForWindow(window_, margins_.top),
                     client.right - ScaleForWindow(window_, margins_.right),
                     client.bottom - ScaleForWindow(window_, margins_.bottom)};
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColor_);
    if (font_) SelectObject(dc, font_);
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect, textFormat_);
  }

  RestoreDC(dc, saved);
}
