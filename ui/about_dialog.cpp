#include "ui/about_dialog.h"

#include <string>

#include "core/module_paths.h"
#include "res/resource.h"
#include "store/language_table.h"
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

    const std::string module = ModulePath();
    SetDlgItemTextA(Handle(), IDC_APP_NAME, ModuleVersionString(module, "ProductName").c_str());
    SetDlgItemTextA(Handle(), IDC_APP_VERSION,
                    ModuleVersionString(module, "ProductVersion").c_str());

    AttachLink(website_, IDC_WEBSITE_LINK, kProductPageUrl);
    AttachLink(support_, IDC_SUPPORT_LINK, kSupportPageUrl);
    // The close button, not the first link, has the focus at first.
    SetFocus(Item(IDCANCEL));
    return FALSE;
  }

  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    if (id != IDCANCEL) return false;
    EndModal(IDCANCEL);
    return true;
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
