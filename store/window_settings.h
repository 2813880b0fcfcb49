// The main window's remembered placement, kept in config.xml beside the records:
//   <settings><window left=".." top=".." right=".." bottom=".." maximized="1"/>
//             <splitter position=".."/><view hideWindowsEntries="1"/></settings>
// under the config root. The window rectangle is the restored (normal) one as the placement
// calls give it; the splitter position is in pixels at 96 DPI, so it survives a DPI change.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/status.h"

class XmlDocument;

struct WindowSettings {
  struct Placement {
    RECT normal{};
    bool maximized = false;
  };
  std::optional<Placement> window;
  std::optional<int> splitterPosition96;
  // The entry views hide the rows of programs signed as Windows.
  std::optional<bool> hideWindowsEntries;
};

bool operator==(const WindowSettings& a, const WindowSettings& b);

// Where the main window keeps its settings between runs.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // nullopt when there are none or the file cannot be read.
  virtual std::optional<WindowSettings> ReadSettings() = 0;
  // Replaces the parts given; never touches anything else in the file.
  virtual Status WriteSettings(const WindowSettings& settings) = 0;
};

// The settings of a loaded document; a part that is missing or malformed is left out.
WindowSettings ReadSettingsElement(XmlDocument& doc);
// Sets the parts given in the document's settings element, adding the element (and its
// children) when missing; other attributes and children stay. False when the document has no
// config root or the DOM refuses.
bool WriteSettingsElement(XmlDocument& doc, const WindowSettings& settings);
