#include "console/baseline_compare.h"

#include <algorithm>
#include <map>

#include "console/entry_formats.h"

namespace {

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  return text;
}

std::string KeyOf(const ListedEntry& e) {
  return e.kind + '\n' + Folded(e.location) + '\n' + Folded(e.name);
}

std::string Where(const ListedEntry& e) {
  return e.location + "\\" + e.name;
}

}  // namespace

Differences CompareListings(const std::vector<ListedEntry>& baseline,
                            const std::vector<ListedEntry>& current) {
  // The baseline entries of each key still waiting for a partner, in listed order.
  std::map<std::string, std::vector<const ListedEntry*>> waiting;
  for (const ListedEntry& e : baseline) waiting[KeyOf(e)].push_back(&e);
  std::map<std::string, std::size_t> taken;
  Differences differences;
  for (const ListedEntry& now : current) {
    const std::string key = KeyOf(now);
    std::vector<const ListedEntry*>& candidates = waiting[key];
    std::size_t& next = taken[key];
    if (next >= candidates.size()) {
      differences.added.push_back(now);
      continue;
    }
    const ListedEntry& before = *candidates[next++];
    ChangedEntry changed{now, {}};
    if (before.command != now.command)
      changed.changes.push_back({"command", before.command, now.command});
    if (before.state != now.state) changed.changes.push_back({"state", before.state, now.state});
    // A hash compares only where both sides have one: a baseline taken without hashes says
    // nothing about the program's content.
    if (before.sha256 && now.sha256 && *before.sha256 != *now.sha256)
      changed.changes.push_back({"sha256", *before.sha256, *now.sha256});
    // Likewise the signer, where both listings checked signatures: a new signer or a signature
    // that no longer verifies is worth a look even when the command stayed.
    if (!before.signature.empty() && !now.signature.empty()) {
      const std::string was = before.signer.value_or("");
      const std::string is = now.signer.value_or("");
      if (was != is) changed.changes.push_back({"signer", was, is});
      if (before.signature != now.signature)
        changed.changes.push_back({"signature", before.signature, now.signature});
    }
    if (!changed.changes.empty()) differences.changed.push_back(std::move(changed));
  }
  for (const auto& [key, candidates] : waiting) {
    for (std::size_t i = taken[key]; i < candidates.size(); ++i)
      differences.removed.push_back(*candidates[i]);
  }
  return differences;
}

std::string DifferencesText(const Differences& d) {
  std::string out;
  for (const ListedEntry& e : d.added) out += "+ " + Where(e) + "  " + e.command + "\r\n";
  for (const ListedEntry& e : d.removed) out += "- " + Where(e) + "  " + e.command + "\r\n";
  for (const ChangedEntry& c : d.changed) {
    out += "~ " + Where(c.entry) + "\r\n";
    for (const FieldChange& f : c.changes)
      out += "    " + f.field + ": " + f.before + " -> " + f.after + "\r\n";
  }
  return out;
}

nlohmann::ordered_json DifferencesJson(const Differences& d) {
  using nlohmann::ordered_json;
  ordered_json added = ordered_json::array(), removed = ordered_json::array(),
               changed = ordered_json::array();
  for (const ListedEntry& e : d.added) added.push_back(EntryJson(e, e.sha256.has_value()));
  for (const ListedEntry& e : d.removed) removed.push_back(EntryJson(e, e.sha256.has_value()));
  for (const ChangedEntry& c : d.changed) {
    ordered_json fields = ordered_json::array();
    for (const FieldChange& f : c.changes)
      fields.push_back({{"field", f.field}, {"baseline", f.before}, {"current", f.after}});
    ordered_json item = EntryJson(c.entry, true);
    item["changes"] = std::move(fields);
    changed.push_back(std::move(item));
  }
  return ordered_json{{"same", d.Empty()},
                      {"added", std::move(added)},
                      {"removed", std::move(removed)},
                      {"changed", std::move(changed)}};
}
