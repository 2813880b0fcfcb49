// What differs between a baseline listing and the entries now: entries added, removed, and
// changed in command, state, program hash, signer or signature state. Entries are paired by kind,
// location and name (location and name ignoring ASCII case), several of one name in their listed
// order.
#pragma once

#include <string>
#include <vector>

#include "console/listed_entry.h"
#include "nlohmann/json.hpp"

struct FieldChange {
  std::string field;  // "command", "state", "sha256", "signer" or "signature"
  std::string before;
  std::string after;
};

struct ChangedEntry {
  ListedEntry entry;  // as it is now
  std::vector<FieldChange> changes;
};

struct Differences {
  std::vector<ListedEntry> added;
  std::vector<ListedEntry> removed;
  std::vector<ChangedEntry> changed;
  bool Empty() const { return added.empty() && removed.empty() && changed.empty(); }
};

Differences CompareListings(const std::vector<ListedEntry>& baseline,
                            const std::vector<ListedEntry>& current);

std::string DifferencesText(const Differences& differences);
nlohmann::ordered_json DifferencesJson(const Differences& differences);
