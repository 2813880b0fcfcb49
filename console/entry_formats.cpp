#include "console/entry_formats.h"

#include <algorithm>

#include "console/utf8_text.h"

namespace {

using nlohmann::ordered_json;

ordered_json OrNull(const std::optional<std::string>& text) {
  return text ? ordered_json(*text) : ordered_json(nullptr);
}

std::optional<std::string> TextOrNull(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - std::min(width, Utf8Length(text)), ' ');
}

// A text on one table line: line breaks and tabs become blanks.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
  return text;
}

}  // namespace

std::string TextTable(const std::vector<ListedEntry>& entries, const TableHeads& heads) {
  std::vector<TableHeads> lines{heads};
  for (const ListedEntry& e : entries) {
    // The signer where it is verified, otherwise what the check found.
    const std::string publisher = e.Verified() ? e.signer.value_or("") : e.signature;
    lines.push_back(
        {e.state, OneLine(e.location), OneLine(e.name), OneLine(e.command), OneLine(publisher)});
  }
  std::array<std::size_t, 5> widths{};
  for (const auto& line : lines) {
    for (std::size_t c = 0; c < 5; ++c) widths[c] = std::max(widths[c], Utf8Length(line[c]));
  }
  std::string out;
  for (const auto& line : lines) {
    std::string text;
    for (std::size_t c = 0; c < 4; ++c) text += Padded(line[c], widths[c]) + "  ";
    text += line[4];
    // No trailing blanks, also where the last columns are empty.
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + "\r\n";
  }
  return out;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CsvTable(const std::vector<ListedEntry>& entries, bool withHash) {
  std::string out =
      "kind,location,name,command,valueType,state,program,programExists,company,description,"
      "version,signature,signer";
  out += withHash ? ",sha256\r\n" : "\r\n";
  const auto field = [](const std::optional<std::string>& text) {
    return text ? CsvField(*text) : std::string();
  };
  for (const ListedEntry& e : entries) {
    out += CsvField(e.kind) + "," + CsvField(e.location) + "," + CsvField(e.name) + "," +
           CsvField(e.command) + "," + field(e.valueType) + "," + e.state + "," + field(e.program) +
           "," + (e.programExists ? "true" : "false") + "," + field(e.company) + "," +
           field(e.description) + "," + field(e.version) + "," + e.signature + "," +
           field(e.signer);
    if (withHash) out += "," + field(e.sha256);
    out += "\r\n";
  }
  return out;
}

ordered_json EntryJson(const ListedEntry& e, bool withHash) {
  ordered_json object{
      {"kind", e.kind},
      {"location", e.location},
      {"name", e.name},
      {"command", e.command},
      {"valueType", OrNull(e.valueType)},
      {"state", e.state},
      {"program", OrNull(e.program)},
      {"programExists", e.programExists},
      {"company", OrNull(e.company)},
      {"description", OrNull(e.description)},
      {"version", OrNull(e.version)},
      {"signature", e.signature.empty() ? ordered_json(nullptr) : ordered_json(e.signature)},
      {"signer", OrNull(e.signer)}};
  if (withHash) object["sha256"] = OrNull(e.sha256);
  return object;
}

ordered_json ListingJson(const Listing& listing, bool withHash) {
  ordered_json entries = ordered_json::array();
  for (const ListedEntry& e : listing.entries) entries.push_back(EntryJson(e, withHash));
  return ordered_json{{"computer", listing.computer},
                      {"user", listing.user},
                      {"time", listing.time},
                      {"entries", std::move(entries)}};
}

std::optional<Listing> ListingFromJson(const nlohmann::json& document) {
  if (!document.is_object()) return std::nullopt;
  const auto entries = document.find("entries");
  if (entries == document.end() || !entries->is_array()) return std::nullopt;
  Listing listing;
  listing.computer = TextOrNull(document, "computer").value_or("");
  listing.user = TextOrNull(document, "user").value_or("");
  listing.time = TextOrNull(document, "time").value_or("");
  for (const nlohmann::json& item : *entries) {
    if (!item.is_object()) return std::nullopt;
    ListedEntry e;
    const auto kind = TextOrNull(item, "kind");
    const auto location = TextOrNull(item, "location");
    const auto name = TextOrNull(item, "name");
    const auto command = TextOrNull(item, "command");
    const auto state = TextOrNull(item, "state");
    if (!kind || !location || !name || !command || !state) return std::nullopt;
    e.kind = *kind;
    e.location = *location;
    e.name = *name;
    e.command = *command;
    e.state = *state;
    e.valueType = TextOrNull(item, "valueType");
    e.program = TextOrNull(item, "program");
    const auto exists = item.find("programExists");
    e.programExists = exists != item.end() && exists->is_boolean() && exists->get<bool>();
    e.company = TextOrNull(item, "company");
    e.description = TextOrNull(item, "description");
    e.version = TextOrNull(item, "version");
    e.sha256 = TextOrNull(item, "sha256");
    e.signature = TextOrNull(item, "signature").value_or("");
    e.signer = TextOrNull(item, "signer");
    listing.entries.push_back(std::move(e));
  }
  return listing;
}
