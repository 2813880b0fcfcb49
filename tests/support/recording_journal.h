// A journal that keeps the records it is given, for checking what each operation reports.
#pragma once

#include <string>
#include <vector>

#include "store/journal.h"

class RecordingJournal final : public Journal {
 public:
  struct Record {
    JournalKind kind;
    std::string contentKey;
    std::vector<std::string> args;
  };
  std::vector<Record> records;

  void Write(JournalKind kind, const std::string& contentKey,
             const std::vector<std::string>& args) override {
    records.push_back({kind, contentKey, args});
  }
};
