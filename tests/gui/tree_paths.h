// Windows paths of files in the source and build trees, whose Unix roots the test run passes
// in QV_SOURCE_DIR and QV_BUILD_DIR.
#pragma once

#include <string>

namespace gui {

// relative uses '/' or '\'; without the variable the path is relative to the current folder.
std::string SourcePath(const std::string& relative);
std::string BuildPath(const std::string& relative);

}  // namespace gui
