#include "core/entry_kind.h"

#include <map>

#include "core/kind_support.h"
#include "core/program_lookup.h"
#include "core/row_status.h"
#include "platform/local_date.h"
#include "store/disabled_store.h"
#include "store/language_table.h"
#include "store/safe_format.h"

std::string EntryKind::TypeText() const {
  return services_.language.T(look_.typeKey);
}

Entry EntryKind::EntryAt(const RowList& rows, int row) const {
  // A row Windows switched off is unchecked, yet its entry is live.
  const bool windowsOff = rows.IsWindowsOff(row);
  return Entry{row,
               rows.Text(row, kColName),
               rows.Text(row, kColData),
               rows.Text(row, kColLocation),
               rows.IsEnabled(row) || windowsOff,
               rows.IsExact(row),
               windowsOff,
               rows.Text(row, kColType)};
}

std::optional<ApprovedKey> EntryKind::SwitchKey(const std::string& location) const {
  if (!services_.approved) return std::nullopt;
  return services_.approved->KeyFor(location);
}

ApprovedStates EntryKind::SwitchesAt(const std::string& location) const {
  const std::optional<ApprovedKey> key = SwitchKey(location);
  return key ? ApprovedStates(services_.registry, *key) : ApprovedStates();
}

bool EntryKind::Addressable(const Entry& entry, Prompter& prompter) const {
  if (entry.exact) return true;
  prompter.Refused("_EntryNotAddressable", Subject(entry), Status());
  return false;
}

std::optional<Entry> EntryKind::SelectedEntry(const RowList& rows, Prompter& prompter) const {
  const int row = rows.SelectedRow();
  if (row < 0) {
    prompter.NoSelection();
    return std::nullopt;
  }
  return EntryAt(rows, row);
}

std::optional<Entry> EntryKind::AskNewEntry(Prompter& prompter) {
  if (locations_.empty()) return std::nullopt;
  const std::string& location = locations_.front();
  std::optional<EntryInput> input = prompter.Add(TypeText(), location);
  if (!input) return std::nullopt;
  return Entry{
      -1, std::move(input->name), std::move(input->data), location, true, true, false, TypeText()};
}

void EntryKind::Refresh(RowList& target) {
  const std::string type = TypeText();
  FillingScope filling(target);
  statusTexts_ = StatusTexts::From(services_.language);
  missingPrograms_.Clear();
  StatusFiller rows(target, [this](const Row& row) { return StatusOf(row); });
  // One read of the store serves every location of the list.
  const std::vector<StoredRecord> stored = services_.store.ListAll(look_.kind);
  rows.SetNotice(StoreNotice());
  const auto storedAt = GroupByLocation(
      stored, locations_, [this](const std::string& location) { return LocationKey(location); });
  // Type texts of records by value type, each looked up once.
  std::map<DWORD, std::string> storedTypes{{REG_SZ, type}};
  const auto storedType = [this, &storedTypes](DWORD valueType) -> const std::string& {
    auto [it, inserted] = storedTypes.try_emplace(valueType);
    if (inserted) it->second = StoredTypeText(valueType);
    return it->second;
  };
  for (std::size_t i = 0; i < locations_.size(); ++i) {
    const std::string& location = locations_[i];
    if (!ListsLocation(location)) continue;
    for (const StoredRecord* record : storedAt[i]) {
      rows.Append(Row{record->valueName, storedType(record->valueType), record->valueData, location,
                      false});
    }
    AppendLiveRows(rows, location, type);
  }
}

EntryKind::EntryKind(KindServices& services, std::vector<std::string> locations,
                     const KindLook& look)
    : services_(services),
      locations_(std::move(locations)),
      look_(look),
      // Variables are expanded for the look-up only, as File information does: it stores
      // nothing.
      missingPrograms_([lookup = SystemProgramLookup()](const std::string& commandLine) {
        return !SplitCommandLine(commandLine, lookup, Expand::kYes).found;
      }) {}

std::string EntryKind::StatusOf(const Row& row) {
  if (statusTexts_.kept.empty()) statusTexts_ = StatusTexts::From(services_.language);
  const std::string date = row.windowsOff ? LocalDateText(row.windowsOffSince) : std::string();
  return RowStatus(row, statusTexts_, date, missingPrograms_.Missing(row.data));
}

std::string EntryKind::StoreNotice() const {
  const std::optional<UnreadableStore> unreadable = services_.store.Unreadable();
  if (!unreadable) return {};
  const LanguageTable& language = services_.language;
  std::string reason;
  if (!unreadable->reason.empty()) {
    reason = unreadable->line > 0
                 ? SafeFormat(language.T("_StoreParseReasonAt"),
                              {unreadable->reason, std::to_string(unreadable->line),
                               std::to_string(unreadable->column)})
                 : SafeFormat(language.T("_StoreParseReason"), {unreadable->reason});
  }
  return SafeFormat(language.T("_StoreUnreadable"), {unreadable->file, reason});
}

