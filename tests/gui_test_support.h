// Small helpers for in-process GUI tests: pumping messages, answering modal dialogs from a
// timer on the test thread, clicking list-view check boxes, and screenshots under the build
// folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace guitest {

// Processes every pending message of the thread.
void Pump();

// Queues answers for the modal dialogs (dialog class "#32770", message boxes and the open-file
// dialog included) that this thread opens next: each answer gets the next new dialog window, in
// order. Answers run from a timer inside the dialog's own message loop.
void AnswerNextDialog(std::function<void(HWND dialog)> answer);
// True when every queued answer has run.
bool AllDialogsAnswered();
// Drops answers that never ran (so one test cannot leak into the next).
void ClearDialogAnswers();

// The text of a message box or dialog (the static that holds the message), or the window text.
std::string DialogMessageText(HWND dialog);
std::string WindowText(HWND window);
// Clicks a dialog's button by id, as the user would.
void ClickButton(HWND dialog, int id);

// Sends a real left click to the state (check box) icon of a list-view row.
bool ClickCheckBox(HWND list, int row);
// The state image of a row (1 cleared, 2 set).
int StateImage(HWND list, int row);

// Writes the window's pixels as a BMP named name + ".bmp" under <build>/screenshots; returns
// the path (empty on failure). The test session converts them to PNG when it ends.
std::string SaveScreenshot(HWND window, const std::string& name);

// The Windows path of a file in the source tree (QV_SOURCE_DIR) or the build tree.
std::string SourcePath(const std::string& relative);
std::string BuildPath(const std::string& relative);

}  // namespace guitest
