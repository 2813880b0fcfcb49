// The window widgets (banner, hyperlink label, splitter, resize rules) on real windows, and the
// resources they and the main window are built from.
#include <windows.h>
// The common controls header needs the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "gui/capture.h"
#include "gui/dialog_answerer.h"
#include "gui/host_windows.h"
#include "gui/pump.h"
#include "gui/screenshot.h"
#include "gui/window_reading.h"
#include "res/resource.h"
#include "ui/banner.h"
#include "ui/hyperlink.h"
#include "ui/resize_rules.h"
#include "ui/splitter.h"

namespace {

constexpr COLORREF kBannerGrey = RGB(118, 118, 118);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

class Widgets : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override { gui::PumpPending(); }
};

HWND MakeStatic(HWND parent, const char* text, int x, int y, int w, int h, DWORD style = SS_LEFT,
                int id = 100) {
  return CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// A bitmap of one colour, compatible with the screen.
HBITMAP SolidBitmap(int w, int h, COLORREF color) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH brush = CreateSolidBrush(color);
  RECT rect = {0, 0, w, h};
  FillRect(memory, &rect, brush);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// ---------------------------------------------------------------------------------- banner

using BannerTest = Widgets;

TEST_F(BannerTest, PaintsItsBackgroundOverTheWholeControlWhenItHasNoPicture) {
  gui::HostWindow host(320, 120);
  HWND control = MakeStatic(host.Handle(), "", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  gui::Capture grey(control);
  ASSERT_TRUE(grey.Valid());
  EXPECT_EQ(grey.Count(kBannerGrey), 200 * 60);  // the start colour, to the last row and column

  banner.SetBackground(RGB(10, 40, 90));
  EXPECT_EQ(gui::Capture(control).Count(RGB(10, 40, 90)), 200 * 60);
}

TEST_F(BannerTest, ReadsTheWindowTextOnceAtTheFirstPaint) {
  gui::HostWindow host(320, 120);
  HWND control = MakeStatic(host.Handle(), "WWWW MMMM", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  EXPECT_EQ(banner.Text(), "");  // nothing read before painting
  const int whiteBefore = gui::Capture(control).Count(RGB(255, 255, 255));
  EXPECT_GT(whiteBefore, 20);
  EXPECT_EQ(banner.Text(), "WWWW MMMM");

  SetWindowTextA(control, "");
  gui::Capture after(control);
  EXPECT_EQ(banner.Text(), "WWWW MMMM");
  EXPECT_EQ(after.Count(RGB(255, 255, 255)), whiteBefore);
  EXPECT_EQ(after.Count(kBannerGrey) + whiteBefore,
            after.Count(kBannerGrey) + after.Count(RGB(255, 255, 255)));
}

TEST_F(BannerTest, CentresAPictureAtItsOwnSize) {
  gui::HostWindow host(320, 120);
  HWND control = MakeStatic(host.Handle(), "", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  banner.SetPicture(SolidBitmap(20, 10, kRed), Banner::kCentre);
  gui::Capture shot(control);
  EXPECT_EQ(shot.Count(kRed), 20 * 10);
  EXPECT_EQ(shot.Count(kRed, RECT{90, 25, 110, 35}), 20 * 10);
  EXPECT_EQ(shot.At(2, 2), kBannerGrey);
}

TEST_F(BannerTest, StretchedPictureFollowsAResize) {
  gui::HostWindow host(420, 120);
  HWND control = MakeStatic(host.Handle(), "", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  banner.SetPicture(SolidBitmap(20, 10, kRed), Banner::kStretch);
  EXPECT_EQ(gui::Capture(control).Count(kRed), 200 * 60);

  SetWindowPos(control, nullptr, 0, 0, 380, 60, SWP_NOMOVE | SWP_NOZORDER);
  gui::Capture wider(control);
  EXPECT_EQ(wider.Width(), 380);
  EXPECT_EQ(wider.Count(kRed), 380 * 60);
}

// A covering picture is scaled by one factor both ways and cut: a red block in the top left
// corner of a 150 x 20 picture (30 x 14) keeps its shape, scaled, whatever shape the banner has.
TEST_F(BannerTest, ACoveringPictureKeepsItsAspectAndIsCut) {
  gui::HostWindow host(640, 80);
  HWND control = MakeStatic(host.Handle(), "", 0, 0, 60, 20);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  HBITMAP picture = SolidBitmap(150, 20, kGreen);
  {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT block = {0, 0, 30, 14};
    FillRect(memory, &block, red);
    DeleteObject(red);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  banner.SetPicture(picture, Banner::kCover);
  struct Case {
    int width, height;
    int redColumns, redRows;  // along the top row and the left column
  } cases[] = {
      {60, 20, 30, 14},    // narrower than the picture: its left part at its own size
      {300, 40, 60, 28},   // the same shape, twice as large
      {600, 40, 120, 36},  // wider: scaled by four, rows 5 to 15 of the picture
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    SetWindowPos(control, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
    gui::Capture shot(control);
    EXPECT_NEAR(shot.Count(kRed, RECT{0, 1, c.width, 2}), c.redColumns, 3);
    EXPECT_NEAR(shot.Count(kRed, RECT{1, 0, 2, c.height}), c.redRows, 3);
    EXPECT_EQ(shot.Count(kBannerGrey), 0);
  }
}

TEST_F(BannerTest, SettingAPictureReleasesTheOneHeld) {
  HBITMAP first = SolidBitmap(4, 4, kRed);
  HBITMAP second = SolidBitmap(4, 4, kGreen);
  {
    Banner banner;
    banner.SetPicture(first);
    BITMAP info;
    EXPECT_NE(GetObjectA(first, sizeof(info), &info), 0);
    banner.SetPicture(second);
    EXPECT_EQ(GetObjectA(first, sizeof(info), &info), 0);  // deleted
    EXPECT_EQ(banner.Picture(), second);
  }
  BITMAP info;
  EXPECT_EQ(GetObjectA(second, sizeof(info), &info), 0);  // deleted with the banner
}

TEST_F(BannerTest, PressDragsTheOwnerOnlyWhenAsked) {
  std::vector<std::pair<WPARAM, POINT>> presses;
  gui::HostWindow host(
      320, 120, [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_NCLBUTTONDOWN) return std::nullopt;
        presses.push_back({wParam, POINT{static_cast<short>(LOWORD(lParam)),
                                         static_cast<short>(HIWORD(lParam))}});
        return 0;  // no modal move loop in the test
      });
  HWND control = MakeStatic(host.Handle(), "", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));

  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  EXPECT_TRUE(presses.empty());
  EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, 0), HTTRANSPARENT);

  banner.SetDragOwner(true, host.Handle());
  EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, 0), HTCLIENT);
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].first, static_cast<WPARAM>(HTCAPTION));
  POINT expected = {5, 6};
  ClientToScreen(control, &expected);
  EXPECT_EQ(presses[0].second.x, expected.x);
  EXPECT_EQ(presses[0].second.y, expected.y);
}

