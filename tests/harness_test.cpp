// The test harness itself: the exe runs as a 64-bit process with the program's manifest.
#include <windows.h>
#include <gtest/gtest.h>

TEST(Harness, RunsWithTheUtf8CodePageOfTheManifest) {
  EXPECT_EQ(GetACP(), 65001u);
  EXPECT_EQ(sizeof(void*), 8u);
}
