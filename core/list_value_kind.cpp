// List values (Load, Run, Userinit): every item of each value is one entry.
//
// A value is rewritten only from a copy that was read whole, so the other items of a long value
// survive every change, and with the type it had (REG_EXPAND_SZ stays REG_EXPAND_SZ). An item
// that moves between the value and the store is first put in its new place and only then taken
// from the old one, so an interruption leaves it in both places at worst; a step that fails
// undoes what was done before it and tells the user why.
#include "core/list_value_kind.h"

#include <windows.h>

#include "core/list_value_text.h"
#include "core/location_split.h"
#include "core/kind_support.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "store/disabled_store.h"
#include "store/journal.h"
#include "store/language_table.h"

namespace {

constexpr KindId kKind = KindId::kListValue;

// A list value as read for a change.
struct ListValue {
  enum class State {
    kReadable,    // text holds the whole value (empty when the value does not exist)
    kNoKey,       // the key does not exist: reads as empty and is never written
    kUnreadable,  // the value could not be read whole, or is no text: never written
  };
  State state = State::kUnreadable;
  std::string text;
  DWORD type = REG_SZ;  // the type a rewrite keeps
  bool exists = false;  // the value itself exists (an undo deletes what did not)
};

ListValue ReadListValue(Registry& registry, const ValuePath& path) {
  const RegRead read = registry.ReadValue(path.root, path.subkey, path.valueName);
  ListValue value;
  switch (read.status) {
    case RegReadStatus::kOk:
      if (read.value.type == REG_SZ || read.value.type == REG_EXPAND_SZ) {
        value.state = ListValue::State::kReadable;
        value.exists = true;
        value.text = read.value.data;
        value.type = read.value.type;
      } else {
        // Shown as text up to its first zero, but never rewritten as a string.
        value.text = read.value.data.substr(0, read.value.data.find('\0'));
      }
      break;
    case RegReadStatus::kValueMissing:
      value.state = ListValue::State::kReadable;
      break;
    case RegReadStatus::kKeyMissing:
      value.state = ListValue::State::kNoKey;
      break;
    case RegReadStatus::kFailed:
      break;
  }
  return value;
}

bool WriteListValue(Registry& registry, const ValuePath& path, const ListValue& value,
                    const std::string& text) {
  return registry.WriteString(path.root, path.subkey, path.valueName, text, value.type, false);
}

}  // namespace

const KindLook kListValueKindLook{KindId::kListValue, "_TreeWininiType", {200, 80, 350, 350}};

ListValueKind::ListValueKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, std::move(locations), kListValueKindLook) {}

void ListValueKind::Refresh(RowList& rows) {
  const std::string type = TypeText();
  FillingScope filling(rows);
  // One read of the store serves every location of the list.
  const std::vector<StoredRecord> stored = services_.store.ListAll(kKind);
  const auto storedAt = GroupByLocation(stored, locations_);
  for (std::size_t i = 0; i < locations_.size(); ++i) {
    const std::string& location = locations_[i];
    for (const StoredRecord* record : storedAt[i]) {
      rows.Append(Row{record->valueName, type, record->valueData, location, false});
    }
    const std::optional<ValuePath> path = SplitValuePath(location);
    if (!path) continue;
    const ListValue value = ReadListValue(services_.registry, *path);
    if (value.state == ListValue::State::kUnreadable && value.text.empty()) continue;
    for (std::string& item : SplitListItems(value.text)) {
      rows.Append(Row{path->valueName, type, std::move(item), location, true});
    }
  }
}

void ListValueKind::Add(RowList& rows, Prompter& prompter) {
  if (locations_.empty()) return;
  const std::string& location = locations_.front();
  const std::optional<EntryInput> input = prompter.Add(TypeText(), location);
  if (!input) return;
  std::string item = services_.files.ShortPath(input->data);
  if (item.empty()) item = input->data;

  const std::optional<ValuePath> path = SplitValuePath(location);
  if (!path) return;
  const ListValue value = ReadListValue(services_.registry, *path);
  if (value.state == ListValue::State::kUnreadable) {
    prompter.Refused("_ListValueUnreadable", location);
  } else if (value.state == ListValue::State::kNoKey ||
             !WriteListValue(services_.registry, *path, value, AppendListItem(value.text, item))) {
    prompter.Refused("_AddNotWritten", item);
  } else {
    services_.journal.Write(JournalKind::kAdd, "_LogItemType2Content",
                            {location, path->valueName, item});
  }
  Refresh(rows);
}

