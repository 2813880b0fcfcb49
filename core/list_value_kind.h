// The entry kind for list values (Load, Run, Userinit): one entry per item of each value in the
// list. Disabled entries are records in the disabled-entry store.
#pragma once

#include "core/entry_kind.h"

class ListValueKind final : public EntryKind {
 public:
  ListValueKind(KindServices& services, std::vector<std::string> locations);

  void Add(RowList& rows, Prompter& prompter) override;

 protected:
  bool ListsLocation(const std::string& /*location*/) const override { return true; }
  void AppendLiveRows(RowList& rows, const std::string& location, const std::string& type) override;
  std::optional<MoveStep> EnableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<MoveStep> DisableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<bool> ModifyLive(const Entry& entry, const EntryInput& input,
                                 Prompter& prompter) override;
  std::optional<bool> RemoveEntry(const Entry& entry, Prompter& prompter) override;
  // The value's name cannot change; the item is kept in its short form.
  EntryInput ChangedEntry(const Entry& entry, const EntryInput& input) const override;
  // Refusals name the item, which tells the entries of one value apart.
  std::string Subject(const Entry& entry) const override { return entry.data; }
  // The key that holds the value (the location names the value after it).
  EntryPlace PlaceOf(const Entry& entry) const override;

 private:
  std::string ShortForm(const std::string& path) const;
};
