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

std::vector<StoredRecord> DisabledStore::List(KindId kind, const std::string& location) {
  std::vector<StoredRecord> records = ListAll(kind);
  std::erase_if(records, [&location](const StoredRecord& record) {
    return lstrcmpiA(record.location.c_str(), location.c_str()) != 0;
  });
  return records;
}
