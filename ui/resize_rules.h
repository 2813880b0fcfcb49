// Keeps chosen controls of a form anchored to its right and bottom edges as the form is resized;
// every other control stays where the template put it.
#pragma once

#include <windows.h>

#include <vector>

struct ResizeRule {
  int controlId;
  bool followWidth;   // the right edge keeps its distance to the form's right edge
  bool followHeight;  // the bottom edge keeps its distance to the form's bottom edge
};

class ResizeRules {
 public:
  // The location view form: the list grows both ways, the banner only in width.
  static std::vector<ResizeRule> ViewForm();

  // Records the form's client size and each ruled control's rectangle, and makes the form a child
  // window. Call at WM_INITDIALOG. Controls that do not exist are skipped. False if form is no
  // window.
  bool Install(HWND form, const std::vector<ResizeRule>& rules);

  // For the form's WM_SIZE: nothing when minimised, else Apply with the new client size.
  void OnSize(WPARAM sizeType, LPARAM size);
  // Places the ruled controls for a client size, with the form's redrawing off meanwhile and one
  // redraw at the end. Sizes never go below zero.
  void Apply(int clientWidth, int clientHeight);

 private:
  struct Anchored {
    HWND control;
    RECT start;
    bool followWidth;
    bool followHeight;
  };
  HWND form_ = nullptr;
  SIZE start_ = {0, 0};
  std::vector<Anchored> controls_;
};
