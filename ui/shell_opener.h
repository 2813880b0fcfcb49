// The one way the program hands a URL, a document or Explorer to the shell ("open" verb), so
// tests can replace it and nothing reaches the real browser or Explorer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

using ShellOpener =
    std::function<bool(HWND owner, const std::string& file, const std::string& params)>;

// Opens file (with params, may be empty) through the current opener; true when the shell
// accepted it.
bool OpenWithShell(HWND owner, const std::string& file, const std::string& params = {});

// Installs opener (an empty one restores the shell) and returns the previous one.
ShellOpener ReplaceShellOpener(ShellOpener opener);
