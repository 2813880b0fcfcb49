// Registry run keys: every REG_SZ and REG_EXPAND_SZ value of each key is one entry. The value
// is the entry's live place; what moves it and keeps it safe is the outline of the base kind.
//
// A value is only ever written or deleted through its exact name, and only while it is of the
// entry's own type (or absent): values of other types are never listed, so they are never
// touched, and a text value that is not the entry itself is replaced only when the user agrees.
// An entry keeps its type: its row shows it, its record holds it, and every write uses it. The
// data is never expanded.
#include "core/registry_kind.h"

#include <windows.h>

#include "core/live_string_value.h"
#include "core/location_split.h"
#include "platform/registry.h"
#include "store/disabled_store.h"
#include "store/language_table.h"

namespace {

// The registry calls on one key, in the key's own registry view.
RegRead ReadAt(Registry& registry, const KeyPath& key, const std::string& name) {
  return registry.ReadValue(key.root, key.subkey, name, key.view);
}
Status WriteAt(Registry& registry, const KeyPath& key, const std::string& name,
               const std::string& data, DWORD type) {
  return registry.WriteString(key.root, key.subkey, name, data, type, true, key.view);
}
Status DeleteAt(Registry& registry, const KeyPath& key, const std::string& name, DWORD type) {
  return DeleteStringValue(registry, key.root, key.subkey, name, type, key.view);
}

// The two value types that are entries.
bool IsEntryType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Puts value `name` back as it was before it was overwritten (`before`, an entry's value or
// nothing): rewritten, or deleted when it did not exist (the value written was of type
// `written`). Best effort: it runs only to undo a refused operation, and never deletes a value
// of another type.
void PutBack(Registry& registry, const KeyPath& key, const std::string& name, const RegRead& before,
             DWORD written) {
  if (before.status == RegReadStatus::kOk) {
    WriteAt(registry, key, name, before.value.data, before.value.type);
  } else if (IsAbsent(before)) {
    DeleteAt(registry, key, name, written);
  }
}

// Whether an operation may write value `name` over what a read found there (`before`):
// nothing, or an entry's value the user agrees to replace. A value of another type, one whose
// text cannot be restored exactly, or an unreadable one is never overwritten; the user is told
// (failKey names the operation for a failed read).
bool MayWriteOver(const RegRead& before, const std::string& name, const char* failKey,
                  Prompter& prompter) {
  if (IsAbsent(before)) return true;
  if (before.status != RegReadStatus::kOk) {
    prompter.Refused(failKey, name, before.reason);
    return false;
  }
  if (!IsEntryType(before.value.type)) {
    prompter.Refused("_ValueNotString", name, Status());
    return false;
  }
  if (!before.value.exact) {
    prompter.Refused("_EntryNotAddressable", name, Status());
    return false;
  }
  return prompter.ConfirmReplace("_ConfirmReplaceValue", name);
}

// Whether the entry's own value (`now`, read just before a change) may be changed: it is of
// the entry's type, or gone. Otherwise the user is told.
bool IsOwnValue(const RegRead& now, DWORD type, const std::string& name, const char* failKey,
                Prompter& prompter) {
  if (IsAbsent(now) || (now.status == RegReadStatus::kOk && now.value.type == type)) return true;
  if (now.status == RegReadStatus::kOk) {
    prompter.Refused("_ValueNotString", name, Status());
  } else {
    prompter.Refused(failKey, name, now.reason);
  }
  return false;
}

}  // namespace

const KindLook kRegistryKindLook{KindId::kRegistry, "_RegString", {150, 60, 350, 350, 240}};

RegistryKind::RegistryKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, TrimRegistryLocations(locations), kRegistryKindLook) {}

bool RegistryKind::ListsLocation(const std::string& location) const {
  return SplitKeyPath(location).has_value();
}

DWORD RegistryKind::ValueTypeOf(const Entry& entry) const {
  if (entry.type == TypeText()) return REG_SZ;
  // A type text that names neither type matches no value, so nothing is changed through it.
  return entry.type == services_.language.T("_RegExpandString") ? REG_EXPAND_SZ : REG_NONE;
}

std::string RegistryKind::StoredTypeText(DWORD valueType) const {
  return valueType == REG_EXPAND_SZ ? services_.language.T("_RegExpandString") : TypeText();
}

void RegistryKind::AppendLiveRows(RowList& rows, const std::string& location,
                                  const std::string& type) {
  const std::optional<KeyPath> key = SplitKeyPath(location);
  if (!key) return;
  std::optional<std::vector<RegValue>> values =
      services_.registry.ListValues(key->root, key->subkey, key->view);
  if (!values) return;
  const ApprovedStates switches = SwitchesAt(location);
  // The other type texts, looked up when first needed.
  std::string expandType, inexactType, inexactExpandType;
  const auto text = [this](std::string& cached, const char* key) -> const std::string& {
    if (cached.empty()) cached = services_.language.T(key);
    return cached;
  };
  for (RegValue& value : *values) {
    if (!IsEntryType(value.type)) continue;
    const bool expand = value.type == REG_EXPAND_SZ;
    const std::string& rowType = value.exact
                                     ? (expand ? text(expandType, "_RegExpandString") : type)
                                     : (expand ? text(inexactExpandType, "_RegExpandStringInexact")
                                               : text(inexactType, "_RegStringInexact"));
    const ApprovedState state = value.exact ? switches.Of(value.name) : ApprovedState{};
    rows.Append(Row{std::move(value.name), rowType, std::move(value.data), location, true,
                    value.exact, state.off, state.offSince});
  }
}

