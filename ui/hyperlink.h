// A static control shown as a web link: underlined text in the link colour, hand cursor,
// tooltip with the address, opened by a click, Enter or Space.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/win_handles.h"

class Hyperlink {
 public:
  // Opens an address; true on success. Tests replace it so that nothing reaches a browser.
  using Opener = std::function<bool(const std::string& url)>;

  Hyperlink();
  ~Hyperlink();
  Hyperlink(const Hyperlink&) = delete;
  Hyperlink& operator=(const Hyperlink&) = delete;

  // Both are read at Attach: an unset label is the control's text, an unset URL is the label.
  void SetUrl(std::string url) { url_ = std::move(url); }
  void SetLabel(std::string label) { label_ = std::move(label); }
  void SetOpener(Opener opener);

  // Subclasses the control. False when it is no window or the link is attached already.
  bool Attach(HWND control);
  void Detach();
  HWND Handle() const { return window_; }

  // Opens the URL through the opener; on success the link turns visited and repaints. False when
  // there is no URL or the opener failed.
  bool Open();

  const std::string& Url() const { return url_ ? *url_ : empty_; }
  const std::string& Label() const { return label_ ? *label_ : empty_; }
  bool Visited() const { return visited_; }
  bool PaintsLabel() const { return paintLabel_; }
  COLORREF LinkColor() const { return linkColor_; }
  COLORREF VisitedColor() const { return visitedColor_; }
  // Client coordinates of the part that reacts to the mouse.
  RECT LabelRect() const { return labelRect_; }
  HWND Tooltip() const { return tooltip_; }

  // The shell's open verb; a result above 32 is success.
  static bool ShellOpen(const std::string& url);
  // "r,g,b" with three decimal numbers 0..255 (spaces around them allowed); nullopt otherwise.
  static std::optional<COLORREF> ParseColor(const std::string& text);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void ReadLinkColors();
  void MakeFont();
  void MeasureLabel();
  void CreateTooltip();
  void Relay(UINT message, WPARAM wParam, LPARAM lParam);
  bool InLabel(POINT clientPoint) const;
  UINT AlignmentFormat() const;
  void EraseBackground(HDC dc);
  void Paint(HDC dc);
  void Cleanup();

  HWND window_ = nullptr;
  std::optional<std::string> label_;
  std::optional<std::string> url_;
  COLORREF linkColor_ = RGB(0, 0, 255);
  COLORREF visitedColor_ = RGB(128, 0, 128);
  bool visited_ = false;
  bool paintLabel_ = true;
  UniqueGdiObject font_;
  HCURSOR hand_ = nullptr;
  HWND tooltip_ = nullptr;
  RECT labelRect_ = {0, 0, 0, 0};
  Opener opener_;
  static inline const std::string empty_;
};
