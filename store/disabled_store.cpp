#include "store/disabled_store.h"

#include <windows.h>

const char* RecordElementName(RecordKind kind) {
  switch (kind) {
    case RecordKind::kRegistry:
      return "disabledregistryitem";
    case RecordKind::kStartupFolder:
      return "disabledstartupfolderitem";
    case RecordKind::kListValue:
      return "disabledwininiitem";
  }
  return "disabledregistryitem";
}

std::vector<StoredRecord> DisabledStore::List(RecordKind kind, const std::string& location) {
  std::vector<StoredRecord> records = ListAll(kind);
  std::erase_if(records, [&location](const StoredRecord& record) {
    return lstrcmpiA(record.path.c_str(), location.c_str()) != 0;
  });
  return records;
}
