// Runs a test exe at a chosen DPI. Wine takes a process's DPI from the user's LogPixels setting
// when the process starts, so the exe sets it, runs itself again as a child and puts it back.
#pragma once

#include <optional>

// With QV_TEST_DPI=<dpi> in the environment: in the first process, runs the same command line
// at that DPI and returns its exit code; in that child, nullopt when the DPI took effect and 1
// when it did not (the run would silently test the wrong DPI). Without the variable: nullopt.
std::optional<int> RunAtRequestedDpi();

// In a child run at a requested DPI, says "dpi run passed" when result (the tests' exit code) is
// 0: the mark ctest looks for, since the first of two runs may have printed failures.
void ReportDpiRun(int result);
