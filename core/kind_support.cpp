#include "core/kind_support.h"

#include <unordered_map>

FillingScope::FillingScope(RowList& rows) : rows_(rows) {
  rows_.SetFilling(true);
  rows_.BeginUpdate();
  rows_.DeleteAll();
}

FillingScope::~FillingScope() {
  rows_.EndUpdate();
  rows_.SetFilling(false);
}

void ReselectAfterRemove(RowList& rows, int index) {
  const int count = rows.Count();
  if (index >= count) index = count - 1;
  if (index >= 0) rows.SelectAndShow(index);
}

std::vector<std::vector<const StoredRecord*>> GroupByLocation(
    const std::vector<StoredRecord>& all, const std::vector<std::string>& locations,
    const std::function<std::string(const std::string&)>& key) {
  std::vector<std::vector<const StoredRecord*>> groups(locations.size());
  std::vector<std::string> keys;
  keys.reserve(locations.size());
  for (const std::string& location : locations) keys.push_back(key(location));
  // The locations each distinct record location belongs to (usually one or none).
  std::unordered_map<std::string, std::vector<std::size_t>> matches;
  for (const StoredRecord& record : all) {
    auto [it, inserted] = matches.try_emplace(record.location);
    if (inserted) {
      const std::string recordKey = key(record.location);
      for (std::size_t i = 0; i < keys.size(); ++i) {
        if (SameText(recordKey, keys[i])) it->second.push_back(i);
      }
    }
    for (std::size_t i : it->second) groups[i].push_back(&record);
  }
  return groups;
}
