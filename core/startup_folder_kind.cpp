// Startup folders: every ordinary file at the top of each folder is one entry.
//
// No entry is ever lost, even when the process dies between two steps. Disable records the
// entry, then moves its file into the folder's kept-files folder in one rename; Enable moves the
// kept file back (or writes a shortcut from the record when there is none), then drops the
// record; Modify builds a new file beside the kept files and renames it into place before the
// old one goes. At every point the entry is live, recorded or kept. A step that fails undoes
// what was done before it and tells the user why.
#include "core/startup_folder_kind.h"

#include <windows.h>

#include <cstring>

#include "core/ansi_text.h"
#include "core/kept_files.h"
#include "core/kind_support.h"
#include "platform/file_system.h"
#include "platform/shell_links.h"
#include "store/disabled_store.h"
#include "store/journal.h"
#include "store/language_table.h"

namespace {

constexpr KindId kKind = KindId::kStartupFolder;
// Read-only, hidden and system files are not entries; folders (with "." and "..") are not
// entered.
constexpr DWORD kNotListed = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

struct RowEntry {
  std::string name;
  std::string data;
  std::string location;
  bool enabled = true;
};

RowEntry ReadRow(const RowList& rows, int row) {
  return {rows.Text(row, kColName), rows.Text(row, kColData), rows.Text(row, kColLocation),
          rows.IsEnabled(row)};
}

bool HasLnkSuffix(const std::string& name) {
  return name.size() >= 4 && SameText(name.substr(name.size() - 4), ".lnk");
}

// A name that stays inside its folder and can name a file there.
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t pos = 0; pos < name.size(); pos = NextCharIn(name, pos)) {
    const unsigned char c = static_cast<unsigned char>(name[pos]);
    if (c < 32) return false;
    if (NextCharIn(name, pos) == pos + 1 && std::strchr("\\/:*?\"<>|", c) != nullptr) {
      return false;
    }
  }
  return true;
}

// Records of a folder are matched with or without its trailing backslash: Disable stores the
// trimmed folder of a scanned row, while a disabled row shows the location-list text.
bool SameFolder(const std::string& a, const std::string& b) {
  return SameText(TrimFolder(a), TrimFolder(b));
}

bool HasRecord(DisabledStore& store, const RowEntry& entry) {
  for (const StoredRecord& record : store.ListAll(kKind)) {
    if (SameFolder(record.location, entry.location) && SameText(record.valueName, entry.name) &&
        SameText(record.valueData, entry.data)) {
      return true;
    }
  }
  return false;
}

// The path texts under which the row's record may be stored.
std::vector<std::string> RecordPaths(const std::string& location) {
  std::string trimmed = TrimFolder(location);
  if (trimmed == location) return {location};
  return {location, std::move(trimmed)};
}

bool RemoveRecord(DisabledStore& store, const RowEntry& entry) {
  for (const std::string& path : RecordPaths(entry.location)) {
    if (store.RemoveMatching(kKind, path, entry.name, entry.data)) return true;
  }
  return false;
}

bool UpdateRecord(DisabledStore& store, const RowEntry& entry, const std::string& newName,
                  const std::string& newData) {
  for (const std::string& path : RecordPaths(entry.location)) {
    if (store.UpdateMatching(kKind, path, entry.name, entry.data, newName, newData, false)) {
      return true;
    }
  }
  return false;
}

// Writes a shortcut at file with target. A file already there is replaced in one rename, so the
// folder always holds either the old or the new file.
bool WriteLinkFile(KindServices& services, const std::string& folder, const std::string& file,
                   const std::string& target) {
  ShellLinks& links = services.links;
  FileSystem& files = services.files;
  auto write = [&](const std::string& at) { return links.WriteLink(at, target); };
  if (!files.Exists(file)) {
    if (write(file)) return true;
    files.DeleteFile(file);  // no half-written shortcut stays behind
    return false;
  }
  // Replacing: the new file is made beside the kept files, then renamed over the old.
  const std::string kept = KeptFolderOf(folder);
  if (!files.CreateHiddenFolder(kept)) return false;
  const std::optional<std::string> temp = FreeTempPath(files, kept);
  if (!temp) return false;
  if (write(*temp) && files.ReplaceFile(*temp, file)) return true;
  files.DeleteFile(*temp);
  return false;
}

