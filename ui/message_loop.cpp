#include "ui/message_loop.h"

#include <algorithm>

namespace {
// WM_SYSTIMER: the system's caret-blink timer, posted while an edit box has the focus.
constexpr UINT kCaretTimerMessage = 0x0118;
}  // namespace

WindowModule* WindowModule::current_ = nullptr;

WindowModule::WindowModule(HINSTANCE instance) : instance_(instance) {
  current_ = this;
}

WindowModule::~WindowModule() {
  if (current_ == this) current_ = nullptr;
}

void MessageLoop::RemoveFilter(MessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void MessageLoop::RemoveIdleHandler(IdleHandler* handler) {
  idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler),
                      idleHandlers_.end());
}

bool MessageLoop::Filter(MSG& message) {
  // The filter registered last sees the message first.
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it) {
    if ((*it)->PreTranslateMessage(message)) return true;
  }
  return false;
}

void MessageLoop::RunIdleHandlers() {
  const auto handlers = idleHandlers_;  // a handler may unregister itself
  for (IdleHandler* handler : handlers) handler->OnIdle();
}

int MessageLoop::Run() {
  bool idleArmed = true;
  MSG message{};
  for (;;) {
    if (idleArmed && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      RunIdleHandlers();
      idleArmed = false;
    }
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) break;
    if (!Filter(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    // Pointer moves, paints and the caret timer are not input that calls for idle work.
    switch (message.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
      case WM_PAINT:
      case kCaretTimerMessage:
        break;
      default:
        idleArmed = true;
    }
  }
  return static_cast<int>(message.wParam);
}
