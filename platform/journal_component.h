// The operation journal component ("Chronivex.Log") as the program uses it, and the one
// process-wide journal. Text is 8-bit in the active code page; it becomes BSTR with CP_ACP.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "journal/journal_interface.h"
#include "platform/com_ptr.h"

class JournalComponent {
 public:
  virtual ~JournalComponent() = default;
  virtual HRESULT SetDataDirectory(const std::string& directory) = 0;
  virtual HRESULT WriteRecord(const std::string& logType, const std::string& category,
                              const std::string& itemType, const std::string& source,
                              const std::string& content) = 0;
  // Asks the component for its property-page interface (null when it has none), passes it to
  // the component's viewer with 0, and returns the viewer's result once the viewer closes.
  virtual HRESULT ShowViewer() = 0;
};

// The component reached through COM.
class ComJournalComponent final : public JournalComponent {
 public:
  explicit ComJournalComponent(ComPtr<IChronivexLog> log) : log_(std::move(log)) {}

  // Creates the class registered for "Chronivex.Log" (class context 7: in-process server and
  // handler, local server). Null when the ProgID is unknown or creation fails. COM must be up.
  static std::unique_ptr<ComJournalComponent> Create();

  HRESULT SetDataDirectory(const std::string& directory) override;
  HRESULT WriteRecord(const std::string& logType, const std::string& category,
                      const std::string& itemType, const std::string& source,
                      const std::string& content) override;
  HRESULT ShowViewer() override;

  IChronivexLog* Get() const { return log_.Get(); }

 private:
  ComPtr<IChronivexLog> log_;
};

// The process-wide journal: created once at start-up, released before COM shuts down.
// Creates the component and gives it dataDirectory; on any failure (not registered, creation or
// SetDataDirectory failing) there is no journal and false comes back. Replaces a journal held
// before.
bool ConnectJournal(const std::string& dataDirectory);
// Releases the process-wide journal (null afterwards). Call before CoUninitialize.
void ReleaseJournal();
// The process-wide journal for the life of a scope: connected at its start (it may stay absent),
// released at its end; lives inside a ComSession.
class JournalSession {
 public:
  explicit JournalSession(const std::string& dataDirectory) { ConnectJournal(dataDirectory); }
  ~JournalSession() { ReleaseJournal(); }
  JournalSession(const JournalSession&) = delete;
  JournalSession& operator=(const JournalSession&) = delete;
};
// The process-wide journal; null when there is none.
JournalComponent* ProcessJournal();
// Makes component the process-wide journal (tests put stand-ins here); null removes it.
void InstallJournal(std::unique_ptr<JournalComponent> component);
// The "_LogViewer" command: shows the journal's viewer; does nothing without a journal.
void ShowJournalViewer();
