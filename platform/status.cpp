#include "platform/status.h"

Status Status::LastError() {
  return Failed(GetLastError());
}

Status Status::Failed(DWORD code) {
  return Status(code == ERROR_SUCCESS ? ERROR_GEN_FAILURE : code);
}

Status Status::FromHresult(HRESULT result) {
  if (result == S_OK) return Status();
  if (SUCCEEDED(result)) return Status(ERROR_GEN_FAILURE);
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return Failed(HRESULT_CODE(result));
  return Status(static_cast<DWORD>(result));
}

std::string SystemMessage(DWORD code) {
  if (code == ERROR_SUCCESS) return {};
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : std::string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

std::string WithSystemReason(const std::string& text, Status reason) {
  const std::string system = reason ? std::string() : SystemMessage(reason.Code());
  if (system.empty()) return text;
  if (text.empty()) return system;
  return text + (text.back() == '\n' ? "" : " ") + system;
}
