#include "gui/shell_recorder.h"

namespace gui {

ShellRecorder::ShellRecorder() {
  previous_ = ReplaceShellOpener([this](HWND, const std::string& file, const std::string& params) {
    calls_.push_back({file, params});
    return true;
  });
}

ShellRecorder::~ShellRecorder() {
  ReplaceShellOpener(previous_);
}

}  // namespace gui
