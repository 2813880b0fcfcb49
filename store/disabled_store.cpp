#include "store/disabled_store.h"

#include <windows.h>

const char* RecordElementName(KindId kind) {
  switch (kind) {
    case KindId::kRegistry:
      return "disabledregistryitem";
    case KindId::kStartupFolder:
      return "disabledstartupfolderitem";
    case KindId::kListValue:
      return "disabledwininiitem";
  }
  return "disabledregistryitem";
}

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool RecordMatches(const StoredRecord& record, const std::string& location, const std::string& name,
                   const std::string& data) {
  // Path first: most records differ there.
  return SameText(record.location, location) && SameText(record.valueName, name) &&
         SameText(record.valueData, data);
}

std::optional<StoredRecord> DisabledStore::FirstMatching(KindId kind, const std::string& path,
                                                         const std::string& name,
                                                         const std::string& data) {
  for (StoredRecord& record : ListAll(kind)) {
    if (RecordMatches(record, path, name, data)) return std::move(record);
  }
  return std::nullopt;
}

std::vector<StoredRecord> DisabledStore::List(KindId kind, const std::string& location) {
  std::vector<StoredRecord> records = ListAll(kind);
  std::erase_if(records, [&location](const StoredRecord& record) {
    return !SameText(record.location, location);
  });
  return records;
}
