// Answering the modal windows a test opens on its own thread: dialogs, message boxes and the
// open-file dialog all have the dialog class "#32770".
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace gui {

// The top-level dialog-class windows of this thread, highest in z-order first.
std::vector<HWND> ThreadDialogs();
// The dialog waiting for input: the highest visible, enabled one (a modal window disables its
// owner); nullptr when there is none.
HWND TopDialog();

// Runs queued answers, in order, on the dialog on top while the test sits in a modal call. A
// timer of this thread (on a message-only window) runs them, so they run inside whatever modal
// loop is pumping and need no hook. An answer leaves the queue before it runs: a modal loop that
// it starts itself (a button clicked synchronously) is answered by the answers queued after it.
// The timer runs only while answers wait (or after giving up), and stops with the object.
class DialogAnswerer {
 public:
  using Accepts = std::function<bool(HWND dialog)>;
  using Action = std::function<void(HWND dialog)>;

  // An answer that waits longer than giveUpMs for its dialog makes the answerer give up.
  explicit DialogAnswerer(DWORD giveUpMs = 15000);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // The next dialog that no answer has had yet; dialogs open when the answerer was made count
  // as had.
  void AnswerNew(Action action);
  // The dialog on top at the next tick, even one an earlier answer had.
  void AnswerTop(Action action);
  // The dialog on top once accepts(dialog) holds; until then the answer waits.
  void AnswerWhen(Accepts accepts, Action action);
  // The dialog on top once its caption is this one.
  void AnswerCaption(const std::string& caption, Action action);

  // Every queued answer has run.
  bool Finished() const { return answers_.empty(); }
  // An answer waited too long or threw. From then on every dialog that comes on top is closed
  // with IDCANCEL, so a stuck test fails instead of hanging.
  bool GaveUp() const { return gaveUp_; }
  // Drops answers that never ran, so one test cannot leak into the next.
  void Clear();

 private:
  struct Answer {
    Accepts accepts;  // empty: any dialog
    Action action;
    bool newOnly = false;
  };
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Queue(Answer answer);
  void Tick();
  void StartTimer();
  void StopTimer();

  HWND window_ = nullptr;  // message-only: carries the timer and a pointer back to this
  std::deque<Answer> answers_;
  std::set<HWND> had_;
  DWORD giveUpMs_;
  ULONGLONG waitingSince_ = 0;
  bool timerRunning_ = false;
  bool gaveUp_ = false;
};

}  // namespace gui
