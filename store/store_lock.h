// The cross-process lock of one store file. Every change of config.xml (load, change, save)
// holds it for its whole duration, so the window, the console program and scripts that change
// the same file at the same moment never lose one another's records.
//
// The lock is a named mutex, "Local\Quorvane.store.<16 hex digits>", the digits being the
// 64-bit FNV-1a hash of the UTF-16LE bytes of the file's full path in invariant upper case
// (folder in its long form), so every spelling of one path meets in one lock and a script can
// compute the name too. It lives in the session's own namespace: the window and a script of
// the same user run in the same logon session, and Global would let any other session's user
// take the lock and so stop every change here. Its access list grants the user (and SYSTEM)
// alone, so the window running elevated and a script running plain open the same lock.
#pragma once

#include <windows.h>

#include <string>

#include "platform/status.h"
#include "platform/win_handles.h"

// The name of the lock that guards the store file at storePath (active code page).
std::wstring StoreLockName(const std::string& storePath);

class StoreLock {
 public:
  // How long a change waits for another process's change before it gives up.
  static constexpr DWORD kDefaultTimeoutMs = 30000;

  // Waits up to timeoutMs for the lock `name`. A lock whose holder ended without releasing it
  // (a crashed process) is taken over: the store's saves are crash-safe, so the file is whole.
  static StoreLock Acquire(const std::wstring& name, DWORD timeoutMs);

  StoreLock(StoreLock&&) noexcept = default;
  StoreLock& operator=(StoreLock&&) = delete;
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  ~StoreLock();

  // Success while held; ERROR_TIMEOUT when another holder kept it all the time; otherwise the
  // system's reason the lock could not be made or waited for.
  Status Result() const { return result_; }
  bool TookOverAbandoned() const { return abandoned_; }

 private:
  StoreLock(UniqueKernelHandle mutex, Status result, bool abandoned)
      : mutex_(std::move(mutex)), result_(result), abandoned_(abandoned) {}

  UniqueKernelHandle mutex_;  // owned (and released on destruction) only when result_ is Ok
  Status result_;
  bool abandoned_ = false;
};
