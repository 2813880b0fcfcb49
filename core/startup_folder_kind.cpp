// Startup folders: every ordinary file at the top of each folder is one entry.
//
// No entry is ever lost, even when the process dies between two steps. Disable records the
// entry, then moves its file into the folder's kept-files folder in one rename; Enable moves the
// kept file back (or writes a shortcut from the record when there is none), then drops the
// record; Modify builds a new file beside the kept files and renames it into place before the
// old one goes. At every point the entry is live, recorded or kept. The moves run through the
// base kind's outline.
#include "core/startup_folder_kind.h"

#include <windows.h>

#include <cstring>

#include "core/ansi_text.h"
#include "core/kept_files.h"
#include "core/program_lookup.h"
#include "platform/file_system.h"
#include "platform/shell_links.h"
#include "store/disabled_store.h"
#include "store/language_table.h"

namespace {

// Read-only, hidden and system files are not entries; folders (with "." and "..") are not
// entered.
constexpr DWORD kNotListed = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

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

// A typed name must stay inside its folder; otherwise the user is told (key names the entry).
bool AcceptsName(const std::string& name, const char* key, const std::string& entryName,
                 Prompter& prompter) {
  if (IsPlainFileName(name)) return true;
  prompter.Refused(key, entryName, Status(ERROR_INVALID_NAME));
  return false;
}

// A file that is not a shortcut shows its own full path as its data.
bool IsPlainFile(const Entry& entry) {
  return SameText(entry.data, JoinPath(entry.location, entry.name));
}

// The shortcut that starts command: its target is the program, the rest its arguments. No
// environment is expanded: what was typed is what the shortcut holds.
LinkCommand ShortcutCommandOf(const std::string& command) {
  CommandLineParts parts = SplitCommandLine(command, SystemProgramLookup(), Expand::kNo);
  return {std::move(parts.program), std::move(parts.arguments)};
}

}  // namespace

const KindLook kStartupFolderKindLook{
    KindId::kStartupFolder, "_StartupFolderType", {200, 80, 350, 350, 240}};

StartupFolderKind::StartupFolderKind(KindServices& services, std::vector<std::string> locations)
    : EntryKind(services, std::move(locations), kStartupFolderKindLook) {}

bool StartupFolderKind::ListsLocation(const std::string& location) const {
  return !TrimFolder(location).empty();
}

std::vector<std::string> StartupFolderKind::RecordLocations(const std::string& location) const {
  std::string trimmed = TrimFolder(location);
  if (trimmed == location) return {location};
  return {location, std::move(trimmed)};
}

std::string StartupFolderKind::LocationKey(const std::string& location) const {
  return TrimFolder(location);
}

void StartupFolderKind::AppendLiveRows(RowList& rows, const std::string& location,
                                       const std::string& type) {
  const std::string folder = TrimFolder(location);
  const std::optional<std::vector<DirEntry>> entries = services_.files.List(folder);
  if (!entries) return;
  const ApprovedStates switches = SwitchesAt(location);
  for (const DirEntry& entry : *entries) {
    if (entry.attributes & kNotListed) continue;
    if (!entry.exact) {
      // Its name cannot be given back to the system: listed, but never touched.
      rows.Append(Row{
          entry.name, services_.language.T("_StartupFolderTypeInexact"), {}, folder, true, false});
      continue;
    }
    // A shortcut shows what it starts, as Modify would write it back; any other file its path.
    const std::string file = JoinPath(folder, entry.name);
    const std::optional<LinkCommand> command = services_.links.ReadCommand(file);
    const ApprovedState state = switches.Of(entry.name);
    rows.Append(Row{entry.name, type,
                    command ? JoinCommandLine(command->target, command->arguments) : file, folder,
                    true, true, state.off, state.offSince});
  }
}

JournalNote StartupFolderKind::NoteOf(JournalKind kind, const Entry& entry,
                                      const EntryInput* changed) const {
  const std::string file = JoinPath(entry.location, entry.name);
  switch (kind) {
    case JournalKind::kModify:
      return {kind,
              "_LogItemType3Content1",
              {file, JoinPath(entry.location, changed ? changed->name : entry.name),
               changed ? changed->data : entry.data}};
    case JournalKind::kRemove:
      return {kind, "_LogItemType1Content1", {file}};
    case JournalKind::kAdd:
      return {kind, "_LogItemType2Content1", {file}};
    case JournalKind::kEnable:
      return {kind, "_LogItemType4Content1", {file}};
    case JournalKind::kDisable:
      return {kind, "_LogItemType5Content1", {file}};
  }
  return {kind, {}, {}};
}

