// Small pieces the registry and list-value kinds share: the filling scope of a Refresh, the
// reselection after Remove, and record lookups in the disabled-entry store.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/row_list.h"
#include "store/disabled_store.h"

// Holds the filling flag and redraw-off for the whole refill; the rows are emptied on entry.
class FillingScope {
 public:
  explicit FillingScope(RowList& rows);
  ~FillingScope();
  FillingScope(const FillingScope&) = delete;
  FillingScope& operator=(const FillingScope&) = delete;

 private:
  RowList& rows_;
};

// Location strings, value names and store attributes compare ignoring case (lstrcmpiA).
bool SameText(const std::string& a, const std::string& b);

// Selects the row at index after a Remove, or the last row when the list became shorter.
void ReselectAfterRemove(RowList& rows, int index);

// For each location, the records of `all` whose path equals it ignoring case, in document
// order. Each distinct path is compared with the locations once, so a large store costs one
// lookup per record.
std::vector<std::vector<const StoredRecord*>> GroupByLocation(
    const std::vector<StoredRecord>& all, const std::vector<std::string>& locations);

// True when the store holds a record of the kind matching (path, name, data) ignoring case.
// Tells "no record to act on" apart from "the change could not be saved".
bool HasMatchingRecord(DisabledStore& store, KindId kind, const std::string& path,
                       const std::string& name, const std::string& data);
