// A window's pixels as they are painted now, to count colours in and to save as a bitmap file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gui {

class Capture {
 public:
  enum class Area {
    kClient,  // the client area, in client coordinates
    kWindow,  // the whole window: frame, caption and menu too
  };
  // Repaints the window with its children first.
  explicit Capture(HWND window, Area area = Area::kClient);
  bool Valid() const { return !pixels_.empty(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // CLR_INVALID outside the capture.
  COLORREF At(int x, int y) const;
  // How many pixels of the area (clipped to the capture) have exactly this colour.
  int Count(COLORREF color, RECT area) const;
  int Count(COLORREF color) const { return Count(color, RECT{0, 0, width_, height_}); }
  // Writes a 24-bit .bmp; false on failure (or when nothing was captured).
  bool SaveBmp(const std::string& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<DWORD> pixels_;  // 0x00RRGGBB, top row first
};

}  // namespace gui
