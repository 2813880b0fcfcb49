// Where the files of disabled startup folder entries are kept: a hidden subfolder of the
// startup folder they came from. Windows starts only the files at the top of a startup folder
// and the folder scan skips subfolders, so a kept file is neither started nor listed, yet keeps
// everything a store record cannot (arguments, working folder, icon, a program's own bytes).
//
// Kept files are found again by name and command: the file of record (name N, data D) is N
// itself or one of its numbered copies ("App (2).lnk") whose shortcut's command line (or bare
// target) equals D; for a file that is not a shortcut D is its path in the startup folder (or
// empty). Two disabled files of one name never overwrite each other.
#pragma once

#include <optional>
#include <string>

class FileSystem;
class ShellLinks;

// The name of the kept-files folder inside every startup folder.
extern const char kKeptFolderName[];

// folder without one trailing backslash, stepping by character of the active code page.
std::string TrimFolder(const std::string& folder);
// folder (trimmed) + "\" + name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The kept-files folder of a startup folder.
std::string KeptFolderOf(const std::string& folder);

// Copy 1 is the name itself, copy k > 1 puts " (k)" before the extension: App.lnk, App (2).lnk;
// a name without extension gets it at the end: App2 (2).
std::string NumberedName(const std::string& name, int copy);
// The copy number when file is name or one of its numbered copies (ignoring case), else 0.
int CopyNumberOf(const std::string& file, const std::string& name);

// Full path of a free place for a kept copy of `name` in keptFolder (nothing there yet);
// nullopt when no numbered name up to a limit is free.
std::optional<std::string> FreeKeptPath(FileSystem& files, const std::string& keptFolder,
                                        const std::string& name);

// Full path of a free temporary file in folder, for writing a file before it is moved into
// place.
std::optional<std::string> FreeTempPath(FileSystem& files, const std::string& folder);

// The kept file of the record (name, data) in keptFolder, lowest copy number first; nullopt
// when there is none (the record was written by another copy of the program, or the file is
// gone).
std::optional<std::string> FindKeptFile(FileSystem& files, ShellLinks& links,
                                        const std::string& keptFolder, const std::string& name,
                                        const std::string& data);
