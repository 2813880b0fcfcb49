// Fault injection for the platform classes and the store: every changing or reading call that
// can fail is numbered as it happens; the plan makes call number N fail, or "crashes" the
// process there (an exception that unwinds the operation, standing for the process dying
// between two steps).
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

struct SimulatedCrash : std::runtime_error {
  SimulatedCrash() : std::runtime_error("simulated crash") {}
};

class FaultPlan {
 public:
  enum class Mode { kNone, kFail, kCrash };

  // Arms the plan: call number `call` (1-based, counted from now) fails or crashes.
  void Arm(Mode mode, int call) {
    mode_ = mode;
    target_ = call;
    count_ = 0;
    calls.clear();
  }
  void Disarm() { Arm(Mode::kNone, 0); }

  // The Win32 code a failed call reports.
  void FailWith(DWORD code) { failCode_ = code; }
  DWORD FailCode() const { return failCode_; }

  // Called by a wrapper before it delegates; true means: report failure without acting.
  bool ShouldFail(const char* what) {
    ++count_;
    calls.emplace_back(what);
    if (count_ != target_) return false;
    if (mode_ == Mode::kCrash) throw SimulatedCrash();
    return mode_ == Mode::kFail;
  }
  int Count() const { return count_; }

  std::vector<std::string> calls;  // the names of the counted calls, in order

 private:
  Mode mode_ = Mode::kNone;
  int target_ = 0;
  int count_ = 0;
  DWORD failCode_ = ERROR_WRITE_FAULT;
};
