// The entry kind for startup folders: one entry per ordinary file at the top of each folder in
// the list. Disabled entries are records in the disabled-entry store; their files wait in a
// hidden subfolder of the startup folder (core/kept_files.h) until they are enabled again.
#pragma once

#include "core/entry_kind.h"

class StartupFolderKind final : public EntryKind {
 public:
  StartupFolderKind(KindServices& services, std::vector<std::string> locations);

  void Add(RowList& rows, Prompter& prompter) override;

 protected:
  // No known folder (the Shell Folders value is missing): nothing stands in for it.
  bool ListsLocation(const std::string& location) const override;
  void AppendLiveRows(RowList& rows, const std::string& location, const std::string& type) override;
  std::optional<MoveStep> EnableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<MoveStep> DisableStep(const Entry& entry, Prompter& prompter) override;
  std::optional<bool> ModifyLive(const Entry& entry, const EntryInput& input,
                                 Prompter& prompter) override;
  std::optional<bool> ModifyKept(const Entry& entry, const EntryInput& input,
                                 Prompter& prompter) override;
  std::optional<bool> RemoveEntry(const Entry& entry, Prompter& prompter) override;
  // A file that is not a shortcut keeps its full path as its data, also when renamed.
  EntryInput ChangedEntry(const Entry& entry, const EntryInput& input) const override;
  // The journal names the file.
  JournalNote NoteOf(JournalKind kind, const Entry& entry,
                     const EntryInput* changed) const override;
  // Records of a folder are matched with or without its trailing backslash: Disable stores the
  // trimmed folder of a scanned row, while a disabled row shows the location-list text.
  std::vector<std::string> RecordLocations(const std::string& location) const override;
  // The file in the folder; for a disabled entry its kept copy, or the folder when that is gone.
  EntryPlace PlaceOf(const Entry& entry) const override;
  std::string LocationKey(const std::string& location) const override;

 private:
  // Writes a shortcut at file that starts the command line (program and arguments split by
  // the command-line rule); a file already there is replaced in one rename.
  Status WriteLinkFile(const std::string& folder, const std::string& file,
                       const std::string& command);
  // Removes the folder's kept-files folder once nothing is left in it; silent when it stays.
  void TidyKeptFolder(const std::string& folder);
};
