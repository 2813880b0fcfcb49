#include "console/file_hash.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "platform/wide_path.h"
#include "platform/win_handles.h"

namespace {

class AlgorithmHandle {
 public:
  AlgorithmHandle() {
    if (BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
      handle_ = nullptr;
  }
  ~AlgorithmHandle() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  AlgorithmHandle(const AlgorithmHandle&) = delete;
  AlgorithmHandle& operator=(const AlgorithmHandle&) = delete;
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class HashHandle {
 public:
  explicit HashHandle(BCRYPT_ALG_HANDLE algorithm) {
    if (BCryptCreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0) != 0) handle_ = nullptr;
  }
  ~HashHandle() {
    if (handle_) BCryptDestroyHash(handle_);
  }
  HashHandle(const HashHandle&) = delete;
  HashHandle& operator=(const HashHandle&) = delete;
  BCRYPT_HASH_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
};

}  // namespace

std::optional<std::string> FileSha256(const std::string& path) {
  const std::wstring wide = WideFilePath(path);
  UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  AlgorithmHandle algorithm;
  if (!algorithm.Get()) return std::nullopt;
  HashHandle hash(algorithm.Get());
  if (!hash.Get()) return std::nullopt;
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer.data(), DWORD(buffer.size()), &read, nullptr))
      return std::nullopt;
    if (read == 0) break;
    if (BCryptHashData(hash.Get(), buffer.data(), read, 0) != 0) return std::nullopt;
  }
  unsigned char digest[32];
  if (BCryptFinishHash(hash.Get(), digest, sizeof(digest), 0) != 0) return std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}
