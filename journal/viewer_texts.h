// The viewer's texts: read from the language file of the program that shows it, so the viewer
// speaks the program's language without the program passing anything through the interface.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "journal/record_format.h"

struct ViewerTexts {
  std::wstring title;
  std::array<std::wstring, kRecordFieldCount> columns;
  std::wstring close;
};

// The language file of the host process: <exe dir>\<exe base name>.language; empty when the
// module path cannot be read.
std::wstring HostLanguageFile();

// The texts from section [String] of file by the program's rules (keys without regard to case,
// blanks and one pair of quotes around a text dropped, backslash-r/-n become line breaks); the
// English default for every key without a text, also when file is empty or missing. The title is
// the menu item "_LogViewer" as a caption.
ViewerTexts LoadViewerTexts(const std::wstring& file);

// A menu item's text as a caption: the accelerator part from the first tab on dropped, "&&" kept
// as one "&" and every other "&" (an access-key mark) removed.
std::wstring CaptionFromMenuText(std::wstring_view text);
