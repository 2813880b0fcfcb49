// Signature results remembered per file: a file counts as the same while its path (case
// ignored), size and last write time are, so a Refresh checks only files that changed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/signature_check.h"

struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;  // FILETIME ticks
  bool operator==(const FileStamp&) const = default;
};

class SignatureCache {
 public:
  // The result stored for path with this stamp; nullopt when there is none or the file changed.
  std::optional<SignatureResult> Find(const std::string& path, const FileStamp& stamp) const;
  // Remembers result for path, replacing what an older stamp of it had.
  void Store(const std::string& path, const FileStamp& stamp, const SignatureResult& result);
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    FileStamp stamp;
    SignatureResult result;
  };
  std::map<std::string, Entry> entries_;  // by upper-cased path
};
