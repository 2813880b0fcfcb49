// Entry point of every test exe: COM on the test thread, then GoogleTest.
#include <gtest/gtest.h>
#include <objbase.h>

#include "dpi_rerun.h"

int main(int argc, char** argv) {
  if (const auto rerun = RunAtRequestedDpi()) return *rerun;
  ::testing::InitGoogleTest(&argc, argv);
  const HRESULT com = CoInitialize(nullptr);
  const int result = RUN_ALL_TESTS();
  ReportDpiRun(result);
  if (SUCCEEDED(com)) CoUninitialize();
  return result;
}
