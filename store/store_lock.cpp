#include "store/store_lock.h"

#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/wide_path.h"

namespace {

constexpr wchar_t kNamePrefix[] = L"Local\\Quorvane.store.";

// The absolute form of path, without a \\?\ prefix, its folder in the long (not 8.3) form.
std::wstring CanonicalPath(const std::wstring& path) {
  std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  if (full.empty()) full = path;
  if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    full = L"\\\\" + full.substr(8);
  } else if (full.rfind(L"\\\\?\\", 0) == 0) {
    full = full.substr(4);
  }
  const std::size_t slash = full.find_last_of(L'\\');
  if (slash == std::wstring::npos || slash == 0) return full;
  const std::wstring folder = full.substr(0, slash);
  std::wstring longFolder(GetLongPathNameW(folder.c_str(), nullptr, 0), L'\0');
  longFolder.resize(
      GetLongPathNameW(folder.c_str(), longFolder.data(), static_cast<DWORD>(longFolder.size())));
  return longFolder.empty() ? full : longFolder + full.substr(slash);
}

std::wstring Upper(const std::wstring& text) {
  if (text.empty()) return text;
  std::wstring upper(text.size(), L'\0');
  const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                   static_cast<int>(text.size()), upper.data(),
                                   static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return length == static_cast<int>(text.size()) ? upper : text;
}

std::uint64_t Fnv1a64(const std::wstring& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t unit : text) {
    for (const unsigned byte : {unit & 0xFFu, (unit >> 8) & 0xFFu}) {
      hash ^= byte;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

// "D:(A;;GA;;;<user>)(A;;GA;;;SY)" for the process's user, so the same user's elevated and
// plain processes both open the lock; empty when the user cannot be read.
std::wstring UserOnlyDescriptor() {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) return {};
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  auto buffer = std::make_unique<BYTE[]>(size);
  if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.get(), size, &size)) {
    return {};
  }
  LPWSTR sid = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &sid)) {
    return {};
  }
  const std::unique_ptr<void, LocalFreeDeleter> sidHolder(sid);
  return L"D:(A;;GA;;;" + std::wstring(sid) + L")(A;;GA;;;SY)";
}

// The lock, made or opened with only the rights waiting and releasing need.
UniqueKernelHandle OpenLock(const std::wstring& name) {
  constexpr DWORD kAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::wstring sddl = UserOnlyDescriptor();
  if (!sddl.empty()) {
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                         nullptr);
  }
  const std::unique_ptr<void, LocalFreeDeleter> descriptorHolder(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  UniqueKernelHandle mutex(
      CreateMutexExW(descriptor ? &attributes : nullptr, name.c_str(), 0, kAccess));
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) {
    mutex.Reset(OpenMutexW(kAccess, FALSE, name.c_str()));  // made by another, to be opened
  }
  return mutex;
}

}  // namespace

std::wstring StoreLockName(const std::string& storePath) {
  std::wstring wide = WideFromAcp(storePath);
  if (wide.empty()) wide.assign(storePath.begin(), storePath.end());
  wchar_t digits[17] = {};
  std::swprintf(digits, 17, L"%016llx",
                static_cast<unsigned long long>(Fnv1a64(Upper(CanonicalPath(wide)))));
  return kNamePrefix + std::wstring(digits);
}

StoreLock StoreLock::Acquire(const std::wstring& name, DWORD timeoutMs) {
  UniqueKernelHandle mutex = OpenLock(name);
  if (!mutex) return StoreLock({}, Status::LastError(), false);
  switch (WaitForSingleObject(mutex.Get(), timeoutMs)) {
    case WAIT_OBJECT_0:
      return StoreLock(std::move(mutex), Status(), false);
    case WAIT_ABANDONED:
      return StoreLock(std::move(mutex), Status(), true);
    case WAIT_TIMEOUT:
      return StoreLock({}, Status(ERROR_TIMEOUT), false);
    default:
      return StoreLock({}, Status::LastError(), false);
  }
}

StoreLock::~StoreLock() {
  if (mutex_ && result_) ReleaseMutex(mutex_.Get());
}
