#include "ui/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cctype>
#include <vector>

#include "platform/registry.h"

namespace {
constexpr UINT_PTR kSubclassId = 0x484C4E4B;  // "HLNK"
constexpr char kColorKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

// A text value of the user's Internet Explorer settings; nullopt when it is missing or no text.
std::optional<std::string> ReadColorSetting(Registry& registry, const char* name) {
  const RegRead read = registry.ReadValue(HKEY_CURRENT_USER, kColorKey, name);
  if (read.status != RegReadStatus::kOk ||
      (read.value.type != REG_SZ && read.value.type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  return read.value.data;
}

// Static types that show a picture or a frame rather than text: icon, rectangles and frames (3 to
// 9), owner-drawn, bitmap and metafile (13 to 15), and the etched lines and frame (16 to 18).
bool ShowsNoText(LONG_PTR style) {
  const LONG_PTR type = style & SS_TYPEMASK;
  return (type >= SS_ICON && type <= SS_WHITEFRAME) ||
         (type >= SS_OWNERDRAW && type <= SS_ETCHEDFRAME);
}
}  // namespace

Hyperlink::Hyperlink() : opener_(&Hyperlink::ShellOpen) {}

Hyperlink::~Hyperlink() {
  Detach();
}

void Hyperlink::SetOpener(Opener opener) {
  opener_ = opener ? std::move(opener) : Opener(&Hyperlink::ShellOpen);
}

bool Hyperlink::ShellOpen(const std::string& url) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::optional<COLORREF> Hyperlink::ParseColor(const std::string& text) {
  int parts[3];
  size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t start = pos;
    int value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
      value = value * 10 + (text[pos] - '0');
      if (value > 255) return std::nullopt;
      ++pos;
    }
    if (pos == start) return std::nullopt;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    parts[i] = value;
    if (i < 2) {
      if (pos >= text.size() || text[pos] != ',') return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return RGB(parts[0], parts[1], parts[2]);
}

bool Hyperlink::Attach(HWND control) {
  if (window_ || !IsWindow(control)) return false;

  char className[64] = {};
  GetClassNameA(control, className, sizeof(className));
  if (lstrcmpiA(className, "static") == 0) {
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    SetWindowLongPtrA(control, GWL_STYLE, style | SS_NOTIFY);
    if (ShowsNoText(style)) paintLabel_ = false;
  }
  if (!SetWindowSubclass(control, &Hyperlink::SubclassProc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = control;
  hand_ = LoadCursor(nullptr, IDC_HAND);
  if (paintLabel_) MakeFont();

  if (!label_) {
    const int length = GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, text.data(), length + 1);
    label_ = std::string(text.data());
  }
  if (!url_ || url_->empty()) url_ = *label_;

  MeasureLabel();
  CreateTooltip();
  ReadLinkColors();
  InvalidateRect(window_, nullptr, TRUE);
  return true;
}

void Hyperlink::Detach() {
  if (!window_) return;
  RemoveWindowSubclass(window_, &Hyperlink::SubclassProc, kSubclassId);
  InvalidateRect(window_, nullptr, TRUE);
  Cleanup();
}

void Hyperlink::Cleanup() {
  if (window_ && GetCapture() == window_) ReleaseCapture();
  if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  window_ = nullptr;
}

void Hyperlink::MakeFont() {
  HWND parent = GetParent(window_);
  auto parentFont = reinterpret_cast<HFONT>(parent ? SendMessageA(parent, WM_GETFONT, 0, 0) : 0);
  if (!parentFont) parentFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA logFont{};
  if (GetObjectA(parentFont, sizeof(logFont), &logFont)) {
    logFont.lfUnderline = TRUE;
    font_.Reset(CreateFontIndirectA(&logFont));
  }
}

UINT Hyperlink::AlignmentFormat() const {
  const LONG_PTR type = GetWindowLongPtrA(window_, GWL_STYLE) & SS_TYPEMASK;
  if (type == SS_CENTER) return DT_CENTER;
  if (type == SS_RIGHT) return DT_RIGHT;
  return DT_LEFT;
}

void Hyperlink::MeasureLabel() {
  RECT client;
  GetClientRect(window_, &client);
  labelRect_ = client;
  if (!paintLabel_) return;  // a picture link reacts over its whole area
  HDC dc = GetDC(window_);
  if (!dc) return;
  HGDIOBJ old = font_ ? SelectObject(dc, font_.Get()) : nullptr;
  const UINT align = AlignmentFormat();
  DrawTextA(dc, Label().c_str(), static_cast<int>(Label().size()), &labelRect_,
            DT_CALCRECT | DT_WORDBREAK | align);
  if (old) SelectObject(dc, old);
  ReleaseDC(window_, dc);
  const int spare = (client.right - client.left) - (labelRect_.right - labelRect_.left);
  const int shift = align == DT_CENTER ? spare / 2 : align == DT_RIGHT ? spare : 0;
  OffsetRect(&labelRect_, shift, 0);
}

void Hyperlink::CreateTooltip() {
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tooltip_) return;
  SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.lpszText = const_cast<char*>(Url().c_str());
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hyperlink::ReadLinkColors() {
  Win32Registry registry;
  if (auto text = ReadColorSetting(registry, "Anchor Color")) {
    if (auto color = ParseColor(*text)) linkColor_ = *color;
  }
  if (auto text = ReadColorSetting(registry, "Anchor Color Visited")) {
    if (auto color = ParseColor(*text)) visitedColor_ = *color;
  }
}

bool Hyperlink::Open() {
  if (Url().empty() || !opener_) return false;
  if (!opener_(Url())) return false;
  visited_ = true;
  if (window_) InvalidateRect(window_, nullptr, TRUE);
  return true;
}

bool Hyperlink::InLabel(POINT clientPoint) const {
  return PtInRect(&labelRect_, clientPoint);
}

void Hyperlink::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tooltip_) return;
  MSG msg{};
  msg.hwnd = window_;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetMessageTime();
  const DWORD pos = GetMessagePos();
  msg.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CALLBACK Hyperlink::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
  auto* link = reinterpret_cast<Hyperlink*>(self);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &Hyperlink::SubclassProc, kSubclassId);
    link->Cleanup();
    return DefSubclassProc(window, message, wParam, lParam);
  }
  return link->Handle(message, wParam, lParam);
}

