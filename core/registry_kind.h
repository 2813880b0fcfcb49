// The entry kind for registry run keys: one entry per REG_SZ value of each key in the list.
// Disabled entries are records in the disabled-entry store.
#pragma once

#include "core/entry_kind.h"

class RegistryKind final : public EntryKind {
 public:
  RegistryKind(KindServices& services, std::vector<std::string> locations);

  void Refresh(RowList& rows) override;
  void Add(RowList& rows, Prompter& prompter) override;
  void Modify(RowList& rows, Prompter& prompter) override;
  void Remove(RowList& rows, Prompter& prompter) override;
  void Enable(RowList& rows, Prompter& prompter, int row) override;
  void Disable(RowList& rows, Prompter& prompter, int row) override;
};