TEST_F(BannerTest, DetachesWhenTheControlIsDestroyed) {
  gui::HostWindow host(320, 120);
  HWND control = MakeStatic(host.Handle(), "", 10, 10, 200, 60);
  Banner banner;
  ASSERT_TRUE(banner.Attach(control));
  EXPECT_FALSE(banner.Attach(control));  // one control per banner
  DestroyWindow(control);
  EXPECT_EQ(banner.Handle(), nullptr);
  banner.SetText("after");  // must not touch the dead window
}

// ------------------------------------------------------------------------------- hyperlink

class HyperlinkTest : public Widgets {
 protected:
  // A dialog host so that the parent font, WM_CTLCOLORSTATIC and the dialog manager are real.
  void Make(const char* text, DWORD style = SS_LEFT) {
    dialog_.emplace(300, 100, [this](HWND, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
      if (message == WM_CTLCOLORSTATIC && eraseBrush_) {
        return reinterpret_cast<INT_PTR>(eraseBrush_);
      }
      return std::nullopt;
    });
    control_ = MakeStatic(dialog_->Handle(), text, 10, 10, 200, 20, style);
    link_.SetOpener([this](const std::string& url) {
      opened_.push_back(url);
      return openResult_;
    });
  }
  POINT LabelCentre() const {
    const RECT r = link_.LabelRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Press(POINT pt) {
    SendMessageA(control_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  }
  void Release(POINT pt) { SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); }

  std::optional<gui::HostDialog> dialog_;
  HWND control_ = nullptr;
  Hyperlink link_;
  std::vector<std::string> opened_;
  bool openResult_ = true;
  HBRUSH eraseBrush_ = nullptr;
};

TEST_F(HyperlinkTest, PressDragOffAndReleaseOpensNothing) {
  Make("Visit the site");
  link_.SetUrl("https://quorvane.example/");
  ASSERT_TRUE(link_.Attach(control_));
  ASSERT_GT(link_.LabelRect().right, 0);

  Press(LabelCentre());
  EXPECT_EQ(GetCapture(), control_);
  Release(POINT{link_.LabelRect().right + 20, 5});  // still on the control, off the text
  EXPECT_NE(GetCapture(), control_);
  Press(LabelCentre());
  Release(POINT{-30, -30});  // off the control
  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(link_.Visited());

  Release(LabelCentre());  // a release without a press on the label is no click either
  EXPECT_TRUE(opened_.empty());
}

TEST_F(HyperlinkTest, ClickOpensTheUrlAndShowsTheVisitedColour) {
  Make("Visit the site");
  link_.SetUrl("https://quorvane.example/");
  ASSERT_TRUE(link_.Attach(control_));
  const RECT label = link_.LabelRect();
  gui::Capture before(control_);
  EXPECT_GT(before.Count(RGB(0, 0, 255), label), 0);
  EXPECT_EQ(before.Count(RGB(128, 0, 128), label), 0);

  Press(LabelCentre());
  Release(LabelCentre());
  ASSERT_EQ(opened_, std::vector<std::string>{"https://quorvane.example/"});
  EXPECT_TRUE(link_.Visited());
  gui::Capture after(control_);
  EXPECT_EQ(after.Count(RGB(0, 0, 255), label), 0);
  EXPECT_GT(after.Count(RGB(128, 0, 128), label), 0);
}

TEST_F(HyperlinkTest, FailedOpenLeavesTheLinkUnvisited) {
  Make("Visit the site");
  openResult_ = false;
  ASSERT_TRUE(link_.Attach(control_));
  Press(LabelCentre());
  Release(LabelCentre());
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_FALSE(link_.Visited());
  EXPECT_EQ(gui::Capture(control_).Count(RGB(128, 0, 128)), 0);
}

TEST_F(HyperlinkTest, EnterAndSpaceOpenThroughTheDialogManager) {
  Make("Support page");
  link_.SetUrl("https://quorvane.example/support");
  ASSERT_TRUE(link_.Attach(control_));
  SetFocus(control_);
  for (WPARAM key : {VK_RETURN, VK_SPACE}) {
    MSG msg{};
    msg.hwnd = control_;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    // The dialog manager hands Enter to the default button unless the control asks for it.
    EXPECT_TRUE(IsDialogMessageA(dialog_->Handle(), &msg));
  }
  EXPECT_EQ(opened_.size(), 2u);
  EXPECT_EQ(SendMessageA(control_, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS, DLGC_WANTCHARS);
}

TEST_F(HyperlinkTest, WithoutUrlOrLabelNothingOpensAndNoHandShows) {
  Make("");
  ASSERT_TRUE(link_.Attach(control_));
  EXPECT_EQ(link_.Url(), "");
  Press(POINT{1, 1});
  Release(POINT{1, 1});
  EXPECT_FALSE(link_.Open());
  EXPECT_TRUE(opened_.empty());

  POINT onControl = {2, 2};
  ClientToScreen(control_, &onControl);
  SetCursorPos(onControl.x, onControl.y);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursor(nullptr, IDC_HAND));
}

TEST_F(HyperlinkTest, HandCursorOnlyOverTheLabel) {
  Make("Visit");
  ASSERT_TRUE(link_.Attach(control_));
  const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  struct Case {
    POINT client;
    bool hand;
  } cases[] = {{LabelCentre(), true}, {POINT{190, 10}, false}};
  for (const Case& c : cases) {
    POINT screen = c.client;
    ClientToScreen(control_, &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == hand, c.hand) << c.client.x;
  }
}

TEST_F(HyperlinkTest, LabelAndUrlDefaultToEachOther) {
  struct Case {
    const char* windowText;
    std::optional<std::string> label, url;
    std::string wantLabel, wantUrl;
  } cases[] = {
      {"Home page", std::nullopt, std::nullopt, "Home page", "Home page"},
      {"Home page", "Our site", std::nullopt, "Our site", "Our site"},
      {"Home page", std::nullopt, "https://q.example/", "Home page", "https://q.example/"},
      {"Home page", "Our site", "https://q.example/", "Our site", "https://q.example/"},
  };
  for (const Case& c : cases) {
    gui::HostDialog dialog(300, 60);
    HWND control = MakeStatic(dialog.Handle(), c.windowText, 5, 5, 200, 20);
    Hyperlink link;
    if (c.label) link.SetLabel(*c.label);
    if (c.url) link.SetUrl(*c.url);
    ASSERT_TRUE(link.Attach(control));
    EXPECT_EQ(link.Label(), c.wantLabel);
    EXPECT_EQ(link.Url(), c.wantUrl);
    // The tooltip shows the URL.
    ASSERT_NE(link.Tooltip(), nullptr);
    EXPECT_EQ(gui::ClassName(link.Tooltip()), "tooltips_class32");
    char tip[256] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = tip;
    SendMessageA(link.Tooltip(), TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::string(tip), c.wantUrl);
  }
}

TEST_F(HyperlinkTest, PictureAndFrameStaticsKeepTheirOwnPainting) {
  struct Case {
    DWORD type;
    bool paintsLabel;
  } cases[] = {{SS_LEFT, true},        {SS_CENTER, true},         {SS_RIGHT, true},
               {SS_SIMPLE, true},      {SS_LEFTNOWORDWRAP, true}, {SS_ICON, false},
               {SS_BLACKRECT, false},  {SS_GRAYFRAME, false},     {SS_WHITEFRAME, false},
               {SS_BITMAP, false},     {SS_ENHMETAFILE, false},   {SS_ETCHEDHORZ, false},
               {SS_ETCHEDVERT, false}, {SS_ETCHEDFRAME, false}};
  for (const Case& c : cases) {
    gui::HostDialog dialog(300, 60);
    HWND control = MakeStatic(dialog.Handle(), "Link", 5, 5, 200, 20, c.type);
    Hyperlink link;
    link.SetUrl("https://q.example/");
    ASSERT_TRUE(link.Attach(control));
    EXPECT_EQ(link.PaintsLabel(), c.paintsLabel) << "type " << c.type;
    EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY) << "type " << c.type;
  }
}

