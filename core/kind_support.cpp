#include "core/kind_support.h"

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

std::vector<std::vector<const StoredRecord*>> GroupByLocation(
    const std::vector<StoredRecord>& all, const std::vector<std::string>& locations) {
  std::vector<std::vector<const StoredRecord*>> groups(locations.size());
  // The locations each distinct path belongs to (usually one or none).
  std::unordered_map<std::string, std::vector<std::size_t>> matches;
  for (const StoredRecord& record : all) {
    auto [it, inserted] = matches.try_emplace(record.location);
    if (inserted) {
      for (std::size_t i = 0; i < locations.size(); ++i) {
        if (SameText(record.location, locations[i])) it->second.push_back(i);
      }
    }
    for (std::size_t i : it->second) groups[i].push_back(&record);
  }
  return groups;
}

bool HasMatchingRecord(DisabledStore& store, KindId kind, const std::string& path,
                       const std::string& name, const std::string& data) {
  for (const StoredRecord& record : store.List(kind, path)) {
    if (SameText(record.valueName, name) && SameText(record.valueData, data)) return true;
  }
  return false;
}
