// An entry kind: one of the three kinds of autorun entry (registry run keys, startup folders,
// list values) bound to its location list. The entry view form calls these operations; they
// work on the form's rows and ask the user through the prompter.
//
// The base kind holds the outline every kind follows, so its rules are written once:
// - an operation that needs a row takes the selected one, or shows the no-selection message;
// - an entry that moves (Enable, Disable, a live Modify) is first put in its new place and only
//   then taken from the old one, so an interruption leaves it in both places at worst; when the
//   second step fails the first is undone, the user is told the system's reason, and the journal
//   is written only when the change happened;
// - records are found by the one record match of the store, under each spelling of the
//   location the kind accepts;
// - a row whose texts do not address its live entry exactly is shown, but every change of it is
//   refused before anything is touched;
// - where Windows keeps its own switch of an entry, Enable means "starts at the next logon": it
//   also switches Windows' switch on, and Remove takes the switch along with the entry.
// The kinds keep only what is specific to their place.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/row_list.h"
#include "core/row_status.h"
#include "core/startup_approved.h"
#include "platform/status.h"
#include "store/disabled_store.h"
#include "store/journal.h"
#include "store/kind_id.h"

class Registry;
class FileSystem;
class ShellLinks;
class DisabledStore;
class LanguageTable;
class ApprovedPlaces;

// What the entry kinds work with; all owned elsewhere and outliving the kinds.
struct KindServices {
  Registry& registry;
  FileSystem& files;
  ShellLinks& links;
  DisabledStore& store;
  Journal& journal;
  const LanguageTable& language;
  // Where Windows keeps its own on/off switch of the entries; none: no switch is read.
  const ApprovedPlaces* approved = nullptr;
};

// What tells the kinds apart on the form: the kind, the language key of its type text and its
// column widths 0 to 4 in pixels at 96 DPI.
struct KindLook {
  KindId kind;
  const char* typeKey;
  std::array<int, 5> columnWidths;
};

// A row's texts and state as an operation reads them when it starts.
struct Entry {
  int row = -1;
  std::string name;      // column 0
  std::string data;      // column 2
  std::string location;  // column 3
  bool enabled = true;
  bool exact = true;        // the texts address the live entry exactly (Row::exact)
  bool windowsOff = false;  // a live entry Windows has switched off (Row::windowsOff)
  std::string type;         // column 1
};

// One journal record: the content key and its arguments.
struct JournalNote {
  JournalKind kind = JournalKind::kAdd;
  std::string contentKey;
  std::vector<std::string> args;
};

// One move of an entry between its live place and the store (or within its live place).
struct MoveStep {
  std::function<Status()> place;  // puts the entry in its new place
  std::function<Status()> leave;  // takes it from the old one
  std::function<void()> undo;     // takes it back out of the new place (best effort)
  const char* placeRefusal = "";  // language key when place fails
  const char* leaveRefusal = "";  // language key when leave fails
  std::string subject;            // the refusal message's argument
};

// Where an entry can be looked at outside the program: its registry key (the full key text,
// HKEY_... first) or its file.
struct EntryPlace {
  enum class Kind { kRegistryKey, kFile };
  Kind kind = Kind::kRegistryKey;
  std::string path;
};

class EntryKind {
 public:
  EntryKind(KindServices& services, std::vector<std::string> locations, const KindLook& look);
  virtual ~EntryKind() = default;
  EntryKind(const EntryKind&) = delete;
  EntryKind& operator=(const EntryKind&) = delete;

  KindId Kind() const { return look_.kind; }
  const std::vector<std::string>& Locations() const { return locations_; }
  // The type text of column 1 and of the dialogs' Type field, translated.
  std::string TypeText() const;
  // Column widths 0 to 4 in pixels at 96 DPI.
  std::array<int, 5> ColumnWidths() const { return look_.columnWidths; }

  // Refills the rows: location by location, its disabled rows in store order, then its live
  // entries.
  void Refresh(RowList& rows);
  // The Status column's text of a row as it stands now. Program files are looked up once per
  // command line until the next Refresh.
  std::string StatusOf(const Row& row);
  virtual void Add(RowList& rows, Prompter& prompter) = 0;
  void Modify(RowList& rows, Prompter& prompter);
  void Remove(RowList& rows, Prompter& prompter);
  // The selected row's texts in the Property dialog, nothing changed.
  void Property(RowList& rows, Prompter& prompter);
  // Where the selected row's entry is, or nullopt after the no-selection message.
  std::optional<EntryPlace> SelectedPlace(const RowList& rows, Prompter& prompter) const;
  // Run after row's check mark changed; they do not refresh the list. A refused change puts the
  // check mark back.
  void Enable(RowList& rows, Prompter& prompter, int row);
  void Disable(RowList& rows, Prompter& prompter, int row);

