// The order of a list sorted by one column, as Explorer sorts: numbers inside texts by their
// value ("App 9" before "App 10"), letters by the user's locale, case ignored.
#pragma once

#include <string>
#include <vector>

// The row indices of texts in sorted order, ascending or descending; rows with equal texts keep
// their order either way.
std::vector<int> SortedRowOrder(const std::vector<std::string>& texts, bool ascending);
