// COM for the life of a scope: initialised on the calling thread, uninitialised at the end when
// the initialisation succeeded.
#pragma once

#include <objbase.h>

class ComSession {
 public:
  ComSession() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComSession() {
    if (ok_) CoUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  bool ok_;
};
