// The entry kind for list values (Load, Run, Userinit): one entry per item of each value in the list.
// Disabled entries are records in the disabled-entry store.
#pragma once

#include "core/entry_kind.h"

class ListValueKind final : public EntryKind {
 public:
  ListValueKind(KindServices& services, std::vector<std::string> locations);

  void Refresh(RowList& rows) override;
  void Add(RowList& rows, Prompter& prompter) override;
  void Modify(RowList& rows, Prompter& prompter) override;
  void Remove(RowList& rows, Prompter& prompter) override;
  void Enable(RowList& rows, Prompter& prompter, int row) override;
  void Disable(RowList& rows, Prompter& prompter, int row) override;
};
