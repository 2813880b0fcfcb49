// The outcome of a platform call that changes something: success, or the Win32 error code (or
// HRESULT) that made it fail, so the user can be told the system's own reason.
#pragma once

#include <windows.h>

#include <string>

class Status {
 public:
  constexpr Status() = default;  // success
  // ERROR_SUCCESS (0) stands for success; any other code for a failure.
  constexpr explicit Status(DWORD code) : code_(code) {}

  // The calling thread's last error; never success, even when a failed call left it at 0.
  static Status LastError();
  // A COM result: success for S_OK, the Win32 code inside a FACILITY_WIN32 result, else the
  // HRESULT itself (FormatMessage knows both). S_FALSE and other non-failures but S_OK fail
  // with ERROR_GEN_FAILURE.
  static Status FromHresult(HRESULT result);
  // A failure with code, or ERROR_GEN_FAILURE when code is 0.
  static Status Failed(DWORD code);

  constexpr bool Ok() const { return code_ == ERROR_SUCCESS; }
  constexpr explicit operator bool() const { return Ok(); }
  constexpr DWORD Code() const { return code_; }

 private:
  DWORD code_ = ERROR_SUCCESS;
};

// The system's text for a Win32 code or HRESULT (FormatMessage, user's language), without the
// trailing line break; empty for success or a code the system has no text for.
std::string SystemMessage(DWORD code);

// The program's own text followed by the system's text for reason ("The entry was not added.
// Access is denied."); the text alone when reason is success or has no system text.
std::string WithSystemReason(const std::string& text, Status reason);
