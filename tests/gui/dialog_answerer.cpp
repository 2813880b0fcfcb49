#include "gui/dialog_answerer.h"

#include <utility>

#include "gui/window_reading.h"

namespace gui {
namespace {

constexpr char kAnswererClass[] = "QuorvaneTestDialogAnswerer";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kPeriodMs = 20;

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof(name));
  if (lstrcmpA(name, "#32770") == 0) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialogs, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND TopDialog() {
  // A dialog that is still being built is not visible yet.
  for (HWND dialog : ThreadDialogs()) {
    if (IsWindowVisible(dialog) && IsWindowEnabled(dialog)) return dialog;
  }
  return nullptr;
}

DialogAnswerer::DialogAnswerer(DWORD giveUpMs) : giveUpMs_(giveUpMs) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kAnswererClass, &wc)) {
    wc.lpfnWndProc = &DialogAnswerer::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kAnswererClass;
    RegisterClassA(&wc);
  }
  // A message-only window: its timer messages reach any modal loop of this thread, and it
  // hands the timer back to this object without any global.
  window_ =
      CreateWindowExA(0, kAnswererClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  for (HWND dialog : ThreadDialogs()) had_.insert(dialog);
}

DialogAnswerer::~DialogAnswerer() {
  StopTimer();
  if (IsWindow(window_)) DestroyWindow(window_);
}

void DialogAnswerer::AnswerNew(Action action) {
  Queue({nullptr, std::move(action), true});
}

void DialogAnswerer::AnswerTop(Action action) {
  Queue({nullptr, std::move(action), false});
}

void DialogAnswerer::AnswerWhen(Accepts accepts, Action action) {
  Queue({std::move(accepts), std::move(action), false});
}

void DialogAnswerer::AnswerCaption(const std::string& caption, Action action) {
  AnswerWhen([caption](HWND dialog) { return WindowText(dialog) == caption; }, std::move(action));
}

void DialogAnswerer::Clear() {
  answers_.clear();
  gaveUp_ = false;
  StopTimer();
}

void DialogAnswerer::Queue(Answer answer) {
  if (answers_.empty()) waitingSince_ = GetTickCount64();
  answers_.push_back(std::move(answer));
  StartTimer();
}

void DialogAnswerer::Tick() {
  const HWND top = TopDialog();
  if (!gaveUp_ && !answers_.empty() && GetTickCount64() - waitingSince_ > giveUpMs_) {
    gaveUp_ = true;
  }
  if (gaveUp_) {
    if (top) EndDialog(top, IDCANCEL);
    return;
  }
  if (answers_.empty()) {
    StopTimer();
    return;
  }
  if (!top) return;
  const Answer& front = answers_.front();
  if (front.newOnly && had_.count(top)) return;
  if (front.accepts && !front.accepts(top)) return;
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  had_.insert(top);
  waitingSince_ = GetTickCount64();
  answer.action(top);
}

void DialogAnswerer::StartTimer() {
  if (timerRunning_ || !window_) return;
  timerRunning_ = SetTimer(window_, kTimerId, kPeriodMs, nullptr) != 0;
}

void DialogAnswerer::StopTimer() {
  if (!timerRunning_) return;
  KillTimer(window_, kTimerId);
  timerRunning_ = false;
}

LRESULT CALLBACK DialogAnswerer::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<DialogAnswerer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_TIMER && wParam == kTimerId && self) {
    // No exception may leave a window procedure: a throwing answer stops the answering.
    try {
      self->Tick();
    } catch (...) {
      self->gaveUp_ = true;
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace gui
