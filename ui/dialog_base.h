// A small base for dialog windows: stores the object at WM_INITDIALOG and routes the dialog's
// messages to virtual member functions. Modal dialogs run through RunModal; child forms and other
// modeless dialogs through CreateModeless.
#pragma once

#include <windows.h>

class DialogBase {
 public:
  DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;
  // A modeless window still open is destroyed here.
  virtual ~DialogBase();

  // Runs the dialog modally; returns the value given to EndModal, or -1 when the template cannot
  // be loaded.
  INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);
  // Creates the dialog modeless (a child form when the template has WS_CHILD); null on failure.
  HWND CreateModeless(HINSTANCE instance, int templateId, HWND parent);

  HWND Handle() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }

 protected:
  // Ends a modal dialog with result; destroys a modeless one.
  void EndModal(INT_PTR result);

  // Return what WM_INITDIALOG returns: TRUE lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // True when the command was handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  // True when handled; result goes back to the sender of WM_NOTIFY.
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
  virtual bool OnSize(UINT /*type*/, int /*width*/, int /*height*/) { return false; }
  // Every other message; the return value is what the dialog procedure returns (FALSE: not
  // handled). Messages that need a result set it with DWLP_MSGRESULT, as dialog procedures do.
  virtual INT_PTR OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return FALSE;
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool modal_ = false;
};
