#include "ui/signature_worker.h"

SignatureWorker::SignatureWorker(HWND target, UINT message, SignatureChecker checker)
    : target_(target),
      message_(message),
      checker_(std::move(checker)),
      thread_([this] { Run(); }) {}

SignatureWorker::~SignatureWorker() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    pending_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

void SignatureWorker::Request(std::vector<std::string> commands) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    pending_.assign(std::make_move_iterator(commands.begin()),
                    std::make_move_iterator(commands.end()));
  }
  wake_.notify_all();
}

std::unique_ptr<ProgramSignature> SignatureWorker::Take(LPARAM lParam) {
  return std::unique_ptr<ProgramSignature>(reinterpret_cast<ProgramSignature*>(lParam));
}

void SignatureWorker::DiscardPosted(HWND target, UINT message) {
  MSG posted;
  while (PeekMessageA(&posted, target, message, message, PM_REMOVE)) Take(posted.lParam);
}

void SignatureWorker::Run() {
  // The signature check may use COM (catalogs, providers) on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  // Background work: the window's thread comes first.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  for (;;) {
    std::string command;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || !pending_.empty(); });
      if (stop_) break;
      command = std::move(pending_.front());
      pending_.pop_front();
    }
    auto checked = std::make_unique<ProgramSignature>(CheckProgram(command, checker_, cache_));
    if (PostMessageA(target_, message_, 0, reinterpret_cast<LPARAM>(checked.get()))) {
      checked.release();  // the window owns it now
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
}
