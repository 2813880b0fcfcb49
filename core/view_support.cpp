#include "core/view_support.h"

#include <windows.h>

FillingScope::FillingScope(RowList& rows) : rows_(rows) {
  rows_.SetFilling(true);
  rows_.BeginUpdate();
  rows_.DeleteAll();
}

FillingScope::~FillingScope() {
  rows_.EndUpdate();
  rows_.SetFilling(false);
}

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void ReselectAfterRemove(RowList& rows, int index) {
  const int count = rows.Count();
  if (index >= count) index = count - 1;
  if (index >= 0) rows.SelectAndShow(index);
}

std::vector<StoredRecord> RecordsAt(const std::vector<StoredRecord>& all,
                                    const std::string& location) {
  std::vector<StoredRecord> records;
  for (const StoredRecord& record : all) {
    if (SameText(record.path, location)) records.push_back(record);
  }
  return records;
}

bool HasMatchingRecord(DisabledStore& store, RecordKind kind, const std::string& path,
                       const std::string& name, const std::string& data) {
  for (const StoredRecord& record : store.List(kind, path)) {
    if (SameText(record.valueName, name) && SameText(record.valueData, data)) return true;
  }
  return false;
}
