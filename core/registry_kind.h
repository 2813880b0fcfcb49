// The entry kind for registry run keys: one entry per REG_SZ or REG_EXPAND_SZ value of each key
// in the list.
// Disabled entries are records in the disabled-entry store.
#pragma once

#include "core/entry_kind.h"

class RegistryKind final : public EntryKind {
 public:
  RegistryKind(KindServices& services, std::vector<std::string> locations);

  void Add(RowList& rows, Prompter& prompter) override;

 protected:
  bool ListsLocation(const std::string& location) const override;
  DWORD ValueTypeOf(const Entry& entry) const override;
  std::string StoredTypeText(DWORD valueType) const override;
  void AppendLiveRows(RowList& rows, const std::string& location, const std::string& type) override;
  std::optional<MoveStep> EnableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<MoveStep> DisableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<bool> ModifyLive(const Entry& entry, const EntryInput& input,
                                 Prompter& prompter) override;
  std::optional<bool> RemoveEntry(const Entry& entry, Prompter& prompter) override;
};
