// Small pieces of the entry kinds' outline: the filling scope of a Refresh, the reselection
// after Remove, and grouping store records by location.
#pragma once

#include <functional>
#include <string>
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

// Selects the row at index after a Remove, or the last row when the list became shorter.
void ReselectAfterRemove(RowList& rows, int index);

// For each location, the records of `all` whose location equals it ignoring case once both are
// put in their key form, in document order. Each distinct record location is compared with the
// locations once, so a large store costs one lookup per record.
std::vector<std::vector<const StoredRecord*>> GroupByLocation(
    const std::vector<StoredRecord>& all, const std::vector<std::string>& locations,
    const std::function<std::string(const std::string&)>& key);