TEST_F(HyperlinkTest, LabelRectangleFollowsTheAlignment) {
  struct Case {
    DWORD type;
    const char* name;
  } cases[] = {{SS_LEFT, "left"}, {SS_CENTER, "centre"}, {SS_RIGHT, "right"}};
  for (const Case& c : cases) {
    gui::HostDialog dialog(300, 60);
    HWND control = MakeStatic(dialog.Handle(), "Short", 5, 5, 200, 20, c.type);
    Hyperlink link;
    ASSERT_TRUE(link.Attach(control));
    const RECT label = link.LabelRect();
    const int width = label.right - label.left;
    ASSERT_GT(width, 0);
    ASSERT_LT(width, 150) << c.name;
    const int spare = 200 - width;
    const int expectedLeft = c.type == SS_CENTER ? spare / 2 : c.type == SS_RIGHT ? spare : 0;
    EXPECT_EQ(label.left, expectedLeft) << c.name;
    EXPECT_EQ(label.top, 0) << c.name;
  }
}

TEST_F(HyperlinkTest, ErasesWithTheParentsStaticBrush) {
  Make("Visit");
  eraseBrush_ = CreateSolidBrush(RGB(0, 200, 0));
  ASSERT_TRUE(link_.Attach(control_));
  gui::Capture shot(control_);
  EXPECT_EQ(shot.At(195, 17), RGB(0, 200, 0));  // outside the text
  link_.Detach();
  DestroyWindow(control_);
  DeleteObject(eraseBrush_);
  eraseBrush_ = nullptr;
}

