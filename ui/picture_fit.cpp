#include "ui/picture_fit.h"

RECT CoverSource(SIZE picture, SIZE target) {
  RECT whole = {0, 0, picture.cx, picture.cy};
  if (picture.cx <= 0 || picture.cy <= 0 || target.cx <= 0 || target.cy <= 0) return whole;
  // Compare the aspects as cross products: no rounding decides which side is cut.
  const long long wideTarget = static_cast<long long>(target.cx) * picture.cy;
  const long long widePicture = static_cast<long long>(picture.cx) * target.cy;
  if (widePicture > wideTarget) {
    // The picture is wider than the target: its full height, a left part of its width.
    whole.right = MulDiv(picture.cy, target.cx, target.cy);
  } else if (widePicture < wideTarget) {
    const int height = MulDiv(picture.cx, target.cy, target.cx);
    whole.top = (picture.cy - height) / 2;
    whole.bottom = whole.top + height;
  }
  return whole;
}