LRESULT Hyperlink::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) Relay(message, wParam, lParam);

  switch (message) {
    case WM_SETCURSOR: {
      POINT pt;
      GetCursorPos(&pt);
      ScreenToClient(window_, &pt);
      if (!Url().empty() && InLabel(pt) && hand_) {
        SetCursor(hand_);
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONDOWN: {
      const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (InLabel(pt)) {
        SetFocus(window_);
        SetCapture(window_);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (GetCapture() == window_) {
        ReleaseCapture();
        const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (InLabel(pt)) Open();
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        Open();
        return 0;
      }
      break;
    case WM_GETDLGCODE: {
      // Enter would otherwise press the dialog's default button instead of following the link.
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      LRESULT code = DLGC_WANTCHARS;
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (paintLabel_) InvalidateRect(window_, nullptr, TRUE);
      break;
    case WM_ERASEBKGND:
      if (paintLabel_) {
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
      }
      break;
    case WM_PAINT:
      if (paintLabel_) {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(window_, &ps)) {
          Paint(dc);
          EndPaint(window_, &ps);
        }
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      if (paintLabel_) {
        EraseBackground(reinterpret_cast<HDC>(wParam));
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
      }
      break;
    case WM_SETTEXT:
    case WM_ENABLE:
      if (paintLabel_) {
        // The static paints its own text on these outside WM_PAINT; paint the link over it.
        const LRESULT result = DefSubclassProc(window_, message, wParam, lParam);
        InvalidateRect(window_, nullptr, TRUE);
        return result;
      }
      break;
    default:
      break;
  }
  return DefSubclassProc(window_, message, wParam, lParam);
}

void Hyperlink::EraseBackground(HDC dc) {
  HWND parent = GetParent(window_);
  if (!parent || !dc) return;
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)));
  if (!brush) return;
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client, brush);
}

void Hyperlink::Paint(HDC dc) {
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, visited_ ? visitedColor_ : linkColor_);
  if (font_) SelectObject(dc, font_.Get());
  RECT rect = labelRect_;
  DrawTextA(dc, Label().c_str(), static_cast<int>(Label().size()), &rect,
            DT_WORDBREAK | AlignmentFormat());
  if (GetFocus() == window_) DrawFocusRect(dc, &labelRect_);
  RestoreDC(dc, saved);
}