void StartupFolderKind::TidyKeptFolder(const std::string& folder) {
  services_.files.RemoveEmptyFolder(KeptFolderOf(folder));
}

EntryInput StartupFolderKind::ChangedEntry(const Entry& entry, const EntryInput& input) const {
  if (!IsPlainFile(entry)) return input;
  const std::string renamed = JoinPath(entry.location, input.name);
  // The path shown, or the path of the new name: a rename. Anything else is refused later.
  if (SameText(input.data, entry.data) || SameText(input.data, renamed)) {
    return {input.name, renamed};
  }
  return input;
}

Status StartupFolderKind::WriteLinkFile(const std::string& folder, const std::string& file,
                                        const std::string& command) {
  FileSystem& files = services_.files;
  const LinkCommand link = ShortcutCommandOf(command);
  if (!files.Exists(file)) {
    const Status written = services_.links.WriteLink(file, link.target, link.arguments);
    if (!written) files.DeleteFile(file);  // no half-written shortcut stays behind
    return written;
  }
  // Replacing: the new file is made beside the kept files, then renamed over the old, so the
  // folder always holds either the old or the new file.
  const std::string kept = KeptFolderOf(folder);
  if (const Status made = files.CreateHiddenFolder(kept); !made) return made;
  const std::optional<std::string> temp = FreeTempPath(files, kept);
  if (!temp) return Status(ERROR_FILE_EXISTS);
  Status written = services_.links.WriteLink(*temp, link.target, link.arguments);
  if (written) written = files.ReplaceFile(*temp, file);
  if (!written) files.DeleteFile(*temp);
  TidyKeptFolder(folder);
  return written;
}

void StartupFolderKind::Add(RowList& rows, Prompter& prompter) {
  std::optional<Entry> entry = AskNewEntry(prompter);
  if (!entry) return;
  if (TrimFolder(entry->location).empty()) {
    prompter.Refused("_StartupFolderUnknown", entry->name, Status());
    return;
  }
  if (!HasLnkSuffix(entry->name)) entry->name += ".lnk";
  if (!AcceptsName(entry->name, "_AddNotWritten", entry->name, prompter)) return;
  const std::string file = JoinPath(entry->location, entry->name);
  if (services_.files.Exists(file) && !prompter.ConfirmReplace("_ConfirmReplaceFile", entry->name))
    return;
  if (const Status written = WriteLinkFile(entry->location, file, entry->data); !written) {
    prompter.Refused("_AddNotWritten", entry->name, written);
    return;
  }
  WriteJournal(NoteOf(JournalKind::kAdd, *entry, nullptr));
  Refresh(rows);
}

