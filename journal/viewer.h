// The journal viewer: a modal, resizable window with one list row per record and one column per
// field, built in code. Escape, the Close button and the window's close box close it. Its title,
// column titles and button come from the host program's language file (viewer_texts.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Shows rows (fields in UTF-8, in the order to list them) and returns when the viewer closes.
HRESULT RunViewer(HWND owner, const std::vector<std::vector<std::string>>& rows);