void EntryKind::Modify(RowList& rows, Prompter& prompter) {
  const std::optional<Entry> entry = SelectedEntry(rows, prompter);
  if (!entry || !Addressable(*entry, prompter)) return;
  const std::optional<EntryInput> input =
      prompter.Modify(EntryFields{TypeText(), entry->location, entry->name, entry->data});
  if (!input) return;
  const EntryInput changed = ChangedEntry(*entry, *input);
  const std::optional<bool> done = entry->enabled ? ModifyLive(*entry, changed, prompter)
                                                  : ModifyKept(*entry, changed, prompter);
  if (!done) return;
  if (*done && entry->enabled && !SameText(entry->name, changed.name)) {
    // A renamed live entry keeps Windows' switch: one Windows has switched off stays off.
    if (const std::optional<ApprovedKey> key = SwitchKey(entry->location)) {
      MoveApproved(services_.registry, *key, entry->name, changed.name);
    }
  }
  if (*done) WriteJournal(NoteOf(JournalKind::kModify, *entry, &changed));
  Refresh(rows);
}

std::optional<bool> EntryKind::ModifyKept(const Entry& entry, const EntryInput& input,
                                          Prompter& prompter) {
  const Status updated = UpdateRecord(entry, input.name, input.data);
  if (!updated && !IsNoRecord(updated)) {
    prompter.Refused("_ModifyNotStored", Subject(entry), updated);
  }
  return updated.Ok();
}

void EntryKind::Remove(RowList& rows, Prompter& prompter) {
  const std::optional<Entry> entry = SelectedEntry(rows, prompter);
  if (!entry || !Addressable(*entry, prompter) || !prompter.ConfirmRemove(entry->name, entry->data))
    return;
  if (const std::optional<bool> removed = RemoveEntry(*entry, prompter)) {
    if (*removed && entry->enabled) {
      // Windows' switch goes with the entry, so a later entry of the name does not inherit it.
      // Best effort: the entry is gone either way, and a stale switch starts nothing.
      if (const std::optional<ApprovedKey> key = SwitchKey(entry->location)) {
        DeleteApproved(services_.registry, *key, entry->name);
      }
    }
    if (*removed) WriteJournal(NoteOf(JournalKind::kRemove, *entry, nullptr));
    Refresh(rows);
  }
  ReselectAfterRemove(rows, entry->row);
}

void EntryKind::Property(RowList& rows, Prompter& prompter) {
  if (const std::optional<Entry> entry = SelectedEntry(rows, prompter)) {
    prompter.Property(EntryFields{TypeText(), entry->location, entry->name, entry->data});
  }
}

std::optional<EntryPlace> EntryKind::SelectedPlace(const RowList& rows, Prompter& prompter) const {
  const std::optional<Entry> entry = SelectedEntry(rows, prompter);
  if (!entry) return std::nullopt;
  return PlaceOf(*entry);
}

void EntryKind::Enable(RowList& rows, Prompter& prompter, int row) {
  Toggle(rows, prompter, row, true);
}

void EntryKind::Disable(RowList& rows, Prompter& prompter, int row) {
  Toggle(rows, prompter, row, false);
}

void EntryKind::Toggle(RowList& rows, Prompter& prompter, int row, bool enable) {
  const Entry entry = EntryAt(rows, row);
  if (entry.windowsOff) {
    // Its check box is cleared already: there is nothing to disable, and Enable only flips
    // Windows' switch.
    if (enable) {
      SwitchOnLive(rows, prompter, entry);
    } else {
      rows.RestoreCheck(row, false);
    }
    return;
  }
  std::optional<MoveStep> step;
  if (Addressable(entry, prompter)) {
    step = enable ? EnableStep(entry, prompter) : DisableStep(entry, prompter);
  }
  // An entry enabled from the store is also switched on where Windows has it off, first, so a
  // refused move puts the switch back as it was.
  const std::optional<ApprovedKey> key = enable && step ? SwitchKey(entry.location) : std::nullopt;
  std::string switchBefore;
  if (key) {
    if (const Status on = SwitchOn(services_.registry, *key, entry.name, &switchBefore); !on) {
      prompter.Refused("_EnableNotWritten", Subject(entry), on);
      step.reset();
    }
  }
  if (step && Move(*step, prompter)) {
    WriteJournal(NoteOf(enable ? JournalKind::kEnable : JournalKind::kDisable, entry, nullptr));
  } else {
    if (key) PutApprovedBack(services_.registry, *key, entry.name, switchBefore);
    rows.RestoreCheck(row, !enable);  // the check mark shows where the entry still is
  }
}