TEST(HyperlinkColour, ParsesThreeDecimalComponents) {
  struct Case {
    const char* text;
    std::optional<COLORREF> want;
  } cases[] = {
      {"0,0,255", RGB(0, 0, 255)},
      {"10,20,30", RGB(10, 20, 30)},
      {" 1 , 2 , 3 ", RGB(1, 2, 3)},
      {"255,255,255", RGB(255, 255, 255)},
      {"256,0,0", std::nullopt},
      {"1,2", std::nullopt},
      {"1,2,3,4", std::nullopt},
      {"a,b,c", std::nullopt},
      {"", std::nullopt},
      {"1,,3", std::nullopt},
      {"-1,2,3", std::nullopt},
      {"99999999999,1,1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hyperlink::ParseColor(c.text), c.want) << c.text;
  }
}

// Sets the link colour values for one test and puts back what was there.
class AnchorColours {
 public:
  static constexpr char kKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";
  AnchorColours() {
    for (const char* name : kNames) saved_.push_back(Read(name));
  }
  ~AnchorColours() {
    for (size_t i = 0; i < 2; ++i) Write(kNames[i], saved_[i]);
  }
  static void Write(const char* name, const std::optional<std::string>& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    if (value) {
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                     static_cast<DWORD>(value->size() + 1));
    } else {
      RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
  }

 private:
  static std::optional<std::string> Read(const char* name) {
    char buffer[256] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return std::string(buffer);
  }
  static constexpr const char* kNames[2] = {"Anchor Color", "Anchor Color Visited"};
  std::vector<std::optional<std::string>> saved_;
};

TEST_F(HyperlinkTest, ReadsTheLinkColoursOfTheUserSettings) {
  AnchorColours restore;
  struct Case {
    std::optional<std::string> link, visited;
    COLORREF wantLink, wantVisited;
  } cases[] = {
      {"10,20,30", "40, 50, 60", RGB(10, 20, 30), RGB(40, 50, 60)},
      {std::nullopt, std::nullopt, RGB(0, 0, 255), RGB(128, 0, 128)},
      {"1,2", "300,0,0", RGB(0, 0, 255), RGB(128, 0, 128)},
      {std::nullopt, "0,128,0", RGB(0, 0, 255), RGB(0, 128, 0)},
  };
  for (const Case& c : cases) {
    AnchorColours::Write("Anchor Color", c.link);
    AnchorColours::Write("Anchor Color Visited", c.visited);
    gui::HostDialog dialog(300, 60);
    HWND control = MakeStatic(dialog.Handle(), "Link", 5, 5, 200, 20);
    Hyperlink link;
    ASSERT_TRUE(link.Attach(control));
    EXPECT_EQ(link.LinkColor(), c.wantLink);
    EXPECT_EQ(link.VisitedColor(), c.wantVisited);
  }
}

// -------------------------------------------------------------------------------- splitter

class SplitterTest : public Widgets {
 protected:
  void Make(int width, int height, DWORD exStyle = 0) {
    host_.emplace(
        width + 40, height + 40,
        [this](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
          if (message == WM_COMMAND) {
            commands_.push_back(LOWORD(wParam));
            return 0;
          }
          if (message == WM_NOTIFY) {
            notifies_.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
            return 1234;
          }
          return std::nullopt;
        });
    ASSERT_TRUE(splitter_.Create(GetModuleHandleA(nullptr), host_->Handle(),
                                 RECT{0, 0, width, height}, WS_CHILD | WS_VISIBLE, exStyle));
    left_ = MakeStatic(host_->Handle(), "left", 0, 0, 10, 10, SS_LEFT, 201);
    right_ = CreateWindowExA(0, "BUTTON", "right", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 10,
                             10, host_->Handle(), reinterpret_cast<HMENU>(202),
                             GetModuleHandleA(nullptr), nullptr);
    splitter_.SetPanes(left_, right_, false);
  }
  int Width() const { return gui::ClientRect(splitter_.Handle()).right; }
  void Resize(int width, int height) {
    SetWindowPos(splitter_.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }

  std::optional<gui::HostWindow> host_;
  Splitter splitter_;
  HWND left_ = nullptr;
  HWND right_ = nullptr;
  std::vector<int> commands_;
  std::vector<UINT> notifies_;
};

TEST_F(SplitterTest, ClampsThePositionAndCentresOnMinusOne) {
  for (DWORD exStyle : {DWORD{0}, DWORD{WS_EX_CLIENTEDGE}}) {
    SCOPED_TRACE(exStyle);
    splitter_.~Splitter();
    new (&splitter_) Splitter();
    Make(600, 300, exStyle);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const int bar = splitter_.BarWidth();
    EXPECT_EQ(bar, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(splitter_.BarEdge(), exStyle ? 2 * edge : 0);
    EXPECT_EQ(splitter_.MinimumPane(), exStyle ? 0 : 2 * edge);
    const int w = Width();
    const int barEdge = splitter_.BarEdge();
    const int minPane = splitter_.MinimumPane();
    struct Case {
      int set, want;
    } cases[] = {
        {-1, (w - barEdge - bar) / 2},
        {0, minPane},
        {minPane + barEdge - 1, minPane},
        {minPane + barEdge, minPane + barEdge},
        {250, 250},
        {w - bar - barEdge - minPane, w - bar - barEdge - minPane},
        {w - bar - barEdge - minPane + 1, w - bar - barEdge - minPane},
        {5000, w - bar - barEdge - minPane},
    };
    for (const Case& c : cases) {
      splitter_.SetPosition(c.set);
      EXPECT_EQ(splitter_.Position(), c.want) << "set " << c.set;
    }
  }
}

TEST_F(SplitterTest, LaysOutBothPanesAroundTheBar) {
  Make(600, 300);
  splitter_.SetPosition(200);
  EXPECT_EQ(GetParent(left_), splitter_.Handle());
  const RECT left = gui::RectInParent(left_);
  const RECT right = gui::RectInParent(right_);
  EXPECT_EQ(left.left, 0);
  EXPECT_EQ(left.right, 200);
  EXPECT_EQ(left.bottom - left.top, 300);
  EXPECT_EQ(right.left, 200 + splitter_.BarWidth() + splitter_.BarEdge());
  EXPECT_EQ(right.right, 600);
  EXPECT_EQ(right.bottom - right.top, 300);
}

TEST_F(SplitterTest, DoubleClickCentresAndAResizeKeepsThePixelPosition) {
  Make(600, 300);
  splitter_.SetPosition(100);
  const int x = 100 + splitter_.BarWidth() / 2;
  SendMessageA(splitter_.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, 50));
  const int centre = (600 - splitter_.BarWidth()) / 2;
  EXPECT_EQ(splitter_.Position(), centre);

  SendMessageA(splitter_.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 50));
  EXPECT_EQ(splitter_.Position(), centre);  // off the bar: nothing

  Resize(900, 300);
  EXPECT_EQ(splitter_.Position(), centre);
  EXPECT_EQ(gui::RectInParent(left_).right, centre);
  EXPECT_EQ(gui::RectInParent(right_).right, 900);
}

TEST_F(SplitterTest, ResizeKeepsTheFractionOrTheRightDistanceWhenAsked) {
  struct Case {
    DWORD flags;
    int want;  // after setting 300 at width 600 and resizing to 900
  } cases[] = {
      {0, 300},
      {Splitter::kProportional, -1},
      {Splitter::kRightAligned, 600},
  };
  for (const Case& c : cases) {
    splitter_.~Splitter();
    new (&splitter_) Splitter();
    Make(600, 300);
    splitter_.SetExtendedStyle(c.flags);
    splitter_.SetPosition(300);
    Resize(900, 300);
    const int bar = splitter_.BarWidth();
    const int want = c.want >= 0 ? c.want : MulDiv(MulDiv(300, 10000, 600 - bar), 900 - bar, 10000);
    EXPECT_EQ(splitter_.Position(), want) << "flags " << c.flags;
    // Shrinking below the bar and growing back returns it where the rule keeps it.
    Resize(200, 300);
    Resize(900, 300);
    if (c.flags) {
      EXPECT_EQ(splitter_.Position(), want) << "flags " << c.flags;
    }
  }
}

TEST_F(SplitterTest, DraggingTheBarMovesItLiveOrOnRelease) {
  for (bool fullDrag : {true, false}) {
    SCOPED_TRACE(fullDrag);
    splitter_.~Splitter();
    new (&splitter_) Splitter();
    Make(600, 300);
    splitter_.SetFullDrag(fullDrag);
    splitter_.SetPosition(200);
    HWND window = splitter_.Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201, 40));
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(261, 40));
    EXPECT_EQ(splitter_.Position(), fullDrag ? 260 : 200);
    EXPECT_EQ(gui::RectInParent(left_).right, fullDrag ? 260 : 200);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(261, 40));
    EXPECT_NE(GetCapture(), window);
    EXPECT_EQ(splitter_.Position(), 260);
    EXPECT_EQ(gui::RectInParent(left_).right, 260);
  }
}

