// Points in time of one start-up, for the start-up benchmark. When the environment variable
// QV_STARTUP_MARKS names a file, every mark keeps a performance-counter reading, and the readings
// are written to that file when the marks go away at the end of the run, one "name counter"
// line each, in the order they were taken. Without the variable a mark does nothing.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class StartupMarks {
 public:
  static constexpr char kVariable[] = "QV_STARTUP_MARKS";

  // The file QV_STARTUP_MARKS names, or "" when it is not set.
  static std::string FileFromEnvironment();

  // Records only when file is not empty.
  explicit StartupMarks(std::string file);
  ~StartupMarks();
  StartupMarks(const StartupMarks&) = delete;
  StartupMarks& operator=(const StartupMarks&) = delete;

  // name must outlive the marks (a literal).
  void Mark(const char* name);
  // Marks name the first time only.
  void MarkOnce(const char* name);

 private:
  std::string file_;
  std::vector<std::pair<const char*, LONGLONG>> marks_;
};
