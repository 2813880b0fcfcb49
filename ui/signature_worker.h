// A thread that checks the programs of a view's rows, so the window never waits for it. Each
// result goes to the window as a posted message whose lParam is a heap ProgramSignature the
// window takes over (Take). The worker never touches the window otherwise; it stops and is
// joined when it is destroyed.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/signature_cache.h"
#include "ui/program_signature.h"

class SignatureWorker {
 public:
  SignatureWorker(HWND target, UINT message, SignatureChecker checker);
  ~SignatureWorker();
  SignatureWorker(const SignatureWorker&) = delete;
  SignatureWorker& operator=(const SignatureWorker&) = delete;

  // Checks these command lines, in this order, instead of any not yet started.
  void Request(std::vector<std::string> commands);
  // The result a posted message carries, owned by the caller from now on.
  static std::unique_ptr<ProgramSignature> Take(LPARAM lParam);
  // Frees the results posted to target and not yet taken (after the worker is gone).
  static void DiscardPosted(HWND target, UINT message);

 private:
  void Run();

  HWND target_;
  UINT message_;
  SignatureChecker checker_;
  SignatureCache cache_;  // the worker thread's own
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> pending_;
  bool stop_ = false;
  std::thread thread_;  // last: starts once everything above is made
};
