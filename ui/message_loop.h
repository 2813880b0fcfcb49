// The UI thread's message loop: message filters see each message before it is translated and
// dispatched, idle handlers run once whenever the queue runs empty after real input.
#pragma once

#include <windows.h>

#include <vector>

class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  // True when the message was consumed and must not be translated or dispatched.
  virtual bool PreTranslateMessage(MSG& message) = 0;
};

class IdleHandler {
 public:
  virtual ~IdleHandler() = default;
  // True when there is more idle work to do.
  virtual bool OnIdle() = 0;
};

class MessageLoop {
 public:
  void AddFilter(MessageFilter* filter) { filters_.push_back(filter); }
  void RemoveFilter(MessageFilter* filter);
  void AddIdleHandler(IdleHandler* handler) { idleHandlers_.push_back(handler); }
  void RemoveIdleHandler(IdleHandler* handler);

  // Runs until WM_QUIT; returns its exit code.
  int Run();

 private:
  bool Filter(MSG& message);
  void RunIdleHandlers();

  std::vector<MessageFilter*> filters_;
  std::vector<IdleHandler*> idleHandlers_;
};

// The window module: per-process state of the window layer (the instance and the UI thread's
// message loop), set up by start-up before the main window runs and torn down after it.
class WindowModule {
 public:
  explicit WindowModule(HINSTANCE instance);
  ~WindowModule();
  WindowModule(const WindowModule&) = delete;
  WindowModule& operator=(const WindowModule&) = delete;

  static WindowModule* Current() { return current_; }
  HINSTANCE Instance() const { return instance_; }
  MessageLoop* Loop() const { return loop_; }
  void SetLoop(MessageLoop* loop) { loop_ = loop; }

 private:
  static WindowModule* current_;
  HINSTANCE instance_;
  MessageLoop* loop_ = nullptr;
};
