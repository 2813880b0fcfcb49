// Gathers the entries of every leaf location of the catalogue through the entry kinds.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/listed_entry.h"
#include "core/catalogue.h"
#include "core/entry_kind.h"

class LanguageTable;

// The catalogue nodes no other node has as parent, in tree order: together they cover every
// location once, where a parent's view would repeat its children's entries.
std::vector<int> LeafNodes(const std::vector<CatalogueNode>& nodes);

// The leaf node whose location equals location ignoring case (8-bit text); nullopt for none.
std::optional<int> LeafAt(const std::vector<CatalogueNode>& nodes, const std::string& location);

struct ListingFilter {
  std::optional<std::string> location;  // 8-bit text; only this leaf's entries
  StateFilter state = StateFilter::kAll;
  bool hash = false;
  bool unsignedOnly = false;  // only entries whose program is not verified
};

// Every entry the filter lets through, leaf by leaf in tree order. notices receives what a
// location says about itself (a store file that cannot be read), once each.
std::vector<ListedEntry> ListEntries(const std::vector<CatalogueNode>& nodes,
                                     const std::vector<std::unique_ptr<EntryKind>>& kinds,
                                     const LanguageTable& language, const ListingFilter& filter,
                                     std::vector<std::string>* notices);

// The computer, user and time (now, UTC) of a listing.
Listing StampedListing(std::vector<ListedEntry> entries);
