// Reading and writing shortcut (.lnk) files through the shell link object, behind an interface
// so that tests can make any single call fail. COM must be initialised on the calling thread.
#pragma once

#include <optional>
#include <string>

#include "platform/status.h"

// What a shortcut starts: its target path and the arguments it passes.
struct LinkCommand {
  std::string target;
  std::string arguments;
};

class ShellLinks {
 public:
  virtual ~ShellLinks() = default;
  // The target path of the shortcut at file (may be empty); nullopt when the file cannot be
  // read as a shortcut.
  virtual std::optional<std::string> ReadTarget(const std::string& file) = 0;
  // The target and arguments of the shortcut at file; nullopt when it cannot be read as one.
  virtual std::optional<LinkCommand> ReadCommand(const std::string& file) = 0;
  // Writes a shortcut at file whose only settings are its target and arguments. Success only
  // when it was saved.
  virtual Status WriteLink(const std::string& file, const std::string& target,
                           const std::string& arguments) = 0;
  Status WriteLink(const std::string& file, const std::string& target) {
    return WriteLink(file, target, std::string());
  }
  // Writes at file a copy of the shortcut at source with its target and arguments set to
  // these, keeping its working folder, icon and other settings. Success only when it was saved.
  virtual Status WriteRetargeted(const std::string& source, const std::string& file,
                                 const std::string& target, const std::string& arguments) = 0;
};

class Win32ShellLinks final : public ShellLinks {
 public:
  using ShellLinks::WriteLink;
  std::optional<std::string> ReadTarget(const std::string& file) override;
  std::optional<LinkCommand> ReadCommand(const std::string& file) override;
  Status WriteLink(const std::string& file, const std::string& target,
                   const std::string& arguments) override;
  Status WriteRetargeted(const std::string& source, const std::string& file,
                         const std::string& target, const std::string& arguments) override;
};
