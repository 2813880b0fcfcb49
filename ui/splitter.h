// A vertical splitter: a child window holding a left and a right pane with a movable bar between.
#pragma once

#include <windows.h>

class Splitter {
 public:
  // Extended style flags: keep the bar at its fraction of the width, or at its distance from the
  // right edge, when the splitter is resized. With neither the bar keeps its pixel position.
  static constexpr DWORD kProportional = 1;
  static constexpr DWORD kRightAligned = 4;
  static constexpr char kClassName[] = "QuorvaneSplitter";

  Splitter() = default;
  ~Splitter();
  Splitter(const Splitter&) = delete;
  Splitter& operator=(const Splitter&) = delete;

  // Creates the splitter as a child of parent. exStyle may hold WS_EX_CLIENTEDGE.
  bool Create(HINSTANCE instance, HWND parent, const RECT& rect,
              DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0, UINT id = 0);
  HWND Handle() const { return window_; }

  void SetExtendedStyle(DWORD flags);
  DWORD ExtendedStyle() const { return extendedStyle_; }
  // The panes become children of the splitter (notifications come to it and are passed on).
  void SetPanes(HWND left, HWND right, bool update = true);
  // Pixels from the left edge to the bar; -1 centres it. Clamped so both panes keep their
  // minimum width. With update the panes move at once.
  void SetPosition(int position, bool update = true);
  int Position() const { return position_; }
  // Whether dragging moves the panes live (else a ghost bar follows the mouse); starts as the
  // system's full-window-drag setting.
  void SetFullDrag(bool fullDrag) { fullDrag_ = fullDrag; }

  // Widths below which neither pane is made, also while dragging and when the splitter shrinks
  // (the left pane gives way first when both cannot be had). Negative: the default minimum.
  void SetMinimumPanes(int left, int right);
  // The position last asked for (by a set or a drag): where the bar goes as soon as the splitter
  // is wide enough, also after a shrink pushed it aside.
  int RequestedPosition() const { return requested_; }

  int BarWidth() const { return barWidth_; }
  int BarEdge() const { return barEdge_; }
  int MinimumPane() const { return minimumPane_; }
  // The bar in client coordinates.
  RECT BarRect() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  static bool RegisterClassOnce(HINSTANCE instance);
  void UpdateMetrics();
  int ClientWidth() const;
  int Clamp(int position) const;
  // Stores the position with the values that the resize rule keeps.
  void Store(int position);
  void Layout();
  void OnSize();
  bool OnBar(int x) const;
  void DrawGhost(int position);

  HWND window_ = nullptr;
  HWND panes_[2] = {nullptr, nullptr};
  int position_ = -1;
  int barWidth_ = 4;
  int barEdge_ = 0;
  int minimumPane_ = 0;
  int minimumLeft_ = -1;
  int minimumRight_ = -1;
  int requested_ = -1;
  bool fullDrag_ = true;
  DWORD extendedStyle_ = 0;
  int proportional_ = 5000;  // position x 10,000 / usable width
  int fromRight_ = 0;        // client width - position
  bool pending_ = false;     // a position set before the window had a width
  int pendingPosition_ = -1;
  // Dragging state.
  bool dragging_ = false;
  int grabOffset_ = 0;
  int ghost_ = -1;
};
