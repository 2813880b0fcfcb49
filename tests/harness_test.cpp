// The test harness itself: the exe runs as a 64-bit process with the program's manifest.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Harness, RunsWithTheUtf8CodePageOfTheManifest) {
  EXPECT_EQ(GetACP(), 65001u);
  EXPECT_EQ(sizeof(void*), 8u);
}
