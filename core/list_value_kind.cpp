// List values (Load, Run, Userinit): every item of each value is one entry.
//
// A value is rewritten only from a copy that was read whole and exactly, so the other items of
// a long value survive every change, and with the type it had (REG_EXPAND_SZ stays
// REG_EXPAND_SZ). A value of another type, or one whose text holds characters the 8-bit text
// cannot carry, is shown but never rewritten. Moving an item between the value and the store
// follows the base kind's outline. The userinit.exe item of the Userinit value is never taken
// out of it, and no rewrite leaves Userinit empty: Windows could not log anyone on.
#include "core/list_value_kind.h"

#include <windows.h>

#include "core/list_value_text.h"
#include "core/live_string_value.h"
#include "core/location_split.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "store/disabled_store.h"
#include "store/language_table.h"

namespace {

// A list value as read for a change.
struct ListValue {
  enum class State {
    kReadable,    // text holds the whole value (empty when the value does not exist)
    kNoKey,       // the key does not exist: reads as empty and is never written
    kUnreadable,  // the value could not be read whole, or is no text: never written
    kInexact,     // text holds substitutes for characters it cannot carry: never written
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
        value.state = read.value.exact ? ListValue::State::kReadable : ListValue::State::kInexact;
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

// The Winlogon value whose userinit.exe item logs the user on.
bool IsUserinitValue(const ValuePath& path) {
  return SameText(path.valueName, "Userinit");
}

// Whether taking item out of the value (text before, cut after) would break the logon: the
// item is userinit.exe itself, or nothing would be left. Then the user is told.
bool BreaksLogon(const ValuePath& path, const std::string& item, const std::string& cut,
                 Prompter& prompter) {
  if (!IsUserinitValue(path) || (!IsUserinitProgram(item) && HasListItems(cut))) return false;
  prompter.Refused("_UserinitProtected", item, Status());
  return true;
}

// Rewrites the value with text; a missing key is never created.
Status WriteListValue(Registry& registry, const ValuePath& path, const ListValue& value,
                      const std::string& text) {
  if (value.state == ListValue::State::kNoKey) return Status(ERROR_FILE_NOT_FOUND);
  // Windows logs nobody on with an empty Userinit: such a text is never written.
  if (IsUserinitValue(path) && !HasListItems(text)) return Status(ERROR_INVALID_DATA);
  return registry.WriteString(path.root, path.subkey, path.valueName, text, value.type, false);
}

// Reads the value an operation is about to change; nullopt (after telling the user) when it
// cannot be read whole.
std::optional<ListValue> ReadForChange(Registry& registry, const ValuePath& path,
                                       const std::string& location, Prompter& prompter) {
  ListValue value = ReadListValue(registry, path);
  switch (value.state) {
    case ListValue::State::kUnreadable:
      prompter.Refused("_ListValueUnreadable", location, Status());
      return std::nullopt;
    case ListValue::State::kInexact:
      prompter.Refused("_ListValueNotAddressable", location, Status());
      return std::nullopt;
    default:
      return value;
  }
}

}  // namespace

const KindLook kListValueKindLook{KindId::kListValue, "_TreeWininiType", {200, 80, 350, 350, 240}};

ListValueKind::ListValueKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, std::move(locations), kListValueKindLook) {}

std::string ListValueKind::ShortForm(const std::string& path) const {
  std::string item = services_.files.ShortPath(path);
  return item.empty() ? path : item;
}

EntryInput ListValueKind::ChangedEntry(const Entry& entry, const EntryInput& input) const {
  return EntryInput{entry.name, ShortForm(input.data)};
}

void ListValueKind::AppendLiveRows(RowList& rows, const std::string& location,
                                   const std::string& type) {
  const std::optional<ValuePath> path = SplitValuePath(location);
  if (!path) return;
  const ListValue value = ReadListValue(services_.registry, *path);
  if (value.state == ListValue::State::kUnreadable && value.text.empty()) return;
  // The items of a value that cannot be rewritten exactly are shown as such.
  const bool exact = value.state != ListValue::State::kInexact;
  const std::string itemType = exact ? type : services_.language.T("_TreeWininiTypeInexact");
  for (std::string& item : SplitListItems(value.text)) {
    // Empty items (the trailing comma of "userinit.exe,", an empty value) are no entries.
    if (item.empty()) continue;
    rows.Append(Row{path->valueName, itemType, std::move(item), location, true, exact});
  }
}

void ListValueKind::Add(RowList& rows, Prompter& prompter) {
  std::optional<Entry> entry = AskNewEntry(prompter);
  if (!entry) return;
  // The display name is not used: the item goes into the location's value.
  const std::optional<ValuePath> path = SplitValuePath(entry->location);
  if (!path) return;
  entry->name = path->valueName;
  entry->data = ShortForm(entry->data);
  if (const auto value = ReadForChange(services_.registry, *path, entry->location, prompter)) {
    const Status written =
        WriteListValue(services_.registry, *path, *value, AppendListItem(value->text, entry->data));
    if (written) {
      WriteJournal(NoteOf(JournalKind::kAdd, *entry, nullptr));
    } else {
      prompter.Refused("_AddNotWritten", entry->data, written);
    }
  }
  Refresh(rows);
}

std::optional<MoveStep> ListValueKind::EnableStep(const Entry& entry, Prompter& prompter) {
  const std::optional<ValuePath> path = SplitValuePath(entry.location);
  if (!path) return std::nullopt;  // no value to put the item into
  const std::optional<ListValue> value =
      ReadForChange(services_.registry, *path, entry.location, prompter);
  if (!value) return std::nullopt;
  Registry& registry = services_.registry;
  return OutOfStore(
      entry,
      [&registry, path, value, entry] {
        return WriteListValue(registry, *path, *value, AppendListItem(value->text, entry.data));
      },
      [&registry, path, value] {
        // The value as it was: its old text, or no value at all.
        if (value->exists) {
          WriteListValue(registry, *path, *value, value->text);
        } else {
          DeleteStringValue(registry, path->root, path->subkey, path->valueName, value->type);
        }
      });
}

std::optional<MoveStep> ListValueKind::DisableStep(const Entry& entry, Prompter& prompter) {
  const std::optional<ValuePath> path = SplitValuePath(entry.location);
  if (!path) return std::nullopt;  // such a row is never listed; keep it as it was
  // Read first: an item is only stored when it can also be cut out of the value afterwards.
  const std::optional<ListValue> value =
      ReadForChange(services_.registry, *path, entry.location, prompter);
  if (!value || BreaksLogon(*path, entry.data, CutListItem(value->text, entry.data), prompter)) {
    return std::nullopt;
  }
  Registry& registry = services_.registry;
  return IntoStore(entry, [&registry, path, value, entry] {
    // A value without the item (or a missing key) has nothing left to cut.
    const std::string cut = CutListItem(value->text, entry.data);
    if (value->state != ListValue::State::kReadable || cut == value->text) return Status();
    return WriteListValue(registry, *path, *value, cut);
  });
}

std::optional<bool> ListValueKind::ModifyLive(const Entry& entry, const EntryInput& input,
                                              Prompter& prompter) {
  const std::optional<ValuePath> path = SplitValuePath(entry.location);
  if (!path) return false;
  const std::optional<ListValue> value =
      ReadForChange(services_.registry, *path, entry.location, prompter);
  if (!value) return false;
  // Cut and append go to the value in one write: there is no second place to leave.
  const std::string text = AppendListItem(CutListItem(value->text, entry.data), input.data);
  if (BreaksLogon(*path, entry.data, text, prompter)) return std::nullopt;
  const Status written = WriteListValue(services_.registry, *path, *value, text);
  if (!written) prompter.Refused("_ModifyNotWritten", entry.data, written);
  return written.Ok();
}

std::optional<bool> ListValueKind::RemoveEntry(const Entry& entry, Prompter& prompter) {
  const std::optional<ValuePath> path = SplitValuePath(entry.location);
  if (!path) return std::nullopt;
  if (!entry.enabled) return DropRecord(entry, prompter);
  const std::optional<ListValue> value =
      ReadForChange(services_.registry, *path, entry.location, prompter);
  if (!value || value->state != ListValue::State::kReadable) return false;
  // A value without the item has nothing to remove.
  const std::string cut = CutListItem(value->text, entry.data);
  if (cut == value->text) return false;
  if (BreaksLogon(*path, entry.data, cut, prompter)) return std::nullopt;
  const Status written = WriteListValue(services_.registry, *path, *value, cut);
  if (!written) prompter.Refused("_RemoveNotDone", entry.data, written);
  return written.Ok();
}

EntryPlace ListValueKind::PlaceOf(const Entry& entry) const {
  const std::string location = TrimBackslashes(entry.location);
  const std::optional<ValuePath> value = SplitValuePath(location);
  if (!value) return {EntryPlace::Kind::kRegistryKey, location};
  return {EntryPlace::Kind::kRegistryKey,
          location.substr(0, location.size() - value->valueName.size() - 1)};
}