TEST_F(SplitterTest, PaneMinimumsHoldForSetsDragsAndShrinksAndTheBarComesBack) {
  Make(600, 300);
  splitter_.SetFullDrag(true);
  const int left = 120;
  const int right = 200;
  splitter_.SetMinimumPanes(left, right);
  const int limit = 600 - splitter_.BarWidth() - right;
  for (auto [set, want] : {std::pair{10, left}, std::pair{250, 250}, std::pair{590, limit}}) {
    splitter_.SetPosition(set);
    EXPECT_EQ(splitter_.Position(), want) << set;
  }
  splitter_.SetPosition(250);
  HWND window = splitter_.Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(251, 40));
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 40));
  EXPECT_EQ(splitter_.Position(), left);
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(595, 40));
  EXPECT_EQ(splitter_.Position(), limit);
  EXPECT_EQ(gui::RectInParent(right_).right - gui::RectInParent(right_).left, right);
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(301, 40));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(301, 40));
  EXPECT_EQ(splitter_.Position(), 300);

  // A shrink pushes the bar left to keep the right pane; growing back returns it to 300.
  Resize(400, 300);
  EXPECT_EQ(splitter_.Position(), 400 - splitter_.BarWidth() - right);
  EXPECT_EQ(gui::RectInParent(right_).right - gui::RectInParent(right_).left, right);
  Resize(700, 300);
  EXPECT_EQ(splitter_.Position(), 300);
}

TEST_F(SplitterTest, PressOffTheBarStartsNoDrag) {
  Make(600, 300);
  splitter_.SetPosition(200);
  SendMessageA(splitter_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 40));
  EXPECT_NE(GetCapture(), splitter_.Handle());
  SendMessageA(splitter_.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 40));
  EXPECT_EQ(splitter_.Position(), 200);
}

TEST_F(SplitterTest, ShowsTheSizingCursorOverTheBar) {
  Make(600, 300);
  splitter_.SetPosition(200);
  const HCURSOR sizing = LoadCursor(nullptr, IDC_SIZEWE);
  for (auto [x, want] : {std::pair{201, true}, std::pair{400, false}}) {
    POINT screen = {x, 40};
    ClientToScreen(splitter_.Handle(), &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(splitter_.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter_.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == sizing, want) << x;
  }
}

TEST_F(SplitterTest, PassesPaneNotificationsToItsParent) {
  Make(600, 300);
  splitter_.SetPosition(200);
  SendMessageA(right_, BM_CLICK, 0, 0);
  EXPECT_EQ(commands_, std::vector<int>{202});

  NMHDR header = {left_, 201, NM_DBLCLK};
  EXPECT_EQ(SendMessageA(splitter_.Handle(), WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&header)),
            1234);
  EXPECT_EQ(notifies_, std::vector<UINT>{static_cast<UINT>(NM_DBLCLK)});
}

// ------------------------------------------------------------- view form and resize rules

struct FormHost {
  ResizeRules rules;
  bool install = true;
};

INT_PTR CALLBACK FormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(form, GWLP_USERDATA, lParam);
    auto* host = reinterpret_cast<FormHost*>(lParam);
    if (host->install) host->rules.Install(form, ResizeRules::ViewForm());
    return TRUE;
  }
  auto* host = reinterpret_cast<FormHost*>(GetWindowLongPtrA(form, GWLP_USERDATA));
  if (message == WM_SIZE && host && host->install) host->rules.OnSize(wParam, lParam);
  return FALSE;
}

