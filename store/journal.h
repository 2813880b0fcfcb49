// The operation journal as the entry kinds see it: one record per completed change.
#pragma once

#include <string>
#include <vector>

enum class JournalKind { kRemove = 1, kAdd = 2, kModify = 3, kEnable = 4, kDisable = 5 };

class Journal {
 public:
  virtual ~Journal() = default;
  // Writes one record: T("_LogType"), T("_LogCategory"), T("_LogItemType<kind>"),
  // T("_LogSource") and T(contentKey) formatted safely with args. Does nothing without a
  // journal component.
  virtual void Write(JournalKind kind, const std::string& contentKey,
                     const std::vector<std::string>& args) = 0;
};