std::optional<bool> StartupFolderKind::ModifyLive(const Entry& entry, const EntryInput& input,
                                                  Prompter& prompter) {
  if (!AcceptsName(input.name, "_ModifyNotWritten", entry.name, prompter)) return std::nullopt;
  const bool plain = IsPlainFile(entry);
  if (plain && !SameText(input.data, JoinPath(entry.location, input.name))) {
    // Its content is not a command line: it can be renamed, never replaced.
    prompter.Refused("_ModifyPlainFileCommand", entry.name, Status());
    return std::nullopt;
  }
  FileSystem& files = services_.files;
  const std::string oldFile = JoinPath(entry.location, entry.name);
  const std::string newFile = JoinPath(entry.location, input.name);
  const bool sameFile = SameText(entry.name, input.name);  // file names ignore case
  const bool replacing = !sameFile && files.Exists(newFile);
  if (replacing && !prompter.ConfirmReplace("_ConfirmReplaceFile", input.name)) return std::nullopt;

  if (input.data == entry.data || plain) {
    // Only the name changes: one rename keeps the file's bytes (arguments, icon, content).
    if (entry.name == input.name) return true;
    const Status renamed =
        replacing ? files.ReplaceFile(oldFile, newFile) : files.MoveFile(oldFile, newFile);
    if (renamed) return true;
    prompter.Refused("_ModifyNotWritten", entry.name, renamed);
    return std::nullopt;
  }
  // A new command: a copy of the shortcut with the new target and arguments is made beside the
  // kept files, then renamed into place. A file that cannot be read as a shortcut is left as
  // it is.
  const LinkCommand link = ShortcutCommandOf(input.data);
  const std::string kept = KeptFolderOf(entry.location);
  std::optional<std::string> temp;
  Status prepared = files.CreateHiddenFolder(kept);
  if (prepared) {
    temp = FreeTempPath(files, kept);
    if (!temp) prepared = Status(ERROR_FILE_EXISTS);
  }
  if (prepared) {
    prepared = services_.links.WriteRetargeted(oldFile, *temp, link.target, link.arguments);
  }
  if (!prepared) {
    if (temp) files.DeleteFile(*temp);
    TidyKeptFolder(entry.location);
    prompter.Refused("_ModifyNotWritten", entry.name, prepared);
    return std::nullopt;
  }
  MoveStep step;
  step.place = [&] {
    const Status placed = (sameFile || replacing)
                              ? files.ReplaceFile(*temp, sameFile ? oldFile : newFile)
                              : files.MoveFile(*temp, newFile);
    if (!placed) files.DeleteFile(*temp);
    return placed;
  };
  step.leave = [&] {
    if (sameFile) {
      if (entry.name != input.name) files.MoveFile(oldFile, newFile);  // the new letter case
      return Status();
    }
    const Status deleted = files.DeleteFile(oldFile);
    return deleted || !files.Exists(oldFile) ? Status() : deleted;
  };
  // The new file goes again unless it replaced another file.
  step.undo = [&] {
    if (!replacing) files.DeleteFile(newFile);
  };
  step.placeRefusal = step.leaveRefusal = "_ModifyNotWritten";
  step.subject = entry.name;
  const bool moved = Move(step, prompter);
  TidyKeptFolder(entry.location);
  if (moved) return true;
  return std::nullopt;
}

std::optional<bool> StartupFolderKind::ModifyKept(const Entry& entry, const EntryInput& input,
                                                  Prompter& prompter) {
  if (!AcceptsName(input.name, "_ModifyNotStored", entry.name, prompter)) return std::nullopt;
  FileSystem& files = services_.files;
  const std::string keptFolder = KeptFolderOf(entry.location);
  const std::optional<std::string> kept =
      FindKeptFile(files, services_.links, keptFolder, entry.name, entry.data);
  // A kept file that is not a shortcut (also one recorded before its path was its data) can
  // only be renamed.
  const bool plain = IsPlainFile(entry) || (kept && !services_.links.ReadCommand(*kept));
  if (plain && !SameText(input.data, JoinPath(entry.location, input.name))) {
    prompter.Refused("_ModifyPlainFileCommand", entry.name, Status());
    return std::nullopt;
  }

  // With a new command the kept file's copy is prepared first, so a failure changes nothing.
  std::optional<std::string> temp;
  if (kept && !plain && input.data != entry.data) {
    const LinkCommand link = ShortcutCommandOf(input.data);
    temp = FreeTempPath(files, keptFolder);
    const Status prepared =
        temp ? services_.links.WriteRetargeted(*kept, *temp, link.target, link.arguments)
             : Status(ERROR_FILE_EXISTS);
    if (!prepared) {
      if (temp) files.DeleteFile(*temp);
      prompter.Refused("_ModifyNotStored", entry.name, prepared);
      return std::nullopt;
    }
  }
  if (const Status updated = UpdateRecord(entry, input.name, input.data); !updated) {
    if (temp) files.DeleteFile(*temp);
    if (IsNoRecord(updated)) return true;  // the record is gone already: nothing left to change
    prompter.Refused("_ModifyNotStored", entry.name, updated);
    return std::nullopt;
  }
  // The record holds the entry now; the kept file follows it. Should that fail, the kept file
  // stays under its old name and Enable writes a shortcut from the record instead.
  if (!kept) return true;
  if (temp) {
    if (SameText(entry.name, input.name)) {
      if (!files.ReplaceFile(*temp, *kept)) files.DeleteFile(*temp);
    } else if (const std::optional<std::string> target =
                   FreeKeptPath(files, keptFolder, input.name);
               target && files.MoveFile(*temp, *target)) {
      files.DeleteFile(*kept);
    } else {
      files.DeleteFile(*temp);
    }
  } else if (!SameText(entry.name, input.name)) {
    if (const std::optional<std::string> target = FreeKeptPath(files, keptFolder, input.name)) {
      files.MoveFile(*kept, *target);
    }
  }
  return true;
}

