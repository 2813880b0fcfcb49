// The header strip of a location view: a static control that paints a background, an optional
// picture and a caption itself, and can drag its owner window.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win_handles.h"

class Banner {
 public:
  // 0: the picture at its own size, centred; 1: stretched over the whole control (halftone);
  // 2: scaled to cover the whole control with its aspect kept, the excess cut (see CoverSource).
  enum PictureMode { kCentre = 0, kStretch = 1, kCover = 2 };

  Banner();
  ~Banner();
  Banner(const Banner&) = delete;
  Banner& operator=(const Banner&) = delete;

  // Subclasses the static control; it paints itself from then on. False when the control is no
  // window or is already attached to something.
  bool Attach(HWND control);
  // Gives the control its own painting back. Done by the destructor and when the control dies.
  void Detach();
  HWND Handle() const { return window_; }

  // Takes ownership of the bitmap (may be null) and releases the one held before.
  void SetPicture(HBITMAP picture);
  void SetPicture(HBITMAP picture, PictureMode mode);
  HBITMAP Picture() const { return static_cast<HBITMAP>(picture_.Get()); }
  void SetPictureMode(PictureMode mode);

  void SetBackground(COLORREF color);
  // PS_NULL draws no outline.
  void SetBorder(int penStyle, int width, COLORREF color);
  void SetTextColour(COLORREF color);
  // Insets of the caption from the client rectangle, in pixels at 96 DPI.
  void SetMargins(int left, int top, int right, int bottom);
  void SetTextFormat(UINT drawTextFlags);
  // The caller keeps the font alive while the banner uses it; null means the stock ANSI font.
  void SetFont(HFONT font);
  // An empty caption is filled from the control's window text at the next paint, once.
  void SetText(std::string text);
  const std::string& Text() const { return text_; }
  // With enable and a target, a left-button press on the banner moves the target window.
  void SetDragOwner(bool enable, HWND target);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  void Repaint() const;

  HWND window_ = nullptr;
  UniqueGdiObject background_;
  UniqueGdiObject border_;
  int borderStyle_ = PS_NULL;
  UniqueGdiObject picture_;
  PictureMode mode_ = kCentre;
  COLORREF textColor_ = RGB(255, 255, 255);
  RECT margins_ = {3, 3, 3, 3};
  UINT textFormat_ = 0;
  HFONT font_ = nullptr;
  bool dragOwner_ = false;
  HWND dragTarget_ = nullptr;
  std::string text_;
};
