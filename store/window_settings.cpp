#include "store/window_settings.h"

#include <cerrno>
#include <cstdlib>

#include "platform/xml_dom.h"

namespace {

constexpr char kRootPath[] = "/config";
constexpr char kSettingsName[] = "settings";
constexpr char kSettingsPath[] = "/config/settings";
constexpr char kWindowName[] = "window";
constexpr char kSplitterName[] = "splitter";
constexpr char kViewName[] = "view";
constexpr char kHideWindowsName[] = "hideWindowsEntries";

std::optional<int> ReadInt(const XmlNode& node, const char* name) {
  const std::optional<std::string> text = node.Attribute(name);
  if (!text || text->empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text->c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < -1000000 || value > 1000000) return std::nullopt;
  return static_cast<int>(value);
}

// The named child of parent, made and appended when there is none.
XmlNode Child(XmlDocument& doc, XmlNode& parent, const std::string& path, const char* name) {
  if (XmlNode found = doc.SelectSingleNode(path)) return found;
  XmlNode made = doc.CreateElement(name);
  if (!made || !parent.AppendChild(made)) return {};
  return made;
}

}  // namespace

bool operator==(const WindowSettings& a, const WindowSettings& b) {
  if (a.window.has_value() != b.window.has_value()) return false;
  if (a.window) {
    const RECT& x = a.window->normal;
    const RECT& y = b.window->normal;
    if (x.left != y.left || x.top != y.top || x.right != y.right || x.bottom != y.bottom ||
        a.window->maximized != b.window->maximized) {
      return false;
    }
  }
  return a.splitterPosition96 == b.splitterPosition96 &&
         a.hideWindowsEntries == b.hideWindowsEntries;
}

WindowSettings ReadSettingsElement(XmlDocument& doc) {
  WindowSettings settings;
  const std::string base = std::string(kSettingsPath) + "/";
  if (XmlNode window = doc.SelectSingleNode(base + kWindowName)) {
    const auto left = ReadInt(window, "left");
    const auto top = ReadInt(window, "top");
    const auto right = ReadInt(window, "right");
    const auto bottom = ReadInt(window, "bottom");
    if (left && top && right && bottom && *right > *left && *bottom > *top) {
      settings.window = WindowSettings::Placement{
          RECT{*left, *top, *right, *bottom}, window.Attribute("maximized").value_or("0") == "1"};
    }
  }
  if (XmlNode splitter = doc.SelectSingleNode(base + kSplitterName)) {
    const auto position = ReadInt(splitter, "position");
    if (position && *position >= 0) settings.splitterPosition96 = position;
  }
  if (XmlNode view = doc.SelectSingleNode(base + kViewName)) {
    const std::optional<std::string> hide = view.Attribute(kHideWindowsName);
    if (hide == "1" || hide == "0") settings.hideWindowsEntries = *hide == "1";
  }
  return settings;
}

bool WriteSettingsElement(XmlDocument& doc, const WindowSettings& settings) {
  XmlNode root = doc.SelectSingleNode(kRootPath);
  if (!root) return false;
  XmlNode element = Child(doc, root, kSettingsPath, kSettingsName);
  if (!element) return false;
  const std::string base = std::string(kSettingsPath) + "/";
  if (settings.window) {
    XmlNode window = Child(doc, element, base + kWindowName, kWindowName);
    const RECT& r = settings.window->normal;
    if (!window || !window.SetAttribute("left", std::to_string(r.left)) ||
        !window.SetAttribute("top", std::to_string(r.top)) ||
        !window.SetAttribute("right", std::to_string(r.right)) ||
        !window.SetAttribute("bottom", std::to_string(r.bottom)) ||
        !window.SetAttribute("maximized", settings.window->maximized ? "1" : "0")) {
      return false;
    }
  }
  if (settings.splitterPosition96) {
    XmlNode splitter = Child(doc, element, base + kSplitterName, kSplitterName);
    if (!splitter ||
        !splitter.SetAttribute("position", std::to_string(*settings.splitterPosition96))) {
      return false;
    }
  }
  if (settings.hideWindowsEntries) {
    XmlNode view = Child(doc, element, base + kViewName, kViewName);
    if (!view || !view.SetAttribute(kHideWindowsName, *settings.hideWindowsEntries ? "1" : "0")) {
      return false;
    }
  }
  return true;
}