void EntryKind::SwitchOnLive(RowList& rows, Prompter& prompter, const Entry& entry) {
  Status on = Status(ERROR_FILE_NOT_FOUND);
  if (Addressable(entry, prompter)) {
    if (const std::optional<ApprovedKey> key = SwitchKey(entry.location)) {
      on = SwitchOn(services_.registry, *key, entry.name);
    }
    if (on) {
      rows.SetWindowsOff(entry.row, false);
      WriteJournal(NoteOf(JournalKind::kEnable, entry, nullptr));
      return;
    }
    prompter.Refused("_EnableNotWritten", Subject(entry), on);
  }
  rows.RestoreCheck(entry.row, false);
}

MoveStep EntryKind::IntoStore(const Entry& entry, std::function<Status()> leaveLive) {
  MoveStep step;
  step.place = [this, entry] { return AppendRecord(entry); };
  step.leave = std::move(leaveLive);
  step.undo = [this, entry] { RemoveRecord(entry); };
  step.placeRefusal = "_DisableNotStored";
  step.leaveRefusal = "_DisableNotRemoved";
  step.subject = Subject(entry);
  return step;
}

MoveStep EntryKind::OutOfStore(const Entry& entry, std::function<Status()> placeLive,
                               std::function<void()> undoLive) {
  MoveStep step;
  step.place = std::move(placeLive);
  step.leave = [this, entry] { return TakeRecord(entry); };
  step.undo = std::move(undoLive);
  step.placeRefusal = step.leaveRefusal = "_EnableNotWritten";
  step.subject = Subject(entry);
  return step;
}

bool EntryKind::Move(const MoveStep& step, Prompter& prompter) {
  if (const Status placed = step.place(); !placed) {
    prompter.Refused(step.placeRefusal, step.subject, placed);
    return false;
  }
  if (const Status left = step.leave(); !left) {
    // The entry stays where it was: take it out of its new place so it is listed once.
    if (step.undo) step.undo();
    prompter.Refused(step.leaveRefusal, step.subject, left);
    return false;
  }
  return true;
}

JournalNote EntryKind::NoteOf(JournalKind kind, const Entry& entry,
                              const EntryInput* changed) const {
  switch (kind) {
    case JournalKind::kAdd:
      return {kind, "_LogItemType2Content", {entry.location, entry.name, entry.data}};
    case JournalKind::kModify:
      return {kind,
              "_LogItemType3Content",
              {entry.location, entry.name, entry.data, changed ? changed->name : entry.name,
               changed ? changed->data : entry.data}};
    case JournalKind::kRemove:
      return {kind, "_LogItemType1Content", {entry.location, entry.name}};
    case JournalKind::kEnable:
      return {kind, "_LogItemType4Content", {entry.location, entry.name}};
    case JournalKind::kDisable:
      return {kind, "_LogItemType5Content", {entry.location, entry.name}};
  }
  return {kind, {}, {}};
}

void EntryKind::WriteJournal(const JournalNote& note) {
  services_.journal.Write(note.kind, note.contentKey, note.args);
}

Status EntryKind::AppendRecord(const Entry& entry) {
  return services_.store.Append(look_.kind, RecordLocations(entry.location).front(), entry.name,
                                entry.data, ValueTypeOf(entry));
}

Status EntryKind::RemoveRecord(const Entry& entry) {
  Status result = NoRecord();
  for (const std::string& location : RecordLocations(entry.location)) {
    result = services_.store.RemoveMatching(look_.kind, location, entry.name, entry.data);
    if (!IsNoRecord(result)) break;
  }
  return result;
}

std::optional<StoredRecord> EntryKind::FindRecord(const Entry& entry) {
  for (const std::string& location : RecordLocations(entry.location)) {
    if (auto record = services_.store.FirstMatching(look_.kind, location, entry.name, entry.data)) {
      return record;
    }
  }
  return std::nullopt;
}

Status EntryKind::TakeRecord(const Entry& entry) {
  const Status removed = RemoveRecord(entry);
  return IsNoRecord(removed) ? Status() : removed;
}

Status EntryKind::UpdateRecord(const Entry& entry, const std::string& newName,
                               const std::string& newData) {
  // The name is only written when it changes, so a record keeps its own letter case.
  const bool dataOnly = newName == entry.name;
  Status result = NoRecord();
  for (const std::string& location : RecordLocations(entry.location)) {
    result = services_.store.UpdateMatching(look_.kind, location, entry.name, entry.data, newName,
                                            newData, dataOnly);
    if (!IsNoRecord(result)) break;
  }
  return result;
}

bool EntryKind::DropRecord(const Entry& entry, Prompter& prompter) {
  const Status removed = RemoveRecord(entry);
  if (!removed && !IsNoRecord(removed)) {
    prompter.Refused("_RemoveNotDone", Subject(entry), removed);
  }
  return removed.Ok();
}
