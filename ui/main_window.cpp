#include "ui/main_window.h"

#include <shellapi.h>

#include <algorithm>

#include "core/module_paths.h"
#include "platform/journal_component.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/about_dialog.h"
#include "ui/centre_window.h"
#include "ui/command_states.h"
#include "ui/dpi.h"
#include "ui/shell_opener.h"
#include "ui/startup_marks.h"
#include "ui/translate.h"
#include "ui/version_info.h"
#include "ui/web_links.h"
#include "ui/window_placement.h"

namespace {

constexpr int kTreeImageSize = 32;
constexpr int kTreeImageCount = 10;
constexpr COLORREF kTreeImageMask = RGB(0, 255, 0);
constexpr int kSplitterPosition = 250;
// Narrower than this (at 96 DPI) the tree shows too little of its labels to be of use.
constexpr int kMinimumTreeWidth = 120;

// The width and height a window's frame (and, for the main window, its menu as it is wrapped
// now) adds to its client area.
SIZE FrameSize(HWND window) {
  RECT outer{}, inner{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &inner);
  return SIZE{(outer.right - outer.left) - inner.right, (outer.bottom - outer.top) - inner.bottom};
}

// The same for the view host from its styles: it may not have been given a size yet.
SIZE BorderSize(HWND window) {
  RECT rect = {0, 0, 0, 0};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Keys a Windows user expects on top of the menu: they send the same commands.
HACCEL CreateMainAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY, VK_F5, IDC_REFRESH},
      {FVIRTKEY, VK_DELETE, IDC_REMOVE},
      {FVIRTKEY, VK_INSERT, IDC_ADDNEW},
      {FVIRTKEY, VK_F2, IDC_MODIFY},
      {FVIRTKEY | FALT, VK_RETURN, IDC_PROPERTY},
      {FVIRTKEY | FCONTROL, 'J', IDC_JUMPTO},
      {FVIRTKEY, VK_F1, IDM_HELP},
  };
  return CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
}

bool IsForwardedCommand(int id) {
  switch (id) {
    case IDC_REMOVE:
    case IDC_REFRESH:
    case IDC_ADDNEW:
    case IDC_MODIFY:
    case IDC_PROPERTY:
    case IDC_ABOUTFILE:
    case IDC_ENABLE:
    case IDC_DISABLE:
    case IDC_JUMPTO:
      return true;
    default:
      return false;
  }
}

// The "_Operation" popup: the second of the main menu.
constexpr int kOperationPopup = 1;

}  // namespace

MainWindow::MainWindow(std::vector<CatalogueNode> catalogue,
                       std::vector<std::unique_ptr<EntryKind>> kinds, const LanguageTable& language)
    : language_(language),
      languageFiles_(files_, ExeDirectory() + "\\languages", LanguageFilePath()),
      languageMenu_(languageFiles_, language_),
      catalogue_(std::move(catalogue)),
      kinds_(std::move(kinds)) {
  for (auto& kind : kinds_) views_.push_back(std::make_unique<EntryView>(*kind, language_));
}

MainWindow::~MainWindow() {
  if (MessageLoop* loop = WindowModule::Current() ? WindowModule::Current()->Loop() : nullptr) {
    loop->RemoveFilter(this);
    loop->RemoveIdleHandler(this);
  }
  // The forms are children of this window: close them while their objects still exist.
  if (Handle()) DestroyWindow(Handle());
  if (images_) ImageList_Destroy(images_);
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

HWND MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  return CreateModeless(instance, IDD_MAIN, nullptr);
}

BOOL MainWindow::OnInitDialog() {
  Mark("dialog");
  CentreOverOwner(Handle());
  SetIcons();
  if (MessageLoop* loop = WindowModule::Current() ? WindowModule::Current()->Loop() : nullptr) {
    loop->AddFilter(this);
    loop->AddIdleHandler(this);
  }
  accelerators_ = CreateMainAccelerators();

  RECT client{};
  GetClientRect(Handle(), &client);
  splitter_.Create(instance_, Handle(), client);

  tree_ =
      CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                      WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                      0, 0, 0, 0, splitter_.Handle(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TREE)), instance_, nullptr);
  images_ =
      ImageList_Create(kTreeImageSize, kTreeImageSize, ILC_COLOR24 | ILC_MASK, kTreeImageCount, 0);
  if (HBITMAP strip = LoadBitmapA(instance_, MAKEINTRESOURCEA(IDB_TREE_IMAGES))) {
    ImageList_AddMasked(images_, strip, kTreeImageMask);
    DeleteObject(strip);
  }
  SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
  BuildTree();
  Mark("tree");

  host_.Create(instance_, splitter_.Handle());
  host_.SetViewCount(ViewCount());

  // The first top-level node: its selection shows view 0 and refreshes it.
  const auto first = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(TVI_ROOT)));
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
  Mark("filled");

  if (settings_) remembered_ = settings_->ReadSettings();
  SetHideWindowsEntries(remembered_ && remembered_->hideWindowsEntries.value_or(false));
  const int position96 = remembered_ && remembered_->splitterPosition96
                             ? *remembered_->splitterPosition96
                             : kSplitterPosition;
  splitter_.SetExtendedStyle(0);
  splitter_.SetPanes(tree_, host_.Handle(), false);
  SetPaneMinimums();
  splitter_.SetPosition(ScaleForWindow(Handle(), position96), true);

  // Found by its key before the menu is translated; filled each time it opens, so start-up
  // reads no translation.
  languagePopup_ = FindSubmenu(GetMenu(Handle()), "_Language");
  TranslateWindow(language_, Handle());
  TranslateMenu(language_, GetMenu(Handle()));
  DrawMenuBar(Handle());
  Mark("translated");
  SetTitle();
  return TRUE;
}

