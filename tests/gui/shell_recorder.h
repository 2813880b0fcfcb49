// Records every shell open the program makes instead of reaching the shell, for the life of
// the object.
#pragma once

#include <string>
#include <vector>

#include "ui/shell_opener.h"

namespace gui {

class ShellRecorder {
 public:
  struct Call {
    std::string file;
    std::string params;
  };
  ShellRecorder();
  ~ShellRecorder();
  ShellRecorder(const ShellRecorder&) = delete;
  ShellRecorder& operator=(const ShellRecorder&) = delete;
  const std::vector<Call>& Calls() const { return calls_; }

 private:
  ShellOpener previous_;
  std::vector<Call> calls_;
};

}  // namespace gui
