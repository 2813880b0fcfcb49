#include "ui/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "core/catalogue.h"
#include "core/kind_factory.h"
#include "core/module_paths.h"
#include "platform/com_session.h"
#include "platform/file_system.h"
#include "platform/journal_component.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/win_handles.h"
#include "platform/xml_dom.h"
#include "store/journal_client.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "ui/main_window.h"
#include "ui/message_loop.h"
#include "ui/startup_marks.h"

int RunQuorvane(HINSTANCE instance) {
  StartupMarks marks(StartupMarks::FileFromEnvironment());
  marks.Mark("entry");
  UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
  // A second instance leaves at once, showing nothing; without a mutex the program carries on.
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  ComSession com;
  marks.Mark("com");
  LanguageTable& language = AppLanguage();
  language.SetFile(LanguageFilePath());

  if (!XmlServiceAvailable()) {
    MessageBoxA(nullptr, language.T("_NotInstallXML2").c_str(), language.T("_ToolQuorvane").c_str(),
                MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  marks.Mark("xml");

  JournalSession journal(JournalDataDirectory());
  marks.Mark("journal");

  // The bar and cool classes, and the list and tree classes the forms are made of.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES |
                                                      ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  marks.Mark("controls");

  int exitCode = 0;
  {
    WindowModule module(instance);
    Win32Registry registry;
    Win32FileSystem files;
    Win32ShellLinks links;
    XmlDisabledStore store(StoreFilePath());
    JournalClient journalClient(ProcessJournal(), language);
    KindServices services{registry, files, links, store, journalClient, language};
    std::vector<CatalogueNode> catalogue = BuildCatalogue(registry);
    const ApprovedPlaces approved = CatalogueApprovedPlaces(catalogue);
    services.approved = &approved;
    marks.Mark("catalogue");
    std::vector<std::unique_ptr<EntryKind>> kinds = CreateEntryKinds(catalogue, services);
    marks.Mark("kinds");
    exitCode =
        RunMainWindow(instance, std::move(catalogue), std::move(kinds), language, &marks, &store);
  }
  return exitCode;
}