// Dialog units to pixels as the dialog manager places controls: origin and size each mapped.
RECT DialogUnits(HWND dialog, int x, int y, int w, int h) {
  RECT origin = {x, y, w, h};
  MapDialogRect(dialog, &origin);
  return RECT{origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
}

using ViewFormTest = Widgets;

TEST_F(ViewFormTest, TemplateHasTheControlsInOrderAtTheirPlaces) {
  gui::HostWindow host(800, 600);
  FormHost formHost{{}, false};
  HWND form = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_VIEW_FORM),
                                 host.Handle(), &FormProc, reinterpret_cast<LPARAM>(&formHost));
  ASSERT_NE(form, nullptr);
  const LONG formStyle = GetWindowLongA(form, GWL_STYLE);
  EXPECT_TRUE(formStyle & WS_CHILD);
  EXPECT_FALSE(formStyle & WS_POPUP);
  const RECT size = DialogUnits(form, 0, 0, 393, 289);
  EXPECT_EQ(gui::ClientRect(form).right, size.right);
  EXPECT_EQ(gui::ClientRect(form).bottom, size.bottom);

  struct Control {
    int id;
    const char* cls;
    const char* text;
    int x, y, w, h;
  } expected[] = {
      {IDC_BANNER, "Static", "", 2, 3, 387, 60},
      {IDC_ADDNEW, "Button", "_AddNew", 2, 66, 41, 16},
      {IDC_REMOVE, "Button", "_Remove", 43, 66, 41, 16},
      {IDC_MODIFY, "Button", "_Modify", 85, 66, 41, 16},
      {-1, "Static", "", 129, 67, 1, 15},
      {IDC_ENABLE, "Button", "_Enable", 133, 66, 41, 16},
      {IDC_DISABLE, "Button", "_Disable", 175, 66, 41, 16},
      {-1, "Static", "", 219, 66, 1, 16},
      {IDC_REFRESH, "Button", "_Refresh", 223, 66, 41, 16},
      {-1, "Static", "", 267, 66, 1, 16},
      {IDC_PROPERTY, "Button", "_Property", 271, 66, 41, 16},
      {IDC_ABOUTFILE, "Button", "_AboutFile", 313, 66, 42, 16},
      {IDC_LIST, "SysListView32", "", 2, 83, 387, 203},
  };
  HWND child = GetWindow(form, GW_CHILD);
  for (const Control& c : expected) {
    SCOPED_TRACE(c.text[0] ? c.text : c.cls);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), c.id);
    EXPECT_EQ(lstrcmpiA(gui::ClassName(child).c_str(), c.cls), 0) << gui::ClassName(child);
    EXPECT_EQ(gui::WindowText(child), c.text);
    const RECT want = DialogUnits(form, c.x, c.y, c.w, c.h);
    const RECT got = gui::RectInParent(child);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    // Wine's etched line grows by its edge below; its place is what the template sets.
    if (c.id != -1) {
      EXPECT_EQ(got.bottom, want.bottom);
    }
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    if (c.id == -1) {
      EXPECT_EQ(style & SS_TYPEMASK, SS_ETCHEDVERT);
    }
    if (c.id == IDC_BANNER) {
      EXPECT_TRUE(style & WS_GROUP);
    }
    if (c.id == IDC_LIST) {
      const LONG listStyles = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP;
      EXPECT_EQ(style & listStyles, listStyles);
      EXPECT_FALSE(style & LVS_NOSORTHEADER);  // a header click sorts
      // The themed list view turns a WS_BORDER into a client edge when it is created.
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);  // nothing more
  DestroyWindow(form);
}

TEST_F(ViewFormTest, ResizeMovesOnlyTheListCornerAndTheBannerEdge) {
  gui::HostWindow host(1000, 800);
  FormHost formHost;
  HWND form = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_VIEW_FORM),
                                 host.Handle(), &FormProc, reinterpret_cast<LPARAM>(&formHost));
  ASSERT_NE(form, nullptr);
  ShowWindow(form, SW_SHOW);
  Banner banner;
  ASSERT_TRUE(banner.Attach(GetDlgItem(form, IDC_BANNER)));
  banner.SetPicture(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BANNER)),
                    Banner::kStretch);

  std::vector<std::pair<HWND, RECT>> start;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    start.push_back({c, gui::RectInParent(c)});
  }
  const RECT startClient = gui::ClientRect(form);
  struct Case {
    int dx, dy;
  } cases[] = {{160, 90}, {-80, -60}, {0, 40}, {300, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    SetWindowPos(form, nullptr, 0, 0, startClient.right + c.dx, startClient.bottom + c.dy,
                 SWP_NOMOVE | SWP_NOZORDER);
    for (const auto& [control, before] : start) {
      const RECT now = gui::RectInParent(control);
      const int id = GetDlgCtrlID(control);
      const int dx = (id == IDC_LIST || id == IDC_BANNER) ? c.dx : 0;
      const int dy = id == IDC_LIST ? c.dy : 0;
      EXPECT_EQ(now.left, before.left) << id;
      EXPECT_EQ(now.top, before.top) << id;
      EXPECT_EQ(now.right, before.right + dx) << id;
      EXPECT_EQ(now.bottom, before.bottom + dy) << id;
    }
    // The stretched banner picture reaches the banner's new right edge.
    HWND bannerControl = GetDlgItem(form, IDC_BANNER);
    gui::Capture shot(bannerControl);
    EXPECT_NE(shot.At(shot.Width() - 2, shot.Height() / 2), kBannerGrey);
  }
  SetWindowPos(form, nullptr, 0, 0, 760, 520, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_FALSE(gui::SaveScreenshot(form, "widgets_view_form").empty());
  DestroyWindow(form);
}

TEST_F(ViewFormTest, InstallMakesTheFormAChildAndMinimisingChangesNothing) {
  gui::HostWindow host(400, 300);
  HWND popup = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 300, 200, host.Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND list =
      CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 10, 100, 50, popup,
                      reinterpret_cast<HMENU>(IDC_LIST), GetModuleHandleA(nullptr), nullptr);
  ResizeRules rules;
  ASSERT_TRUE(rules.Install(popup, ResizeRules::ViewForm()));
  EXPECT_TRUE(GetWindowLongA(popup, GWL_STYLE) & WS_CHILD);
  const RECT before = gui::RectInParent(list);
  rules.OnSize(SIZE_MINIMIZED, MAKELPARAM(0, 0));
  const RECT after = gui::RectInParent(list);
  EXPECT_EQ(after.right, before.right);
  rules.OnSize(SIZE_RESTORED, MAKELPARAM(320, 260));
  EXPECT_EQ(gui::RectInParent(list).right, before.right + 20);
  EXPECT_EQ(gui::RectInParent(list).bottom, before.bottom + 60);
  rules.Apply(10, 10);  // far smaller than the start: sizes stop at zero
  const RECT tiny = gui::RectInParent(list);
  EXPECT_EQ(tiny.right, tiny.left);
  EXPECT_EQ(tiny.bottom, tiny.top);
  DestroyWindow(popup);
}

