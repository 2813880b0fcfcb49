#include "ui/main_window.h"

#include <shellapi.h>

#include "core/module_paths.h"
#include "platform/journal_component.h"
#include "res/resource.h"
#include "store/language_table.h"
#include "ui/about_dialog.h"
#include "ui/centre_window.h"
#include "ui/dpi.h"
#include "ui/shell_opener.h"
#include "ui/startup_marks.h"
#include "ui/translate.h"
#include "ui/version_info.h"
#include "ui/web_links.h"

namespace {

constexpr int kTreeImageSize = 32;
constexpr int kTreeImageCount = 10;
constexpr COLORREF kTreeImageMask = RGB(0, 255, 0);
constexpr int kSplitterPosition = 250;

// Keys a Windows user expects on top of the menu: they send the same commands.
HACCEL CreateMainAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY, VK_F5, IDC_REFRESH},
      {FVIRTKEY, VK_DELETE, IDC_REMOVE},
      {FVIRTKEY, VK_INSERT, IDC_ADDNEW},
      {FVIRTKEY, VK_F2, IDC_MODIFY},
      {FVIRTKEY | FALT, VK_RETURN, IDC_PROPERTY},
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
      return true;
    default:
      return false;
  }
}

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

  splitter_.SetExtendedStyle(0);
  splitter_.SetPanes(tree_, host_.Handle(), false);
  splitter_.SetPosition(ScaleForWindow(Handle(), kSplitterPosition), true);

  // Found by its key before the menu is translated.
  languageMenu_.Fill(FindSubmenu(GetMenu(Handle()), "_Language"));
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
                  StartupMarks* marks) {
  MessageLoop loop;
  WindowModule* module = WindowModule::Current();
  if (module) module->SetLoop(&loop);
  int exitCode = 0;
  {
    MainWindow main(std::move(catalogue), std::move(kinds), language);
    main.SetMarks(marks);
    if (main.Create(instance)) {
      if (marks) marks->Mark("created");
      ShowWindow(main.Handle(), SW_SHOWMAXIMIZED);
      if (marks) marks->Mark("shown");
      exitCode = loop.Run();
    }
  }
  if (module) module->SetLoop(nullptr);
  return exitCode;
}
