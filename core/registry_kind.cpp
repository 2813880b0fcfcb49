// Registry run keys: every REG_SZ value of each key is one entry.
//
// No entry is ever lost, even when the process dies between two steps: every operation that
// moves an entry first puts it in its new place and only then takes it from the old one, so an
// interruption leaves it in both places at worst. A step that fails undoes what was done before
// it and tells the user why.
#include "core/registry_kind.h"

#include <windows.h>

#include "core/location_split.h"
#include "core/kind_support.h"
#include "platform/registry.h"
#include "store/disabled_store.h"
#include "store/journal.h"
#include "store/language_table.h"

namespace {

constexpr KindId kKind = KindId::kRegistry;

// True when the value is certainly gone from the key (key or value missing); a failed read
// counts as still there.
bool ValueIsGone(Registry& registry, const KeyPath& key, const std::string& name) {
  const RegReadStatus status = registry.ReadValue(key.root, key.subkey, name).status;
  return status == RegReadStatus::kKeyMissing || status == RegReadStatus::kValueMissing;
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

void RegistryKind::Refresh(RowList& rows) {
  const std::string type = TypeText();
  FillingScope filling(rows);
  // One read of the store serves every location of the list.
  const std::vector<StoredRecord> stored = services_.store.ListAll(kKind);
  const auto storedAt = GroupByLocation(stored, locations_);
  for (std::size_t i = 0; i < locations_.size(); ++i) {
    const std::string& location = locations_[i];
    const std::optional<KeyPath> key = SplitKeyPath(location);
    if (!key) continue;
    for (const StoredRecord* record : storedAt[i]) {
      rows.Append(Row{record->valueName, type, record->valueData, location, false});
    }
    std::optional<std::vector<RegValue>> values =
        services_.registry.ListValues(key->root, key->subkey);
    if (!values) continue;
    for (RegValue& value : *values) {
      if (value.type != REG_SZ) continue;
      rows.Append(Row{std::move(value.name), type, std::move(value.data), location, true});
    }
  }
}

void RegistryKind::Remove(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const std::string name = rows.Text(index, kColName);
  const std::string data = rows.Text(index, kColData);
  const std::string location = rows.Text(index, kColLocation);
  const bool enabled = rows.IsEnabled(index);
  if (!prompter.ConfirmRemove(data)) return;

  if (const std::optional<KeyPath> key = SplitKeyPath(location)) {
    if (enabled) {
      // A value someone else deleted meanwhile is removed as asked.
      if (services_.registry.DeleteValue(key->root, key->subkey, name) ||
          ValueIsGone(services_.registry, *key, name)) {
        services_.journal.Write(JournalKind::kRemove, "_LogItemType1Content", {location, name});
      } else {
        prompter.Refused("_RemoveNotDone", name);
      }
    } else if (services_.store.RemoveMatching(kKind, location, name, data)) {
      services_.journal.Write(JournalKind::kRemove, "_LogItemType1Content", {location, name});
    } else if (HasMatchingRecord(services_.store, kKind, location, name, data)) {
      prompter.Refused("_RemoveNotDone", name);
    }
    Refresh(rows);
  }
  ReselectAfterRemove(rows, index);
}

void RegistryKind::Add(RowList& rows, Prompter& prompter) {
  if (locations_.empty()) return;
  const std::string& location = locations_.front();
  const std::optional<EntryInput> input = prompter.Add(TypeText(), location);
  if (!input) return;
  if (const std::optional<KeyPath> key = SplitKeyPath(location)) {
    if (services_.registry.WriteString(key->root, key->subkey, input->name, input->data, REG_SZ,
                                       true)) {
      services_.journal.Write(JournalKind::kAdd, "_LogItemType2Content",
                              {location, input->name, input->data});
    } else {
      prompter.Refused("_AddNotWritten", input->name);
    }
  }
  Refresh(rows);
}

void RegistryKind::Modify(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const std::string oldName = rows.Text(index, kColName);
  const std::string oldData = rows.Text(index, kColData);
  const std::string location = rows.Text(index, kColLocation);
  const bool enabled = rows.IsEnabled(index);
  const std::optional<EntryInput> input =
      prompter.Modify(EntryFields{TypeText(), location, oldName, oldData});
  if (!input) return;
  const std::string& newName = input->name;
  const std::string& newData = input->data;

  bool done = false;
  if (enabled) {
    if (const std::optional<KeyPath> key = SplitKeyPath(location)) {
      // The new value is written before the old one goes, so a failure or an interruption in
      // between leaves the entry at least under one of the names.
      const bool renamed = !SameText(oldName, newName);
      const RegRead before =
          renamed ? services_.registry.ReadValue(key->root, key->subkey, newName) : RegRead{};
      if (!services_.registry.WriteString(key->root, key->subkey, newName, newData, REG_SZ, true)) {
        prompter.Refused("_ModifyNotWritten", oldName);
      } else if (!renamed || services_.registry.DeleteValue(key->root, key->subkey, oldName) ||
                 ValueIsGone(services_.registry, *key, oldName)) {
        done = true;
      } else {
        // The old value stays: take the new one back so the entry is not listed twice.
        PutBack(services_.registry, *key, newName, before);
        prompter.Refused("_ModifyNotWritten", oldName);
      }
    }
  } else if (services_.store.UpdateMatching(kKind, location, oldName, oldData, newName, newData,
                                            false)) {
    done = true;
  } else if (HasMatchingRecord(services_.store, kKind, location, oldName, oldData)) {
    prompter.Refused("_ModifyNotStored", oldName);
  }
  if (done) {
    services_.journal.Write(JournalKind::kModify, "_LogItemType3Content",
                            {location, oldName, oldData, newName, newData});
  }
  Refresh(rows);
}

void RegistryKind::Enable(RowList& rows, Prompter& prompter, int row) {
  const std::string name = rows.Text(row, kColName);
  const std::string data = rows.Text(row, kColData);
  const std::string location = rows.Text(row, kColLocation);
  const std::optional<KeyPath> key = SplitKeyPath(location);
  if (!key) {
    rows.RestoreCheck(row, false);  // nothing can be written for a location that names no key
    return;
  }
  Registry& registry = services_.registry;
  // A live value of the same name is overwritten; remember it so a refusal can put it back.
  const RegRead before = registry.ReadValue(key->root, key->subkey, name);

  if (!registry.WriteString(key->root, key->subkey, name, data, REG_SZ, true)) {
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", name);
    return;
  }
  if (!services_.store.RemoveMatching(kKind, location, name, data) &&
      HasMatchingRecord(services_.store, kKind, location, name, data)) {
    // The record could not be taken out: undo the write so the entry is in one place only.
    PutBack(registry, *key, name, before);
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", name);
    return;
  }
  services_.journal.Write(JournalKind::kEnable, "_LogItemType4Content", {location, name});
}

void RegistryKind::Disable(RowList& rows, Prompter& prompter, int row) {
  const std::string name = rows.Text(row, kColName);
  const std::string data = rows.Text(row, kColData);
  const std::string location = rows.Text(row, kColLocation);
  const std::optional<KeyPath> key = SplitKeyPath(location);
  if (!key) {
    rows.RestoreCheck(row, true);  // such a row is never listed; keep it as it was
    return;
  }
  // The record is saved before the value is deleted.
  if (!services_.store.Append(kKind, location, name, data)) {
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotStored", name);
    return;
  }
  if (!services_.registry.DeleteValue(key->root, key->subkey, name) &&
      !ValueIsGone(services_.registry, *key, name)) {
    // The value stays live: take the record back so the entry is not listed twice.
    services_.store.RemoveMatching(kKind, location, name, data);
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotRemoved", name);
    return;
  }
  services_.journal.Write(JournalKind::kDisable, "_LogItemType5Content", {location, name});
}
