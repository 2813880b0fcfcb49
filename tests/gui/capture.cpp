#include "gui/capture.h"

#include <algorithm>
#include <fstream>

namespace gui {

Capture::Capture(HWND window, Area area) {
  RECT bounds{};
  const bool whole = area == Area::kWindow;
  if (!IsWindow(window) ||
      !(whole ? GetWindowRect(window, &bounds) : GetClientRect(window, &bounds)))
    return;
  RedrawWindow(
      window, nullptr, nullptr,
      RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | (whole ? RDW_FRAME : 0));
  width_ = bounds.right - bounds.left;
  height_ = bounds.bottom - bounds.top;
  if (width_ <= 0 || height_ <= 0) return;
  // The window's own surface holds its children too, and is not hidden by other windows.
  HDC source = whole ? GetWindowDC(window) : GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const DWORD*>(bits);
    pixels_.assign(data, data + static_cast<size_t>(width_) * height_);
    for (DWORD& p : pixels_) p &= 0x00FFFFFF;
    SelectObject(memory, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, source);
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
  const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Capture::Count(COLORREF color, RECT area) const {
  int count = 0;
  for (int y = std::max(0, static_cast<int>(area.top));
       y < std::min(height_, static_cast<int>(area.bottom)); ++y) {
    for (int x = std::max(0, static_cast<int>(area.left));
         x < std::min(width_, static_cast<int>(area.right)); ++x) {
      if (At(x, y) == color) ++count;
    }
  }
  return count;
}

bool Capture::SaveBmp(const std::string& path) const {
  if (pixels_.empty()) return false;
  const int rowBytes = (width_ * 3 + 3) & ~3;
  const DWORD imageBytes = static_cast<DWORD>(rowBytes) * height_;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + imageBytes;
  header.biSize = sizeof(header);
  header.biWidth = width_;
  header.biHeight = height_;  // bottom-up, as BMP files store rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = imageBytes;
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  std::vector<char> row(rowBytes, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
      row[x * 3] = static_cast<char>(p & 0xFF);
      row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    out.write(row.data(), rowBytes);
  }
  return static_cast<bool>(out);
}

}  // namespace gui
