// Reading and writing shortcut (.lnk) files through the shell link object, behind an interface
// so that tests can make any single call fail. COM must be initialised on the calling thread.
#pragma once

#include <optional>
#include <string>

#include "platform/status.h"

class ShellLinks {
 public:
  virtual ~ShellLinks() = default;
  // The target path of the shortcut at file (may be empty); nullopt when the file cannot be
  // read as a shortcut.
  virtual std::optional<std::string> ReadTarget(const std::string& file) = 0;
  // Writes a shortcut at file whose only setting is its target. Success only when it was saved.
  virtual Status WriteLink(const std::string& file, const std::string& target) = 0;
  // Writes at file a copy of the shortcut at source with its target set to target, keeping
  // its arguments, working folder, icon and other settings. Success only when it was saved.
  virtual Status WriteRetargeted(const std::string& source, const std::string& file,
                                 const std::string& target) = 0;
};

class Win32ShellLinks final : public ShellLinks {
 public:
  std::optional<std::string> ReadTarget(const std::string& file) override;
  Status WriteLink(const std::string& file, const std::string& target) override;
  Status WriteRetargeted(const std::string& source, const std::string& file,
                         const std::string& target) override;
};