// Modify of a live file; false when it was stopped (the user has been told why).
bool ModifyLive(KindServices& services, const std::string& folder, const std::string& oldName,
                const std::string& oldData, const std::string& newName, const std::string& newData,
                Prompter& prompter) {
  FileSystem& files = services.files;
  const std::string oldFile = JoinPath(folder, oldName);
  const std::string newFile = JoinPath(folder, newName);
  const bool sameFile = SameText(oldName, newName);  // file names ignore case
  const bool replacing = !sameFile && files.Exists(newFile);
  if (replacing && !prompter.ConfirmReplace(newName)) return false;

  if (newData == oldData) {
    // Only the name changes: one rename keeps the file's bytes (arguments, icon, content).
    if (oldName == newName) return true;
    const bool renamed =
        replacing ? files.ReplaceFile(oldFile, newFile) : files.MoveFile(oldFile, newFile);
    if (!renamed) prompter.Refused("_ModifyNotWritten", oldName);
    return renamed;
  }
  // A new target: a copy of the shortcut with the new target (a fresh one when the file is not
  // a shortcut) is made beside the kept files and renamed into place.
  const std::string kept = KeptFolderOf(folder);
  std::optional<std::string> temp;
  if (files.CreateHiddenFolder(kept)) temp = FreeTempPath(files, kept);
  const bool written = temp && (services.links.WriteRetargeted(oldFile, *temp, newData) ||
                                services.links.WriteLink(*temp, newData));
  bool placed = false;
  if (written) {
    placed = (sameFile || replacing) ? files.ReplaceFile(*temp, sameFile ? oldFile : newFile)
                                     : files.MoveFile(*temp, newFile);
  }
  if (!placed) {
    if (temp) files.DeleteFile(*temp);
    prompter.Refused("_ModifyNotWritten", oldName);
    return false;
  }
  if (sameFile) {
    if (oldName != newName) files.MoveFile(oldFile, newFile);  // the new letter case, if it can
    return true;
  }
  if (files.DeleteFile(oldFile) || !files.Exists(oldFile)) return true;
  // The old file stays: take the new one back unless it replaced another file, so the entry
  // is not listed twice.
  if (!replacing) files.DeleteFile(newFile);
  prompter.Refused("_ModifyNotWritten", oldName);
  return false;
}

// Modify of a disabled entry: its record, and its kept file when there is one.
bool ModifyKept(KindServices& services, const std::string& folder, const std::string& oldName,
                const std::string& oldData, const std::string& newName, const std::string& newData,
                Prompter& prompter) {
  FileSystem& files = services.files;
  const RowEntry entry{oldName, oldData, folder, false};
  const std::string keptFolder = KeptFolderOf(folder);
  const std::optional<std::string> kept =
      FindKeptFile(files, services.links, keptFolder, oldName, oldData);

  // With a new target the kept file's copy is prepared first, so a failure changes nothing.
  std::optional<std::string> temp;
  if (kept && newData != oldData) {
    temp = FreeTempPath(files, keptFolder);
    if (!temp || !(services.links.WriteRetargeted(*kept, *temp, newData) ||
                   services.links.WriteLink(*temp, newData))) {
      if (temp) files.DeleteFile(*temp);
      prompter.Refused("_ModifyNotStored", oldName);
      return false;
    }
  }
  if (!UpdateRecord(services.store, entry, newName, newData)) {
    if (temp) files.DeleteFile(*temp);
    if (HasRecord(services.store, entry)) {
      prompter.Refused("_ModifyNotStored", oldName);
      return false;
    }
    return true;  // the record is gone already: nothing is left to change
  }
  // The record holds the entry now; the kept file follows it. Should that fail, the kept file
  // stays under its old name and Enable writes a shortcut from the record instead.
  if (!kept) return true;
  if (temp) {
    if (SameText(oldName, newName)) {
      if (!files.ReplaceFile(*temp, *kept)) files.DeleteFile(*temp);
    } else if (const std::optional<std::string> target = FreeKeptPath(files, keptFolder, newName);
               target && files.MoveFile(*temp, *target)) {
      files.DeleteFile(*kept);
    } else {
      files.DeleteFile(*temp);
    }
  } else if (!SameText(oldName, newName)) {
    if (const std::optional<std::string> target = FreeKeptPath(files, keptFolder, newName)) {
      files.MoveFile(*kept, *target);
    }
  }
  return true;
}

}  // namespace

