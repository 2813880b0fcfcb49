#include "ui/edit_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "res/resource.h"
#include "store/language_table.h"
#include "ui/centre_window.h"
#include "ui/dialog_base.h"
#include "ui/dialog_layout.h"
#include "ui/entry_texts.h"
#include "ui/translate.h"

namespace {

// How the controls follow a resized dialog: the fields widen, the command line also grows in
// height, and what is below it moves down with the buttons.
const std::vector<AnchoredControl> kLayout = {
    {IDC_DESCRIPTION, kGrowX},
    {IDC_LINE_TOP, kGrowX},
    {IDC_EDIT_TYPE, kGrowX},
    {IDC_EDIT_NAME, kGrowX},
    {IDC_EDIT_PATH, kGrowBoth},
    {IDC_BROWSE, kMoveX},
    {IDC_SECTION_LABEL, kMoveY},
    {IDC_EDIT_LOCATION, kMoveY | kGrowX},
    {IDC_LINE_BOTTOM, kMoveY | kGrowX},
    {IDOK, kMoveBoth},
    {IDCANCEL, kMoveBoth},
};

// Room for the longest path the open-file dialog can return.
constexpr DWORD kBrowseBufferSize = 32768;

std::string ItemText(HWND dialog, int id) {
  const HWND item = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(item);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(item, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

class EditDialog final : public DialogBase {
 public:
  EditDialog(const LanguageTable& language, EntryFields fields, bool presetNameAndPath)
      : language_(language), fields_(std::move(fields)), preset_(presetNameAndPath) {}

  const EntryFields& Fields() const { return fields_; }

 private:
  BOOL OnInitDialog() override {
    CentreOverOwner(Handle());
    TranslateWindow(language_, Handle());
    layout_.Install(Handle(), kLayout);
    // Lifts the edits' default limit, so a long command line is shown and returned whole.
    for (const int id : {IDC_EDIT_TYPE, IDC_EDIT_LOCATION, IDC_EDIT_NAME, IDC_EDIT_PATH}) {
      SendDlgItemMessageA(Handle(), id, EM_SETLIMITTEXT, 0, 0);
    }
    // Set after the translation, so these texts are never taken for language keys.
    SetDlgItemTextA(Handle(), IDC_EDIT_TYPE, fields_.type.c_str());
    SetDlgItemTextA(Handle(), IDC_EDIT_LOCATION, fields_.location.c_str());
    if (preset_) {
      SetDlgItemTextA(Handle(), IDC_EDIT_NAME, fields_.name.c_str());
      SetDlgItemTextA(Handle(), IDC_EDIT_PATH, fields_.data.c_str());
    }
    // The user starts at the name where it can be typed, at Close in the Property dialog.
    const HWND name = Item(IDC_EDIT_NAME);
    const bool editable = (GetWindowLongA(name, GWL_STYLE) & ES_READONLY) == 0;
    SetFocus(editable ? name : Item(IDCANCEL));
    return FALSE;
  }

  bool OnCommand(int id, int /*code*/, HWND /*control*/) override {
    switch (id) {
      case IDOK:
        // The Property dialog has no OK button; Enter there must not act as one.
        if (Item(IDOK) != nullptr) OnOk();
        return true;
      case IDCANCEL:
        EndModal(IDCANCEL);
        return true;
      case IDC_BROWSE:
        if (Item(IDC_BROWSE) != nullptr) Browse();
        return true;
      default:
        return false;
    }
  }

  void OnOk() {
    fields_.name = ItemText(Handle(), IDC_EDIT_NAME);
    // The field wraps long command lines on screen only; a line break typed into it is none.
    fields_.data = SingleLine(ItemText(Handle(), IDC_EDIT_PATH));
    // Emptiness only: a name or path of blanks is the user's choice.
    const char* problem = nullptr;
    if (fields_.name.empty()) {
      problem = "_ApplicationNameInvalid";
    } else if (fields_.data.empty()) {
      problem = "_ApplicationPathInvalid";
    }
    if (problem == nullptr) {
      EndModal(IDOK);
      return;
    }
    MessageBoxA(Handle(), language_.T(problem).c_str(), language_.T("_ToolQuorvane").c_str(),
                MB_OK | MB_ICONINFORMATION);
  }

  void Browse() {
    std::vector<char> file(kBrowseBufferSize, '\0');
    // The filter texts are fixed: a pair of description and pattern each, ending in two zeros.
    static const char kFilter[] = "Applications (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kBrowseBufferSize;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return;
    // Quoted when it has blanks, so the command line starts the file that was picked.
    SetDlgItemTextA(Handle(), IDC_EDIT_PATH, QuotedCommandPath(file.data()).c_str());
  }

  bool OnSize(UINT type, int width, int height) override {
    layout_.OnSize(type, width, height);
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) override {
    if (message != WM_GETMINMAXINFO) return FALSE;
    layout_.OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    return TRUE;
  }

  const LanguageTable& language_;
  EntryFields fields_;
  const bool preset_;
  DialogLayout layout_;
};

INT_PTR Run(EditDialog& dialog, int templateId, HWND owner) {
  return dialog.RunModal(GetModuleHandleA(nullptr), templateId, owner);
}

}  // namespace

std::optional<EntryInput> ShowAddDialog(HWND owner, const LanguageTable& language,
                                        const std::string& type, const std::string& location) {
  EditDialog dialog(language, EntryFields{type, location, {}, {}}, false);
  if (Run(dialog, IDD_ADD, owner) != IDOK) return std::nullopt;
  return EntryInput{dialog.Fields().name, dialog.Fields().data};
}

std::optional<EntryInput> ShowModifyDialog(HWND owner, const LanguageTable& language,
                                           const EntryFields& fields) {
  EditDialog dialog(language, fields, true);
  if (Run(dialog, IDD_MODIFY, owner) != IDOK) return std::nullopt;
  return EntryInput{dialog.Fields().name, dialog.Fields().data};
}

void ShowPropertyDialog(HWND owner, const LanguageTable& language, const EntryFields& fields) {
  EditDialog dialog(language, fields, true);
  Run(dialog, IDD_PROPERTY, owner);
}