void RegistryKind::Add(RowList& rows, Prompter& prompter) {
  const std::optional<Entry> entry = AskNewEntry(prompter);
  if (!entry) return;
  if (const std::optional<KeyPath> key = SplitKeyPath(entry->location)) {
    Registry& registry = services_.registry;
    const RegRead before = ReadAt(registry, *key, entry->name);
    if (!MayWriteOver(before, entry->name, "_AddNotWritten", prompter)) return;
    const Status written = WriteAt(registry, *key, entry->name, entry->data, REG_SZ);
    if (written) {
      WriteJournal(NoteOf(JournalKind::kAdd, *entry, nullptr));
    } else {
      prompter.Refused("_AddNotWritten", entry->name, written);
    }
  }
  Refresh(rows);
}

std::optional<MoveStep> RegistryKind::EnableStep(const Entry& entry, Prompter& prompter) {
  // Nothing can be written for a location that names no key.
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  Registry& registry = services_.registry;
  // The record says what type the value was; a record this program does not write (REG_NONE)
  // is refused by the write and stays.
  const std::optional<StoredRecord> record = FindRecord(entry);
  const DWORD type = record ? record->valueType : ValueTypeOf(entry);
  // A live value of the same name is replaced only when the user agrees; remember it so a
  // refusal can put it back.
  const RegRead before = ReadAt(registry, *key, entry.name);
  if (!MayWriteOver(before, entry.name, "_EnableNotWritten", prompter)) return std::nullopt;
  return OutOfStore(
      entry,
      [&registry, key, entry, type] {
        return WriteAt(registry, *key, entry.name, entry.data, type);
      },
      [&registry, key, entry, before, type] { PutBack(registry, *key, entry.name, before, type); });
}

std::optional<MoveStep> RegistryKind::DisableStep(const Entry& entry, Prompter& prompter) {
  // Such a row is never listed; it is kept as it was.
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  Registry& registry = services_.registry;
  // The value may have become another type since the list was filled: then it is not the entry.
  const DWORD type = ValueTypeOf(entry);
  const RegRead now = ReadAt(registry, *key, entry.name);
  if (!IsOwnValue(now, type, entry.name, "_DisableNotRemoved", prompter)) return std::nullopt;
  return IntoStore(
      entry, [&registry, key, entry, type] { return DeleteAt(registry, *key, entry.name, type); });
}

std::optional<bool> RegistryKind::ModifyLive(const Entry& entry, const EntryInput& input,
                                             Prompter& prompter) {
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return false;
  Registry& registry = services_.registry;
  // The entry keeps its type.
  const DWORD type = ValueTypeOf(entry);
  const RegRead own = ReadAt(registry, *key, entry.name);
  if (!IsOwnValue(own, type, entry.name, "_ModifyNotWritten", prompter)) return std::nullopt;
  // The new value is written before the old one goes; a rename must not leave both, and must
  // not replace another value without asking.
  const bool renamed = !SameText(entry.name, input.name);
  const RegRead before = renamed ? ReadAt(registry, *key, input.name) : own;
  if (renamed && !MayWriteOver(before, input.name, "_ModifyNotWritten", prompter)) {
    return std::nullopt;
  }
  MoveStep step;
  step.place = [&registry, key, input, type] {
    return WriteAt(registry, *key, input.name, input.data, type);
  };
  step.leave = [&registry, key, entry, renamed, type] {
    return renamed ? DeleteAt(registry, *key, entry.name, type) : Status();
  };
  step.undo = [&registry, key, input, before, type] {
    PutBack(registry, *key, input.name, before, type);
  };
  step.placeRefusal = step.leaveRefusal = "_ModifyNotWritten";
  step.subject = entry.name;
  return Move(step, prompter);
}

std::optional<bool> RegistryKind::RemoveEntry(const Entry& entry, Prompter& prompter) {
  const std::optional<KeyPath> key = SplitKeyPath(entry.location);
  if (!key) return std::nullopt;
  if (!entry.enabled) return DropRecord(entry, prompter);
  // A value someone else deleted meanwhile is removed as asked; one that became another type
  // is not the entry any more and stays.
  const Status deleted = DeleteAt(services_.registry, *key, entry.name, ValueTypeOf(entry));
  if (deleted.Code() == ERROR_DATATYPE_MISMATCH) {
    prompter.Refused("_ValueNotString", entry.name, Status());
  } else if (!deleted) {
    prompter.Refused("_RemoveNotDone", entry.name, deleted);
  }
  return deleted.Ok();
}
