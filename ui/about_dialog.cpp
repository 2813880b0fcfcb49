#include "ui/about_dialog.h"

#include <string>

#include "core/module_paths.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "store/safe_format.h"
#include "ui/centre_window.h"
#include "ui/dialog_base.h"
#include "ui/hyperlink.h"
#include "ui/shell_opener.h"
#include "ui/translate.h"
#include "ui/version_info.h"
#include "ui/web_links.h"

namespace {

// A multi-line edit breaks lines only at CR LF; a bare LF from the language file gets its CR.
std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

class AboutDialog final : public DialogBase {
 public:
  explicit AboutDialog(const LanguageTable& language) : language_(language) {}

 private:
  BOOL OnInitDialog() override {
    CentreOverOwner(Handle());
    TranslateWindow(language_, Handle());
    SetDlgItemTextA(Handle(), IDC_THANKS_LIST,
                    WithCrLf(language_.T("_Thankyoulist", true)).c_str());
    ScrollThanksIfLong();

    const std::string module = ModulePath();
    SetDlgItemTextA(Handle(), IDC_APP_NAME, ModuleVersionString(module, "ProductName").c_str());
    SetDlgItemTextA(Handle(), IDC_APP_VERSION, VersionText(module).c_str());

    AttachLink(website_, IDC_WEBSITE_LINK, kProductPageUrl);
    AttachLink(support_, IDC_SUPPORT_LINK, kSupportPageUrl);
    // OK, not the first link, has the focus at first.
    SetFocus(Item(IDOK));
    return FALSE;
  }

  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    // OK, and also Escape and the close box, which send IDCANCEL.
    if (id != IDOK && id != IDCANCEL) return false;
    EndModal(id);
    return true;
  }

  // "Version 1.2.3"; the bare number when the language text has no place for it.
  std::string VersionText(const std::string& module) const {
    const std::string version = ModuleVersionString(module, "ProductVersion");
    const std::string format = language_.T("_AppVersion");
    return HasStringConversion(format) ? SafeFormat(format, {version}) : version;
  }

  // The thank-you box gets a scroll bar only when its text has more lines than it shows. An
  // edit takes its scroll bar from the style it was created with, so a long list gets a new
  // edit in the same place.
  void ScrollThanksIfLong() {
    const HWND edit = Item(IDC_THANKS_LIST);
    if (edit == nullptr || !TextOverflows(edit)) return;
    RECT place = ChildRect(edit);
    const LONG style = GetWindowLongA(edit, GWL_STYLE) | WS_VSCROLL;
    const LONG exStyle = GetWindowLongA(edit, GWL_EXSTYLE);
    const int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(edit, text.data(), length + 1);
    const HWND scrolled =
        CreateWindowExA(exStyle, "EDIT", text.c_str(), static_cast<DWORD>(style), place.left,
                        place.top, place.right - place.left, place.bottom - place.top, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_THANKS_LIST)),
                        GetModuleHandleA(nullptr), nullptr);
    if (scrolled == nullptr) return;
    SendMessageA(scrolled, WM_SETFONT, SendMessageA(edit, WM_GETFONT, 0, 0), FALSE);
    // Same place in the tab order as the edit it replaces.
    SetWindowPos(scrolled, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(edit);
  }

  RECT ChildRect(HWND child) const {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  static bool TextOverflows(HWND edit) {
    RECT area{};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    const HDC dc = GetDC(edit);
    if (dc == nullptr) return false;
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    if (metrics.tmHeight <= 0) return false;
    const LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    return lines * metrics.tmHeight > area.bottom - area.top;
  }

  void AttachLink(Hyperlink& link, int id, const char* url) {
    link.SetUrl(url);
    // Links open through the program's one shell seam like every other address.
    link.SetOpener(
        [owner = Handle()](const std::string& address) { return OpenWithShell(owner, address); });
    link.Attach(Item(id));
  }

  const LanguageTable& language_;
  Hyperlink website_;
  Hyperlink support_;
};

}  // namespace

void ShowAboutDialog(HWND owner, const LanguageTable& language) {
  AboutDialog dialog(language);
  dialog.RunModal(GetModuleHandleA(nullptr), IDD_ABOUT, owner);
}
