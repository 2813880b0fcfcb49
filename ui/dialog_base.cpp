#include "ui/dialog_base.h"

DialogBase::~DialogBase() {
  if (window_ != nullptr && !modal_) {
    // The window must not call back into a half-destroyed object.
    SetWindowLongPtrA(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

INT_PTR DialogBase::RunModal(HINSTANCE instance, int templateId, HWND owner) {
  modal_ = true;
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner,
                                         &DialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result;
}

HWND DialogBase::CreateModeless(HINSTANCE instance, int templateId, HWND parent) {
  modal_ = false;
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &DialogBase::DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

void DialogBase::EndModal(INT_PTR result) {
  if (window_ == nullptr) return;
  if (modal_) {
    EndDialog(window_, result);
  } else {
    DestroyWindow(window_);
  }
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogBase* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogBase*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    if (self != nullptr) self->window_ = window;
  } else {
    self = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  // Messages sent before WM_INITDIALOG (WM_SETFONT and the like) have no object yet.
  if (self == nullptr) return FALSE;

  INT_PTR result = FALSE;
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's dialog code; a failed initialisation closes the
    // dialog instead of showing it half-built.
    if (message == WM_INITDIALOG) {
      if (self->modal_) {
        EndDialog(window, -1);
      } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
    }
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->window_ = nullptr;
  }
  return result;
}

INT_PTR DialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return TRUE;
      break;
    case WM_NOTIFY: {
      LRESULT notifyResult = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &notifyResult)) {
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, notifyResult);
        return TRUE;
      }
      break;
    }
    case WM_SIZE:
      if (OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) return TRUE;
      break;
    default:
      break;
  }
  return OnMessage(message, wParam, lParam);
}
