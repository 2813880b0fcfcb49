#include "core/signature_cache.h"

#include <windows.h>

namespace {

std::string PathKey(const std::string& path) {
  std::string key = path;
  if (!key.empty()) CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace

std::optional<SignatureResult> SignatureCache::Find(const std::string& path,
                                                    const FileStamp& stamp) const {
  const auto it = entries_.find(PathKey(path));
  if (it == entries_.end() || !(it->second.stamp == stamp)) return std::nullopt;
  return it->second.result;
}

void SignatureCache::Store(const std::string& path, const FileStamp& stamp,
                           const SignatureResult& result) {
  entries_[PathKey(path)] = Entry{stamp, result};
}