// ------------------------------------------------------------------------------ resources

using ResourcesTest = Widgets;

TEST_F(ResourcesTest, MainMenuHasItsPopupsAndItemsInOrder) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  struct Item {
    const char* text;  // nullptr for a separator
    UINT id;           // 0 for an item that opens a submenu
  };
  struct Popup {
    const char* text;
    std::vector<Item> items;
  } popups[] = {
      {"_File", {{"_Exit", IDM_EXIT}}},
      {"_Operation",
       {{"_AddNew", IDC_ADDNEW},
        {"_Remove", IDC_REMOVE},
        {"_Modify", IDC_MODIFY},
        {nullptr, 0},
        {"_Enable", IDC_ENABLE},
        {"_Disable", IDC_DISABLE},
        {nullptr, 0},
        {"_Refresh", IDC_REFRESH},
        {nullptr, 0},
        {"_Property", IDC_PROPERTY},
        {"_AboutFile", IDC_ABOUTFILE},
        {"_JumpTo", IDC_JUMPTO}}},
      {"_View", {{"_HideWindowsEntries", IDM_HIDEWINDOWS}}},
      {"_Tools", {{"_LogViewer", IDM_LOGVIEWER}, {"_Language", 0}}},
      {"_About",
       {{"_Help", IDM_HELP},
        {"_Website", IDM_WEBSITE},
        {"_Support", IDM_SUPPORT},
        {nullptr, 0},
        {"_About", IDM_ABOUT}}},
  };
  ASSERT_EQ(GetMenuItemCount(menu), 5);
  auto textOf = [](HMENU m, int pos) {
    char text[64] = {};
    GetMenuStringA(m, pos, text, sizeof(text), MF_BYPOSITION);
    return std::string(text);
  };
  for (int p = 0; p < 5; ++p) {
    EXPECT_EQ(textOf(menu, p), popups[p].text);
    HMENU sub = GetSubMenu(menu, p);
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(popups[p].items.size())) << popups[p].text;
    for (int i = 0; i < GetMenuItemCount(sub); ++i) {
      const Item& want = popups[p].items[i];
      MENUITEMINFOA info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_ID;
      ASSERT_TRUE(GetMenuItemInfoA(sub, i, TRUE, &info));
      if (!want.text) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << popups[p].text << " " << i;
        continue;
      }
      EXPECT_EQ(GetSubMenu(sub, i) != nullptr, want.id == 0) << want.text;
      if (want.id != 0) EXPECT_EQ(info.wID, want.id) << want.text;
      EXPECT_EQ(textOf(sub, i), want.text);
    }
  }
  DestroyMenu(menu);
}

TEST_F(ResourcesTest, MainDialogIsAResizableWindowWithTheMenu) {
  HWND main = CreateDialogParamA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
      [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
  ASSERT_NE(main, nullptr);
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(gui::WindowText(main), "_ToolQuorvane");
  ASSERT_NE(GetMenu(main), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(main)), 5);
  EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
  const RECT size = DialogUnits(main, 0, 0, 502, 280);
  EXPECT_EQ(gui::ClientRect(main).right, size.right);
  DestroyWindow(main);
}

TEST_F(ResourcesTest, PicturesHaveTheirSizes) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  struct Bitmap {
    int id, w, h;
  } bitmaps[] = {{IDB_TREE_IMAGES, 320, 32}, {IDB_BANNER, 750, 100}};
  for (const Bitmap& b : bitmaps) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << b.id;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, b.w);
    EXPECT_EQ(info.bmHeight, b.h);
    EXPECT_EQ(info.bmBitsPixel, 24);
    DeleteObject(bitmap);
  }
  for (int id : {IDI_APP, IDI_ADD, IDI_MODIFY, IDI_PROPERTY}) {
    for (int size : {16, 32, 48}) {
      HICON icon =
          static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      EXPECT_NE(icon, nullptr) << id << " at " << size;
      if (icon) DestroyIcon(icon);
    }
  }
}

TEST_F(ResourcesTest, TreeImagesSevenToNineAreAllMaskGreen) {
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TREE_IMAGES),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int image = 0; image < 10; ++image) {
    int green = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) green += GetPixel(dc, image * 32 + x, y) == kGreen;
    }
    if (image >= 7) {
      EXPECT_EQ(green, 32 * 32) << "image " << image;
    } else {
      EXPECT_LT(green, 32 * 32 - 150) << "image " << image << " has a picture";
      EXPECT_EQ(GetPixel(dc, image * 32, 0), kGreen) << "image " << image << " corner is mask";
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST_F(ResourcesTest, VersionResourceNamesTheProduct) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
  auto query = [&](const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
      return std::string();
    }
    return std::string(value);
  };
  EXPECT_EQ(query("ProductName"), "Quorvane");
  EXPECT_EQ(query("ProductVersion"), QV_PROJECT_VERSION);
  EXPECT_EQ(query("FileVersion"), QV_PROJECT_VERSION);
  EXPECT_EQ(query("CompanyName"), "Quorvane Software");
  EXPECT_EQ(query("OriginalFilename"), "Quorvane.exe");
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
}

// The side-by-side manifest names the same version as the version resource.
TEST_F(ResourcesTest, ManifestCarriesTheProjectVersion) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  ASSERT_NE(text, nullptr);
  const std::string manifest(text, SizeofResource(nullptr, found));
  const std::string identity =
      std::string("name=\"Quorvane\" version=\"") + QV_PROJECT_VERSION + ".0\"";
  EXPECT_NE(manifest.find(identity), std::string::npos) << manifest.substr(0, 300);
}

// ------------------------------------------------------------------ the GUI test library

