// The entry kind for startup folders: one entry per ordinary file at the top of each folder in the list.
// Disabled entries are records in the disabled-entry store; their files wait in a hidden
// subfolder of the startup folder (core/kept_files.h) until they are enabled again.
#pragma once

#include "core/entry_kind.h"

class StartupFolderKind final : public EntryKind {
 public:
  StartupFolderKind(KindServices& services, std::vector<std::string> locations);

  void Refresh(RowList& rows) override;
  void Add(RowList& rows, Prompter& prompter) override;
  void Modify(RowList& rows, Prompter& prompter) override;
  void Remove(RowList& rows, Prompter& prompter) override;
  void Enable(RowList& rows, Prompter& prompter, int row) override;
  void Disable(RowList& rows, Prompter& prompter, int row) override;
};