const KindLook kStartupFolderKindLook{KindId::kStartupFolder, "_StartupFolderType", {200, 80, 350, 350}};

StartupFolderKind::StartupFolderKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, std::move(locations), kStartupFolderKindLook) {}

void StartupFolderKind::Refresh(RowList& rows) {
  const std::string type = TypeText();
  FillingScope filling(rows);
  // One read of the store serves every folder of the list.
  const std::vector<StoredRecord> stored = services_.store.ListAll(kKind);
  for (const std::string& folder : locations_) {
    const std::string trimmed = TrimFolder(folder);
    // No known folder (the Shell Folders value is missing): nothing stands in for it.
    if (trimmed.empty()) continue;
    for (const StoredRecord& record : stored) {
      if (SameFolder(record.location, folder)) {
        rows.Append(Row{record.valueName, type, record.valueData, folder, false});
      }
    }
    const std::optional<std::vector<DirEntry>> entries = services_.files.List(trimmed);
    if (!entries) continue;
    for (const DirEntry& entry : *entries) {
      if (entry.attributes & kNotListed) continue;
      std::string target =
          services_.links.ReadTarget(JoinPath(trimmed, entry.name)).value_or(std::string());
      rows.Append(Row{entry.name, type, std::move(target), trimmed, true});
    }
  }
}

void StartupFolderKind::Add(RowList& rows, Prompter& prompter) {
  if (locations_.empty()) return;
  const std::string& folder = locations_.front();
  const std::optional<EntryInput> input = prompter.Add(TypeText(), folder);
  if (!input) return;
  std::string name = input->name;
  if (TrimFolder(folder).empty()) {
    prompter.Refused("_StartupFolderUnknown", name);
    return;
  }
  if (!HasLnkSuffix(name)) name += ".lnk";
  if (!IsPlainFileName(name)) {
    prompter.Refused("_AddNotWritten", name);
    return;
  }
  const std::string file = JoinPath(folder, name);
  if (services_.files.Exists(file) && !prompter.ConfirmReplace(name)) return;
  if (!WriteLinkFile(services_, folder, file, input->data)) {
    prompter.Refused("_AddNotWritten", name);
    return;
  }
  services_.journal.Write(JournalKind::kAdd, "_LogItemType2Content1", {file});
  Refresh(rows);
}

void StartupFolderKind::Modify(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const RowEntry entry = ReadRow(rows, index);
  const std::optional<EntryInput> input =
      prompter.Modify(EntryFields{TypeText(), entry.location, entry.name, entry.data});
  if (!input) return;
  const std::string& newName = input->name;  // used as typed: no ".lnk" is added
  const std::string& newData = input->data;
  const std::string oldFile = JoinPath(entry.location, entry.name);
  const std::string newFile = JoinPath(entry.location, newName);
  if (!IsPlainFileName(newName)) {
    prompter.Refused(entry.enabled ? "_ModifyNotWritten" : "_ModifyNotStored", entry.name);
    return;
  }
  const bool done = entry.enabled ? ModifyLive(services_, entry.location, entry.name, entry.data,
                                               newName, newData, prompter)
                                  : ModifyKept(services_, entry.location, entry.name, entry.data,
                                               newName, newData, prompter);
  if (!done) return;
  services_.journal.Write(JournalKind::kModify, "_LogItemType3Content1",
                          {oldFile, newFile, newData});
  Refresh(rows);
}

