// The file and folder operations the startup folder and list-value kinds use, behind an
// interface so that tests can make any single call fail. Paths are 8-bit, active code page, and
// may be longer than MAX_PATH.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

struct DirEntry {
  std::string name;  // as the file system returns it (cFileName)
  DWORD attributes = 0;
  // False when the name holds characters the 8-bit text cannot carry: `name` then has
  // substitutes and names no file (or another one).
  bool exact = true;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The entries of folder (pattern folder\*.*), "." and ".." included, in the order the file
  // system returns them. nullopt when the listing cannot start.
  virtual std::optional<std::vector<DirEntry>> List(const std::string& folder) = 0;
  // The entries of folder whose names match pattern (wildcards * and ?, ignoring case), so a
  // large folder need not be listed whole to find a few names. The system may also match an
  // entry by its short (8.3) name: callers check the names they get.
  virtual std::optional<std::vector<DirEntry>> ListMatching(const std::string& folder,
                                                            const std::string& pattern) = 0;

  virtual bool Exists(const std::string& path) = 0;  // a file or folder of that path exists
  virtual Status DeleteFile(const std::string& path) = 0;
  // Renames without replacing an existing target. Success when the file is now at `to`.
  virtual Status MoveFile(const std::string& from, const std::string& to) = 0;
  // Moves from over to in one atomic rename, replacing an existing target (write-through).
  virtual Status ReplaceFile(const std::string& from, const std::string& to) = 0;
  // Creates the folder if it does not exist and gives it the hidden attribute.
  virtual Status CreateHiddenFolder(const std::string& path) = 0;
  // Removes the folder only when it is empty; a folder that holds anything stays as it is.
  virtual Status RemoveEmptyFolder(const std::string& path) = 0;
  // The short (8.3) form of path; empty when it yields nothing (missing file) or is still too
  // long for a plain path (MAX_PATH).
  virtual std::string ShortPath(const std::string& path) = 0;
};

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::vector<DirEntry>> List(const std::string& folder) override;
  std::optional<std::vector<DirEntry>> ListMatching(const std::string& folder,
                                                    const std::string& pattern) override;
  bool Exists(const std::string& path) override;
  Status DeleteFile(const std::string& path) override;
  Status MoveFile(const std::string& from, const std::string& to) override;
  Status ReplaceFile(const std::string& from, const std::string& to) override;
  Status CreateHiddenFolder(const std::string& path) override;
  Status RemoveEmptyFolder(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
};
