#include "gui/tree_paths.h"

#include <algorithm>
#include <cstdlib>

namespace gui {
namespace {

std::string TreePath(const char* variable, const std::string& relative) {
  const char* root = std::getenv(variable);
  std::string path = relative;
  if (root && *root) {
    std::string base = root;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    path = "Z:" + base + "/" + relative;  // Wine maps the Unix root to drive Z:
  }
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace

std::string SourcePath(const std::string& relative) {
  return TreePath("QV_SOURCE_DIR", relative);
}

std::string BuildPath(const std::string& relative) {
  return TreePath("QV_BUILD_DIR", relative);
}

}  // namespace gui
