// Registry run keys: every REG_SZ value of each key is one entry. The value is the entry's live
// place; what moves it and keeps it safe is the outline of the base kind.
#include "core/registry_kind.h"

#include <windows.h>

#include "core/location_split.h"
#include "platform/registry.h"
#include "store/disabled_store.h"

namespace {

// Deletes value `name`; a value (or key) that is already gone counts as deleted. A failed read
// counts as still there.
Status DeleteLiveValue(Registry& registry, const KeyPath& key, const std::string& name) {
  const Status deleted = registry.DeleteValue(key.root, key.subkey, name);
  if (deleted) return deleted;
  const RegReadStatus now = registry.ReadValue(key.root, key.subkey, name).status;
  const bool gone = now == RegReadStatus::kKeyMissing || now == RegReadStatus::kValueMissing;
  return gone ? Status() : deleted;
}

// Puts value `name` back as it was before it was overwritten (`before`): rewritten when it was a
// text, deleted when it did not exist. Best effort: it runs only to undo a refused operation.
void PutBack(Registry& registry, const KeyPath& key, const std::string& name,
             const RegRead& before) {
  if (before.status == RegReadStatus::kOk) {
    const DWORD type = before.value.type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      registry.WriteString(key.root, key.subkey, name, before.value.data, type, true);
    }
  } else if (before.status != RegReadStatus::kFailed) {
    registry.DeleteValue(key.root, key.subkey, name);
  }
}

}  // namespace

const KindLook kRegistryKindLook{KindId::kRegistry, "_RegString", {150, 60, 350, 350}};

RegistryKind::RegistryKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, TrimRegistryLocations(locations), kRegistryKindLook) {}

bool RegistryKind::ListsLocation(const std::string& location) const {
  return SplitKeyPath(location).has_value();
}

void RegistryKind::AppendLiveRows(RowList& rows, const std::string& location,
                                  const std::string& type) {
  const std::optional<KeyPath> key = SplitKeyPath(location);
  if (!key) return;
  std::optional<std::vector<RegValue>> values =
      services_.registry.ListValues(key->root, key->subkey);
  if (!values) return;
  for (RegValue& value : *values) {
    if (value.type != REG_SZ) continue;
    rows.Append(Row{std::move(value.name), type, std::move(value.data), location, true});
  }
}

void RegistryKind::Add(RowList& rows, Prompter& prompter) {
  const std::optional<Entry> entry = AskNewEntry(prompter);
  if (!entry) return;
  if (const std::optional<KeyPath> key = SplitKeyPath(entry->location)) {
    const Status written = services_.registry.WriteString(key->root, key->subkey, entry->name,
                                                          entry->data, REG_SZ, true);
    if (written) {
      WriteJournal(NoteOf(JournalKind::kAdd, *entry, nullptr));
    } else {
      prompter.Refused("_AddNotWritten", entry->name, written);
    }
  }
  Refresh(rows);
}

std::optional<MoveStep> RegistryKind::EnableStep(const Entry& entry, Prompter& /*prompter*/) {
  // Nothing can be written for a location that names no key.
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  Registry& registry = services_.registry;
  // A live value of the same name is overwritten; remember it so a refusal can put it back.
  const RegRead before = registry.ReadValue(key->root, key->subkey, entry.name);
  return OutOfStore(
      entry,
      [&registry, key, entry] {
        return registry.WriteString(key->root, key->subkey, entry.name, entry.data, REG_SZ, true);
      },
      [&registry, key, entry, before] { PutBack(registry, *key, entry.name, before); });
}

std::optional<MoveStep> RegistryKind::DisableStep(const Entry& entry, Prompter& /*prompter*/) {
  // Such a row is never listed; it is kept as it was.
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  Registry& registry = services_.registry;
  return IntoStore(entry,
                   [&registry, key, entry] { return DeleteLiveValue(registry, *key, entry.name); });
}

std::optional<bool> RegistryKind::ModifyLive(const Entry& entry, const EntryInput& input,
                                             Prompter& prompter) {
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return false;
  Registry& registry = services_.registry;
  // The new value is written before the old one goes; a rename must not leave both.
  const bool renamed = !SameText(entry.name, input.name);
  const RegRead before =
      renamed ? registry.ReadValue(key->root, key->subkey, input.name) : RegRead{};
  MoveStep step;
  step.place = [&registry, key, input] {
    return registry.WriteString(key->root, key->subkey, input.name, input.data, REG_SZ, true);
  };
  step.leave = [&registry, key, entry, renamed] {
    return renamed ? DeleteLiveValue(registry, *key, entry.name) : Status();
  };
  step.undo = [&registry, key, input, before] { PutBack(registry, *key, input.name, before); };
  step.placeRefusal = step.leaveRefusal = "_ModifyNotWritten";
  step.subject = entry.name;
  return Move(step, prompter);
}

std::optional<bool> RegistryKind::RemoveEntry(const Entry& entry, Prompter& prompter) {
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  if (!entry.enabled) return DropRecord(entry, prompter);
  // A value someone else deleted meanwhile is removed as asked.
  const Status deleted = DeleteLiveValue(services_.registry, *key, entry.name);
  if (!deleted) prompter.Refused("_RemoveNotDone", entry.name, deleted);
  return deleted.Ok();
}
