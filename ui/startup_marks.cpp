#include "ui/startup_marks.h"

#include <algorithm>
#include <cstring>

#include "platform/win_handles.h"

std::string StartupMarks::FileFromEnvironment() {
  char file[MAX_PATH * 3] = {};
  const DWORD length = GetEnvironmentVariableA(kVariable, file, sizeof(file));
  return length > 0 && length < sizeof(file) ? std::string(file, length) : std::string();
}

StartupMarks::StartupMarks(std::string file) : file_(std::move(file)) {
  if (!file_.empty()) marks_.reserve(32);
}

StartupMarks::~StartupMarks() {
  if (file_.empty()) return;
  std::string text;
  for (const auto& [name, counter] : marks_) {
    text += std::string(name) + " " + std::to_string(counter) + "\r\n";
  }
  UniqueFile file(CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void StartupMarks::Mark(const char* name) {
  if (file_.empty()) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  marks_.emplace_back(name, now.QuadPart);
}

void StartupMarks::MarkOnce(const char* name) {
  if (file_.empty()) return;
  const bool marked = std::any_of(marks_.begin(), marks_.end(), [name](const auto& mark) {
    return std::strcmp(mark.first, name) == 0;
  });
  if (!marked) Mark(name);
}