void MainWindow::SetIcons() {
  auto load = [this](int sizeX, int sizeY) {
    return static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                         GetSystemMetrics(sizeX), GetSystemMetrics(sizeY),
                                         LR_DEFAULTCOLOR | LR_SHARED));
  };
  SendMessageA(Handle(), WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(load(SM_CXICON, SM_CYICON)));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(load(SM_CXSMICON, SM_CYSMICON)));
}

void MainWindow::BuildTree() {
  // The tree lays itself out once, when redrawing is switched back on, not after every node.
  SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
  treeItems_.assign(catalogue_.size(), nullptr);
  // Each node after its parent, so appending every node at its parent's end gives the tree.
  for (const int i : TreeOrder(catalogue_)) {
    const CatalogueNode& node = catalogue_.at(static_cast<std::size_t>(i));
    std::string label = language_.T(node.labelKey);
    TVINSERTSTRUCTA insert{};
    insert.hParent = node.parent < 0 ? TVI_ROOT : treeItems_.at(node.parent);
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = label.data();
    insert.item.iImage = node.image;
    insert.item.iSelectedImage = node.image;
    insert.item.lParam = node.viewIndex;
    treeItems_[i] = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  for (int parent : ExpansionOrder(catalogue_)) {
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(treeItems_.at(parent)));
  }
  SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
}

// A form is made the first time its node is shown, so start-up builds only the one it shows. It
// starts empty: the selection that shows it refreshes it at once.
HWND MainWindow::EnsureView(int index) {
  EntryView& view = *views_.at(static_cast<std::size_t>(index));
  if (!view.Handle()) {
    view.DeferFirstFill();
    host_.SetView(index, view.Create(instance_, host_.Handle()));
    Mark("form");
  }
  return view.Handle();
}

bool MainWindow::OnNotify(NMHDR* header, LRESULT* /*result*/) {
  if (header->idFrom == IDC_TREE &&
      (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW)) {
    SwitchView(*reinterpret_cast<NMTREEVIEWA*>(header));
    return true;
  }
  return false;
}

void MainWindow::SwitchView(const NMTREEVIEWA& change) {
  if (!change.itemNew.hItem) return;
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = change.itemNew.hItem;
  SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  const int index = static_cast<int>(item.lParam);
  if (index < 0 || index >= ViewCount()) return;
  EnsureView(index);
  host_.Show(index);
  // Every selection, also of the node already shown, rebuilds that view's list.
  if (HWND view = host_.CurrentView()) SendMessageA(view, WM_COMMAND, IDC_REFRESH, 0);
}