 protected:
  // What the kinds fill in.
  // False for a location that lists nothing at all (not even its records).
  virtual bool ListsLocation(const std::string& location) const = 0;
  virtual void AppendLiveRows(RowList& rows, const std::string& location,
                              const std::string& type) = 0;
  // The move of Enable and Disable; nullopt when the operation stops before anything changed
  // (the kind has told the user why, where there is something to tell).
  virtual std::optional<MoveStep> EnableStep(const Entry& entry, Prompter& prompter) = 0;
  virtual std::optional<MoveStep> DisableStep(const Entry& entry, Prompter& prompter) = 0;
  // Modify after OK, of a live and of a disabled entry: true when the entry changed (the
  // journal is written then), false when it did not; either way the list is refilled. nullopt
  // stops the operation without a refill. ModifyKept's default changes the record.
  virtual std::optional<bool> ModifyLive(const Entry& entry, const EntryInput& input,
                                         Prompter& prompter) = 0;
  virtual std::optional<bool> ModifyKept(const Entry& entry, const EntryInput& input,
                                         Prompter& prompter);
  // The name and data Modify works with, from what the user typed.
  virtual EntryInput ChangedEntry(const Entry& /*entry*/, const EntryInput& input) const {
    return input;
  }
  // The registry type of the entry's value (from its type text) and the type text of a record
  // whose value is of valueType: the kinds that keep no types have REG_SZ and TypeText().
  virtual DWORD ValueTypeOf(const Entry& /*entry*/) const { return REG_SZ; }
  virtual std::string StoredTypeText(DWORD /*valueType*/) const { return TypeText(); }
  // Where the entry is; by default its location is the registry key that holds it.
  virtual EntryPlace PlaceOf(const Entry& entry) const {
    return {EntryPlace::Kind::kRegistryKey, entry.location};
  }
  // What refusal messages name the entry by.
  virtual std::string Subject(const Entry& entry) const { return entry.name; }
  // Remove after OK; nullopt when nothing is to be done for this row (no refill either),
  // else true when the entry was removed (the journal is written then).
  virtual std::optional<bool> RemoveEntry(const Entry& entry, Prompter& prompter) = 0;
  // The journal record of a change; `changed` holds Modify's new name and data.
  virtual JournalNote NoteOf(JournalKind kind, const Entry& entry, const EntryInput* changed) const;
  // The location texts a record of this location may be stored under (the first is the one
  // new records get); the same spellings group records in Refresh.
  virtual std::vector<std::string> RecordLocations(const std::string& location) const {
    return {location};
  }
  virtual std::string LocationKey(const std::string& location) const { return location; }

  // Windows' switches of a location's entries, read once for a Refresh (empty where Windows
  // keeps none).
  ApprovedStates SwitchesAt(const std::string& location) const;

  // Shared steps.
  // The notice a store file that cannot be read gets over the list; empty when it was read.
  std::string StoreNotice() const;
  Entry EntryAt(const RowList& rows, int row) const;
  // True when entry can be changed through its texts; otherwise the user is told why not.
  bool Addressable(const Entry& entry, Prompter& prompter) const;
  // The selected row as an entry, or nullopt after the no-selection message.
  std::optional<Entry> SelectedEntry(const RowList& rows, Prompter& prompter) const;
  // The location, name and data Add asked for in the kind's first location; nullopt when the
  // kind has no location or the user cancelled.
  std::optional<Entry> AskNewEntry(Prompter& prompter);
  // The two moves between the live place and the store, with their refusal texts:
  // Disable stores the record first, then leaveLive takes the entry from its live place;
  // Enable puts the entry live first (placeLive, undone by undoLive), then drops the record.
  MoveStep IntoStore(const Entry& entry, std::function<Status()> leaveLive);
  MoveStep OutOfStore(const Entry& entry, std::function<Status()> placeLive,
                      std::function<void()> undoLive);
  // Runs a move: place, then leave (undoing place when leave fails), telling the user the
  // reason of a failed step. True when both steps succeeded.
  bool Move(const MoveStep& step, Prompter& prompter);
  void WriteJournal(const JournalNote& note);
  // The entry's record, under the kind's location spellings.
  Status AppendRecord(const Entry& entry);
  Status RemoveRecord(const Entry& entry);  // NoRecord() when there is none
  Status TakeRecord(const Entry& entry);    // as RemoveRecord, but none counts as success
  Status UpdateRecord(const Entry& entry, const std::string& newName, const std::string& newData);
  // The entry's first matching record (the one RemoveRecord takes), if the store has one.
  std::optional<StoredRecord> FindRecord(const Entry& entry);
  // Remove of a disabled row's record: true when it was removed; false when there was none
  // (nothing changed) or it could not be (the user is told).
  bool DropRecord(const Entry& entry, Prompter& prompter);

  KindServices& services_;
  std::vector<std::string> locations_;

 private:
  void Toggle(RowList& rows, Prompter& prompter, int row, bool enable);
  // Enable of a live entry Windows has switched off: its switch goes on, the entry is not
  // touched.
  void SwitchOnLive(RowList& rows, Prompter& prompter, const Entry& entry);
  std::optional<ApprovedKey> SwitchKey(const std::string& location) const;

  KindLook look_;
  StatusTexts statusTexts_;
  MissingPrograms missingPrograms_;
};
