// One journal record per completed entry operation.
#include "store/journal_client.h"

#include "store/safe_format.h"

void JournalClient::Write(JournalKind kind, const std::string& contentKey,
                          const std::vector<std::string>& args) {
  if (!component_) return;
  const std::string content = SafeFormat(language_.T(contentKey), args);
  const std::string source = language_.T("_LogSource");
  const std::string itemType = language_.T("_LogItemType" + std::to_string(static_cast<int>(kind)));
  const std::string category = language_.T("_LogCategory");
  const std::string logType = language_.T("_LogType");
  component_->WriteRecord(logType, category, itemType, source, content);
}
