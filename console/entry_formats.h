// The three forms of a listing: an aligned table for a person, RFC 4180 CSV and one JSON
// object. All text is UTF-8.
#pragma once

#include <array>
#include <string>

#include "console/listed_entry.h"
#include "nlohmann/json.hpp"

// The table's header texts: state, location, name, command, publisher.
using TableHeads = std::array<std::string, 5>;

std::string TextTable(const std::vector<ListedEntry>& entries, const TableHeads& heads);
// A header row, then one record per entry, CRLF after each; sha256 only with withHash.
std::string CsvTable(const std::vector<ListedEntry>& entries, bool withHash);
// One CSV field, quoted where it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

nlohmann::ordered_json EntryJson(const ListedEntry& entry, bool withHash);
nlohmann::ordered_json ListingJson(const Listing& listing, bool withHash);
// The listing a JSON document holds; nullopt when it is not one (missing entries array or an
// entry without kind, location, name, command or state).
std::optional<Listing> ListingFromJson(const nlohmann::json& document);