bool MainWindow::OnCommand(int id, int /*code*/, HWND /*control*/) {
  if (languageMenu_.OnCommand(Handle(), id)) return true;
  if (IsForwardedCommand(id)) {
    HWND view = host_.CurrentView();
    if (view && IsWindow(view)) SendMessageA(view, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
  }
  switch (id) {
    case IDM_EXIT:
      Quit();
      return true;
    case IDM_HELP:
      OpenWithShell(Handle(), HelpFilePath());
      return true;
    case IDM_WEBSITE:
      OpenWithShell(Handle(), kProductPageUrl);
      return true;
    case IDM_SUPPORT:
      OpenWithShell(Handle(), kContactPageUrl);
      return true;
    case IDM_LOGVIEWER:
      ShowJournalViewer();
      return true;
    case IDM_HIDEWINDOWS:
      SetHideWindowsEntries(!hideWindowsEntries_);
      return true;
    case IDM_ABOUT:
      ShowAboutDialog(GetActiveWindow(), language_);
      return true;
    default:
      return false;
  }
}

bool MainWindow::OnSize(UINT /*type*/, int width, int height) {
  if (splitter_.Handle()) {
    SetWindowPos(splitter_.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }
  return true;
}

// Both panes stay usable: the tree keeps a readable width, the host room for a whole form.
void MainWindow::SetPaneMinimums() {
  SIZE form = {0, 0};
  if (HWND shown = host_.CurrentView()) {
    for (const auto& view : views_) {
      if (view->Handle() == shown) form = view->MinimumClientSize();
    }
  }
  splitter_.SetMinimumPanes(ScaleForWindow(Handle(), kMinimumTreeWidth),
                            form.cx + BorderSize(host_.Handle()).cx);
}

SIZE MainWindow::MinimumWindowSize() const {
  SIZE form = {0, 0};
  for (const auto& view : views_) {
    if (view->Handle()) {
      form = view->MinimumClientSize();
      break;
    }
  }
  const SIZE host = BorderSize(host_.Handle());
  const SIZE frame = FrameSize(Handle());
  const int tree = ScaleForWindow(Handle(), kMinimumTreeWidth);
  return SIZE{frame.cx + tree + splitter_.BarWidth() + splitter_.BarEdge() + form.cx + host.cx,
              frame.cy + form.cy + host.cy};
}

INT_PTR MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITMENUPOPUP:
      if (languagePopup_ && reinterpret_cast<HMENU>(wParam) == languagePopup_) {
        languageMenu_.Fill(languagePopup_);
        return TRUE;
      }
      if (reinterpret_cast<HMENU>(wParam) == GetSubMenu(GetMenu(Handle()), kOperationPopup)) {
        // The commands the shown view's buttons offer; with no view only those needing no row.
        const int index = host_.Current();
        const SelectionState selection =
            index >= 0 && index < ViewCount() && views_[index]->Handle()
                ? views_[index]->Selection()
                : SelectionState{};
        ApplyToMenu(reinterpret_cast<HMENU>(wParam), selection);
        return TRUE;
      }
      return FALSE;
    case WM_GETMINMAXINFO:
      if (host_.Handle()) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE minimum = MinimumWindowSize();
        limits->ptMinTrackSize.x = std::max<LONG>(limits->ptMinTrackSize.x, minimum.cx);
        limits->ptMinTrackSize.y = std::max<LONG>(limits->ptMinTrackSize.y, minimum.cy);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      SaveSettings();
      return FALSE;
    default:
      return FALSE;
  }
}

void MainWindow::Show() {
  if (!Handle()) return;
  ShowAtPlacement(Handle(), remembered_ ? remembered_->window : std::nullopt, MinimumWindowSize());
}

void MainWindow::SetHideWindowsEntries(bool hide) {
  hideWindowsEntries_ = hide;
  for (auto& view : views_) view->SetHideWindowsEntries(hide);
  CheckMenuItem(GetMenu(Handle()), IDM_HIDEWINDOWS,
                MF_BYCOMMAND | (hide ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::SaveSettings() {
  if (!settings_ || !splitter_.Handle()) return;
  WindowSettings now;
  now.window = CapturePlacement(Handle());
  now.splitterPosition96 =
      MulDiv(splitter_.RequestedPosition(), 96, static_cast<int>(DpiForWindow(Handle())));
  now.hideWindowsEntries = hideWindowsEntries_;
  // A store that cannot be written keeps what it had; the window closes all the same.
  settings_->WriteSettings(now);
}

bool MainWindow::OnIdle() {
  // The queue first runs empty once everything shown has been painted.
  if (marks_) marks_->MarkOnce("idle");
  return false;
}

void MainWindow::Mark(const char* name) {
  if (marks_) marks_->Mark(name);
}

void MainWindow::Quit() {
  EndModal(IDM_EXIT);  // destroys the modeless main window
  PostQuitMessage(IDM_EXIT);
}

void MainWindow::SetTitle() {
  const std::string module = ModulePath();
  const std::string title = ModuleVersionString(module, "ProductName") + " (" +
                            ModuleVersionString(module, "ProductVersion") + ")";
  SetWindowTextA(Handle(), title.c_str());
}

bool MainWindow::PreTranslateMessage(MSG& message) {
  if (!Handle()) return false;
  // Keys work wherever the focus is inside the main window, not inside its modal dialogs.
  if (accelerators_ && (message.hwnd == Handle() || IsChild(Handle(), message.hwnd)) &&
      TranslateAcceleratorA(Handle(), accelerators_, &message)) {
    return true;
  }
  return IsDialogMessageA(Handle(), &message) != FALSE;
}

int RunMainWindow(HINSTANCE instance, std::vector<CatalogueNode> catalogue,
                  std::vector<std::unique_ptr<EntryKind>> kinds, const LanguageTable& language,
                  StartupMarks* marks, SettingsStore* settings) {
  MessageLoop loop;
  WindowModule* module = WindowModule::Current();
  if (module) module->SetLoop(&loop);
  int exitCode = 0;
  {
    MainWindow main(std::move(catalogue), std::move(kinds), language);
    main.SetMarks(marks);
    main.SetSettingsStore(settings);
    if (main.Create(instance)) {
      if (marks) marks->Mark("created");
      main.Show();
      if (marks) marks->Mark("shown");
      exitCode = loop.Run();
    }
  }
  if (module) module->SetLoop(nullptr);
  return exitCode;
}
