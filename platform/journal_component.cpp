// Creation of and calls into the journal component, and the process-wide journal pointer.
#include "platform/journal_component.h"

#include "platform/bstr.h"

namespace {

// The property-page interface; the viewer is handed the component's own, if it has one.
constexpr IID kIidPropertyPage = {
    0xb196b28d, 0xbab4, 0x101a, {0xb6, 0x9c, 0x00, 0xaa, 0x00, 0x34, 0x1d, 0x07}};

constexpr DWORD kClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// Never destroyed: a journal still held at exit must not be released after COM is gone, from
// a static destructor; ReleaseJournal is the orderly way out.
std::unique_ptr<JournalComponent>& Slot() {
  static auto* slot = new std::unique_ptr<JournalComponent>();
  return *slot;
}

}  // namespace

std::unique_ptr<ComJournalComponent> ComJournalComponent::Create() {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(kChronivexLogProgId, &clsid))) return nullptr;
  ComPtr<IChronivexLog> log;
  if (FAILED(CoCreateInstance(clsid, nullptr, kClassContext, kIidChronivexLog, log.PutVoid())) ||
      !log) {
    return nullptr;
  }
  return std::make_unique<ComJournalComponent>(std::move(log));
}

HRESULT ComJournalComponent::SetDataDirectory(const std::string& directory) {
  Bstr text(directory);
  if (!text.Get()) return E_OUTOFMEMORY;
  return log_->SetDataDirectory(text.Get());
}

HRESULT ComJournalComponent::WriteRecord(const std::string& logType, const std::string& category,
                                         const std::string& itemType, const std::string& source,
                                         const std::string& content) {
  Bstr texts[] = {Bstr(logType), Bstr(category), Bstr(itemType), Bstr(source), Bstr(content)};
  for (const Bstr& text : texts) {
    if (!text.Get()) return E_OUTOFMEMORY;
  }
  return log_->WriteRecord(texts[0].Get(), texts[1].Get(), texts[2].Get(), texts[3].Get(),
                           texts[4].Get());
}

HRESULT ComJournalComponent::ShowViewer() {
  const ComPtr<IUnknown> site = log_.As<IUnknown>(kIidPropertyPage);
  return log_->ShowViewer(0, site.Get());
}

bool ConnectJournal(const std::string& dataDirectory) {
  ReleaseJournal();
  std::unique_ptr<ComJournalComponent> component = ComJournalComponent::Create();
  if (!component) return false;
  // A journal that cannot keep its records is no journal: run without one.
  if (FAILED(component->SetDataDirectory(dataDirectory))) return false;
  InstallJournal(std::move(component));
  return true;
}

void ReleaseJournal() {
  // Null first, then release, so nothing reaches a journal that is going away.
  std::unique_ptr<JournalComponent> old = std::move(Slot());
  old.reset();
}

JournalComponent* ProcessJournal() {
  return Slot().get();
}

void InstallJournal(std::unique_ptr<JournalComponent> component) {
  ReleaseJournal();
  Slot() = std::move(component);
}

void ShowJournalViewer() {
  if (JournalComponent* journal = ProcessJournal()) journal->ShowViewer();
}