void ListValueKind::Modify(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const std::string name = rows.Text(index, kColName);
  const std::string oldItem = rows.Text(index, kColData);
  const std::string location = rows.Text(index, kColLocation);
  const bool enabled = rows.IsEnabled(index);
  const std::optional<EntryInput> input =
      prompter.Modify(EntryFields{TypeText(), location, name, oldItem});
  if (!input) return;
  // The display name is not used: the value's name cannot change.
  std::string item = services_.files.ShortPath(input->data);
  if (item.empty()) item = input->data;

  bool done = false;
  if (!enabled) {
    if (services_.store.UpdateMatching(kKind, location, name, oldItem, name, item, true)) {
      done = true;
    } else if (HasMatchingRecord(services_.store, kKind, location, name, oldItem)) {
      prompter.Refused("_ModifyNotStored", oldItem);
    }
  } else if (const std::optional<ValuePath> path = SplitValuePath(location)) {
    // Cut and append go to the value in one write.
    const ListValue value = ReadListValue(services_.registry, *path);
    if (value.state == ListValue::State::kUnreadable) {
      prompter.Refused("_ListValueUnreadable", location);
    } else if (value.state == ListValue::State::kNoKey ||
               !WriteListValue(services_.registry, *path, value,
                               AppendListItem(CutListItem(value.text, oldItem), item))) {
      prompter.Refused("_ModifyNotWritten", oldItem);
    } else {
      done = true;
    }
  }
  if (done) {
    services_.journal.Write(JournalKind::kModify, "_LogItemType3Content",
                            {location, name, oldItem, name, item});
  }
  Refresh(rows);
}

void ListValueKind::Remove(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const std::string name = rows.Text(index, kColName);
  const std::string item = rows.Text(index, kColData);
  const std::string location = rows.Text(index, kColLocation);
  const bool enabled = rows.IsEnabled(index);
  if (!prompter.ConfirmRemove(item)) return;

  if (const std::optional<ValuePath> path = SplitValuePath(location)) {
    bool done = false;
    if (!enabled) {
      if (services_.store.RemoveMatching(kKind, location, name, item)) {
        done = true;
      } else if (HasMatchingRecord(services_.store, kKind, location, name, item)) {
        prompter.Refused("_RemoveNotDone", item);
      }
    } else {
      const ListValue value = ReadListValue(services_.registry, *path);
      if (value.state == ListValue::State::kUnreadable) {
        prompter.Refused("_ListValueUnreadable", location);
      } else if (value.state == ListValue::State::kReadable) {
        // A value without the item (or a missing key) has nothing to remove.
        const std::string cut = CutListItem(value.text, item);
        if (cut != value.text) {
          if (WriteListValue(services_.registry, *path, value, cut)) {
            done = true;
          } else {
            prompter.Refused("_RemoveNotDone", item);
          }
        }
      }
    }
    if (done) {
      services_.journal.Write(JournalKind::kRemove, "_LogItemType1Content", {location, name});
    }
    Refresh(rows);
  }
  ReselectAfterRemove(rows, index);
}

void ListValueKind::Enable(RowList& rows, Prompter& prompter, int row) {
  const std::string name = rows.Text(row, kColName);
  const std::string item = rows.Text(row, kColData);
  const std::string location = rows.Text(row, kColLocation);
  const std::optional<ValuePath> path = SplitValuePath(location);
  if (!path) {
    rows.RestoreCheck(row, false);  // no value to put the item into
    return;
  }
  const ListValue value = ReadListValue(services_.registry, *path);
  if (value.state == ListValue::State::kUnreadable) {
    rows.RestoreCheck(row, false);
    prompter.Refused("_ListValueUnreadable", location);
    return;
  }
  // The item goes into the value before its record leaves the store.
  if (value.state == ListValue::State::kNoKey ||
      !WriteListValue(services_.registry, *path, value, AppendListItem(value.text, item))) {
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", item);
    return;
  }
  if (!services_.store.RemoveMatching(kKind, location, name, item) &&
      HasMatchingRecord(services_.store, kKind, location, name, item)) {
    // The record stays: put the value back as it was so the item is in one place only.
    if (value.exists) {
      WriteListValue(services_.registry, *path, value, value.text);
    } else {
      services_.registry.DeleteValue(path->root, path->subkey, path->valueName);
    }
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", item);
    return;
  }
  services_.journal.Write(JournalKind::kEnable, "_LogItemType4Content", {location, name});
}

void ListValueKind::Disable(RowList& rows, Prompter& prompter, int row) {
  const std::string name = rows.Text(row, kColName);
  const std::string item = rows.Text(row, kColData);
  const std::string location = rows.Text(row, kColLocation);
  const std::optional<ValuePath> path = SplitValuePath(location);
  if (!path) {
    rows.RestoreCheck(row, true);  // such a row is never listed; keep it as it was
    return;
  }
  // Read first: an item is only stored when it can also be cut out of the value afterwards.
  const ListValue value = ReadListValue(services_.registry, *path);
  if (value.state == ListValue::State::kUnreadable) {
    rows.RestoreCheck(row, true);
    prompter.Refused("_ListValueUnreadable", location);
    return;
  }
  if (!services_.store.Append(kKind, location, name, item)) {
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotStored", item);
    return;
  }
  const std::string cut = CutListItem(value.text, item);
  if (value.state == ListValue::State::kReadable && cut != value.text &&
      !WriteListValue(services_.registry, *path, value, cut)) {
    // The item stays in the value: take the record back so it is not listed twice.
    services_.store.RemoveMatching(kKind, location, name, item);
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotRemoved", item);
    return;
  }
  services_.journal.Write(JournalKind::kDisable, "_LogItemType5Content", {location, name});
}