std::optional<bool> StartupFolderKind::RemoveEntry(const Entry& entry, Prompter& prompter) {
  FileSystem& files = services_.files;
  const std::string file = JoinPath(entry.location, entry.name);
  if (entry.enabled) {
    // A file someone else deleted meanwhile is removed as asked.
    const Status deleted = files.DeleteFile(file);
    if (deleted || !files.Exists(file)) return true;
    prompter.Refused("_RemoveNotDone", entry.name, deleted);
    return std::nullopt;
  }
  const std::optional<std::string> kept =
      FindKeptFile(files, services_.links, KeptFolderOf(entry.location), entry.name, entry.data);
  if (const Status removed = RemoveRecord(entry); !removed && !IsNoRecord(removed)) {
    prompter.Refused("_RemoveNotDone", entry.name, removed);
    return std::nullopt;
  }
  // The kept file goes after the record, so it never leaves a record without its file.
  if (kept) {
    if (const Status deleted = files.DeleteFile(*kept); !deleted && files.Exists(*kept)) {
      prompter.Refused("_RemoveNotDone", *kept, deleted);
    } else {
      TidyKeptFolder(entry.location);
    }
  }
  return true;
}

std::optional<MoveStep> StartupFolderKind::EnableStep(const Entry& entry, Prompter& prompter) {
  // Such a row is never listed; it is kept as it was.
  if (TrimFolder(entry.location).empty()) return std::nullopt;
  FileSystem& files = services_.files;
  const std::string file = JoinPath(entry.location, entry.name);
  const std::optional<std::string> kept =
      FindKeptFile(files, services_.links, KeptFolderOf(entry.location), entry.name, entry.data);
  if (!kept && IsPlainFile(entry)) {
    // A shortcut made from the record would start only itself.
    prompter.Refused("_EnablePlainFileMissing", entry.name, Status(ERROR_FILE_NOT_FOUND));
    return std::nullopt;
  }
  const bool replacing = files.Exists(file);
  if (replacing && !prompter.ConfirmReplace("_ConfirmReplaceFile", entry.name)) return std::nullopt;
  // The live file: the kept file back, or a shortcut made from the record when there is none.
  MoveStep step = OutOfStore(
      entry,
      [this, &files, entry, file, kept, replacing] {
        if (!kept) return WriteLinkFile(entry.location, file, entry.data);
        return replacing ? files.ReplaceFile(*kept, file) : files.MoveFile(*kept, file);
      },
      [&files, file, kept] {
        if (kept) {
          files.MoveFile(file, *kept);
        } else {
          files.DeleteFile(file);
        }
      });
  if (kept) {
    // Once the record is gone too, the kept-files folder goes when that was its last file.
    step.leave = [this, location = entry.location, leave = std::move(step.leave)] {
      const Status left = leave();
      if (left) TidyKeptFolder(location);
      return left;
    };
  }
  return step;
}

std::optional<MoveStep> StartupFolderKind::DisableStep(const Entry& entry, Prompter& prompter) {
  FileSystem& files = services_.files;
  const std::string file = JoinPath(entry.location, entry.name);
  const std::string keptFolder = KeptFolderOf(entry.location);
  std::optional<std::string> keptPath;
  Status ready = TrimFolder(entry.location).empty() ? Status(ERROR_PATH_NOT_FOUND)
                                                    : files.CreateHiddenFolder(keptFolder);
  if (ready) {
    keptPath = FreeKeptPath(files, keptFolder, entry.name);
    if (!keptPath) ready = Status(ERROR_FILE_EXISTS);
  }
  if (!ready) {
    prompter.Refused("_DisableNotRemoved", entry.name, ready);
    return std::nullopt;
  }
  // The file moves into the kept-files folder once its record is saved.
  return IntoStore(entry, [&files, file, keptPath] { return files.MoveFile(file, *keptPath); });
}

EntryPlace StartupFolderKind::PlaceOf(const Entry& entry) const {
  if (entry.enabled) return {EntryPlace::Kind::kFile, JoinPath(entry.location, entry.name)};
  const std::optional<std::string> kept = FindKeptFile(
      services_.files, services_.links, KeptFolderOf(entry.location), entry.name, entry.data);
  return {EntryPlace::Kind::kFile, kept ? *kept : TrimFolder(entry.location)};
}