void StartupFolderKind::Remove(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  const RowEntry entry = ReadRow(rows, index);
  if (!prompter.ConfirmRemove(entry.data)) return;
  FileSystem& files = services_.files;
  const std::string file = JoinPath(entry.location, entry.name);

  bool removed = false;
  if (entry.enabled) {
    // A file someone else deleted meanwhile is removed as asked.
    removed = files.DeleteFile(file) || !files.Exists(file);
  } else {
    const std::optional<std::string> kept =
        FindKeptFile(files, services_.links, KeptFolderOf(entry.location), entry.name, entry.data);
    removed = RemoveRecord(services_.store, entry) || !HasRecord(services_.store, entry);
    // The kept file goes after the record, so it never leaves a record without its file.
    if (removed && kept && !files.DeleteFile(*kept) && files.Exists(*kept)) {
      prompter.Refused("_RemoveNotDone", *kept);
    }
  }
  if (!removed) {
    prompter.Refused("_RemoveNotDone", entry.name);
    return;
  }
  services_.journal.Write(JournalKind::kRemove, "_LogItemType1Content1", {file});
  Refresh(rows);
  ReselectAfterRemove(rows, index);
}

void StartupFolderKind::Enable(RowList& rows, Prompter& prompter, int row) {
  const RowEntry entry = ReadRow(rows, row);
  FileSystem& files = services_.files;
  if (TrimFolder(entry.location).empty()) {
    rows.RestoreCheck(row, false);  // such a row is never listed; keep it as it was
    return;
  }
  const std::string file = JoinPath(entry.location, entry.name);
  const std::optional<std::string> kept =
      FindKeptFile(files, services_.links, KeptFolderOf(entry.location), entry.name, entry.data);
  const bool replacing = files.Exists(file);
  if (replacing && !prompter.ConfirmReplace(entry.name)) {
    rows.RestoreCheck(row, false);
    return;
  }
  // The live file is in place before the record goes.
  bool placed = false;
  if (kept) {
    placed = replacing ? files.ReplaceFile(*kept, file) : files.MoveFile(*kept, file);
  } else {
    placed = WriteLinkFile(services_, entry.location, file, entry.data);
  }
  if (!placed) {
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", entry.name);
    return;
  }
  if (!RemoveRecord(services_.store, entry) && HasRecord(services_.store, entry)) {
    // The record could not be taken out: undo the write so the entry is in one place only.
    if (kept) {
      files.MoveFile(file, *kept);
    } else {
      files.DeleteFile(file);
    }
    rows.RestoreCheck(row, false);
    prompter.Refused("_EnableNotWritten", entry.name);
    return;
  }
  services_.journal.Write(JournalKind::kEnable, "_LogItemType4Content1", {file});
}

void StartupFolderKind::Disable(RowList& rows, Prompter& prompter, int row) {
  const RowEntry entry = ReadRow(rows, row);
  FileSystem& files = services_.files;
  const std::string file = JoinPath(entry.location, entry.name);
  const std::string keptFolder = KeptFolderOf(entry.location);
  std::optional<std::string> keptPath;
  if (!TrimFolder(entry.location).empty() && files.CreateHiddenFolder(keptFolder)) {
    keptPath = FreeKeptPath(files, keptFolder, entry.name);
  }
  if (!keptPath) {
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotRemoved", entry.name);
    return;
  }
  // The record is saved before the file moves.
  if (!services_.store.Append(kKind, entry.location, entry.name, entry.data)) {
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotStored", entry.name);
    return;
  }
  if (!files.MoveFile(file, *keptPath)) {
    // The file stays live: take the record back so the entry is not listed twice.
    RemoveRecord(services_.store, entry);
    rows.RestoreCheck(row, true);
    prompter.Refused("_DisableNotRemoved", entry.name);
    return;
  }
  services_.journal.Write(JournalKind::kDisable, "_LogItemType5Content1", {file});
}