TEST(DialogAnswerer, AnswersAModalMessageBox) {
  gui::DialogAnswerer answers;
  answers.AnswerNew([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  const int result = MessageBoxA(nullptr, "answerer test", "test", MB_OKCANCEL);
  EXPECT_TRUE(answers.Finished());
  EXPECT_EQ(result, IDOK);
}

TEST(DialogAnswerer, AModalLoopStartedByAnAnswerIsAnsweredByTheNextAnswer) {
  gui::DialogAnswerer answers;
  int inner = 0;
  std::vector<std::string> captions;
  answers.AnswerNew([&](HWND outer) {
    captions.push_back(gui::WindowText(outer));
    inner = MessageBoxA(outer, "inner", "inner", MB_OKCANCEL);
    PostMessageA(outer, WM_COMMAND, IDCANCEL, 0);
  });
  answers.AnswerNew([&](HWND box) {
    captions.push_back(gui::WindowText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  const int outer = MessageBoxA(nullptr, "outer", "outer", MB_OKCANCEL);
  EXPECT_EQ(inner, IDOK);
  EXPECT_EQ(outer, IDCANCEL);
  EXPECT_EQ(captions, (std::vector<std::string>{"outer", "inner"}));
  EXPECT_TRUE(answers.Finished());
  EXPECT_FALSE(answers.GaveUp());
}

TEST(DialogAnswerer, OnlyTopAnswersTakeADialogAgainAndAStuckAnswerGivesUp) {
  struct Case {
    bool secondTakesAnyDialog;
    int wantResult;  // IDCANCEL: closed by giving up
    size_t wantSeen;
  } cases[] = {{true, IDOK, 2}, {false, IDCANCEL, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.secondTakesAnyDialog);
    gui::DialogAnswerer answers(300);
    std::vector<HWND> seen;
    answers.AnswerNew([&](HWND box) { seen.push_back(box); });  // leaves it open
    auto close = [&](HWND box) {
      seen.push_back(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    if (c.secondTakesAnyDialog) {
      answers.AnswerTop(close);
    } else {
      answers.AnswerNew(close);
    }
    EXPECT_EQ(MessageBoxA(nullptr, "again", "again", MB_OKCANCEL), c.wantResult);
    EXPECT_EQ(seen.size(), c.wantSeen);
    if (seen.size() == 2) {
      EXPECT_EQ(seen[0], seen[1]);
    }
    EXPECT_EQ(answers.Finished(), c.secondTakesAnyDialog);
    EXPECT_EQ(answers.GaveUp(), !c.secondTakesAnyDialog);
  }
}

TEST(DialogAnswerer, DialogsOpenBeforeItWasMadeAreNotNew) {
  gui::HostDialog before(200, 80);
  ASSERT_EQ(gui::TopDialog(), before.Handle());
  gui::DialogAnswerer answers;
  bool answered = false;
  answers.AnswerNew([&](HWND) { answered = true; });
  gui::PumpFor(200);
  EXPECT_FALSE(answered);
  answers.Clear();

  gui::DialogAnswerer later;
  later.AnswerTop([&](HWND) { answered = true; });
  gui::PumpFor(200);
  EXPECT_TRUE(answered);
}

// Reads a 24-bit bottom-up .bmp back: width, height and the colour of each pixel.
struct BmpImage {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // top row first
};

std::optional<BmpImage> ReadBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  if (bytes.size() < sizeof(file) + sizeof(info)) return std::nullopt;
  memcpy(&file, bytes.data(), sizeof(file));
  memcpy(&info, bytes.data() + sizeof(file), sizeof(info));
  if (file.bfType != 0x4D42 || info.biBitCount != 24 || info.biHeight <= 0) return std::nullopt;
  const size_t rowBytes = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t{3};
  if (file.bfSize != bytes.size() || bytes.size() != file.bfOffBits + rowBytes * info.biHeight) {
    return std::nullopt;
  }
  BmpImage image{info.biWidth, info.biHeight, {}};
  for (int y = image.height - 1; y >= 0; --y) {
    const auto* row =
        reinterpret_cast<const unsigned char*>(bytes.data() + file.bfOffBits + rowBytes * y);
    for (int x = 0; x < image.width; ++x) {
      image.pixels.push_back(RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
    }
  }
  return image;
}

TEST(Capture, SavedBitmapHoldsTheClientAreaTopRowFirstAndTheWholeWindowIsLarger) {
  // An odd width, so the rows of the file need padding; wider than a window's least width.
  constexpr int kWidth = 301;
  constexpr int kHeight = 40;
  gui::HostWindow host(
      kWidth, kHeight,
      [](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_ERASEBKGND) return std::nullopt;
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const RECT client = gui::ClientRect(window);
        RECT top = client;
        top.bottom = client.bottom / 2;
        RECT bottom = client;
        bottom.top = top.bottom;
        HBRUSH red = CreateSolidBrush(kRed);
        HBRUSH green = CreateSolidBrush(kGreen);
        FillRect(dc, &top, red);
        FillRect(dc, &bottom, green);
        DeleteObject(red);
        DeleteObject(green);
        return 1;
      });
  const gui::Capture shot(host.Handle());
  ASSERT_EQ(shot.Width(), kWidth);
  ASSERT_EQ(shot.Height(), kHeight);
  EXPECT_EQ(shot.Count(kRed), kWidth * kHeight / 2);
  EXPECT_EQ(shot.At(kWidth - 1, 0), kRed);
  EXPECT_EQ(shot.At(0, kHeight - 1), kGreen);
  EXPECT_EQ(shot.At(kWidth, 0), CLR_INVALID);

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "qv_capture_test.bmp";
  ASSERT_TRUE(shot.SaveBmp(path));
  const auto image = ReadBmp(path);
  DeleteFileA(path.c_str());
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, kWidth);
  ASSERT_EQ(image->height, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(image->pixels[static_cast<size_t>(y) * kWidth + x], shot.At(x, y)) << x << "," << y;
    }
  }

  RECT outer{};
  GetWindowRect(host.Handle(), &outer);
  const gui::Capture whole(host.Handle(), gui::Capture::Area::kWindow);
  EXPECT_EQ(whole.Width(), outer.right - outer.left);
  EXPECT_EQ(whole.Height(), outer.bottom - outer.top);
  EXPECT_GT(whole.Height(), kHeight);  // the caption too
  EXPECT_EQ(whole.Count(kRed), kWidth * kHeight / 2);
}

}  // namespace
