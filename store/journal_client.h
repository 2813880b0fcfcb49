// The Journal the entry kinds write to, over the journal component: looks up the record's texts
// in the language table and formats the content safely.
#pragma once

#include "platform/journal_component.h"
#include "store/journal.h"
#include "store/language_table.h"

class JournalClient final : public Journal {
 public:
  // component may be null (no journal installed): then Write does nothing. Both must outlive
  // the client; pass ProcessJournal() for the program's journal.
  JournalClient(JournalComponent* component, const LanguageTable& language)
      : component_(component), language_(language) {}

  // Sends T("_LogType"), T("_LogCategory"), T("_LogItemType<kind>"), T("_LogSource") and
  // SafeFormat(T(contentKey), args). A failure from the component is dropped: the entry's
  // change is complete by then and stays.
  void Write(JournalKind kind, const std::string& contentKey,
             const std::vector<std::string>& args) override;

 private:
  JournalComponent* component_;
  const LanguageTable& language_;
};
