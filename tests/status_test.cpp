// The outcome of platform calls and the text the user sees for it.
#include "platform/status.h"

#include <gtest/gtest.h>

namespace {

TEST(Status, KeepsTheCodeOfAFailure) {
  struct Case {
    Status status;
    bool ok;
    DWORD code;
  };
  const Case cases[] = {
      {Status(), true, ERROR_SUCCESS},
      {Status(ERROR_ACCESS_DENIED), false, ERROR_ACCESS_DENIED},
      {Status::Failed(ERROR_SUCCESS), false, ERROR_GEN_FAILURE},  // a failure is never success
      {Status::FromHresult(S_OK), true, ERROR_SUCCESS},
      {Status::FromHresult(S_FALSE), false, ERROR_GEN_FAILURE},  // S_FALSE did not do it
      {Status::FromHresult(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)), false,
       ERROR_SHARING_VIOLATION},
      {Status::FromHresult(E_NOINTERFACE), false, static_cast<DWORD>(E_NOINTERFACE)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.status.Ok(), c.ok) << c.code;
    EXPECT_EQ(static_cast<bool>(c.status), c.ok) << c.code;
    EXPECT_EQ(c.status.Code(), c.code);
  }
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Status::LastError().Code(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  SetLastError(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Status::LastError().Code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Status, TheSystemsTextFollowsTheProgramsOwn) {
  const std::string denied = SystemMessage(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(denied.empty());
  EXPECT_NE(denied.back(), '\n');  // no line break of FormatMessage's own

  EXPECT_EQ(WithSystemReason("Not added.", Status()), "Not added.");
  EXPECT_EQ(WithSystemReason("Not added.", Status(ERROR_ACCESS_DENIED)), "Not added. " + denied);
  EXPECT_EQ(WithSystemReason("Line\n", Status(ERROR_ACCESS_DENIED)), "Line\n" + denied);
  EXPECT_EQ(WithSystemReason("", Status(ERROR_ACCESS_DENIED)), denied);
  // A code the system has no text for adds nothing.
  EXPECT_EQ(WithSystemReason("Not added.", Status(0x2FFFFFFF)), "Not added.");
  EXPECT_EQ(SystemMessage(ERROR_SUCCESS), "");
}

}  // namespace
