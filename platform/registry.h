// The registry operations the entry kinds and the catalogue use, behind an interface so that
// tests can make any single call fail. Text is 8-bit in the active code page.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

struct RegValue {
  std::string name;
  DWORD type = REG_NONE;
  // The value's bytes; for REG_SZ and REG_EXPAND_SZ the text up to its first zero byte.
  std::string data;
};

enum class RegReadStatus {
  kOk,            // the value was read whole
  kKeyMissing,    // the key cannot be opened
  kValueMissing,  // the key opened, the value does not exist
  kFailed,        // the key opened but the value could not be read whole
};

struct RegRead {
  RegReadStatus status = RegReadStatus::kFailed;
  RegValue value;  // filled only for kOk
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Every value of an existing key, whole whatever the length of its name or data, in
  // enumeration order. nullopt when the key cannot be opened.
  virtual std::optional<std::vector<RegValue>> ListValues(HKEY root, const std::string& subkey) = 0;

  // One value, read whole (buffers sized from the value). Opens the key without creating it.
  virtual RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name) = 0;

  // Writes a text value of type REG_SZ or REG_EXPAND_SZ with its terminating zero counted, then
  // flushes the key. With createKey the key (and missing parents) is created, else it must
  // exist. Success only when the value was written.
  virtual Status WriteString(HKEY root, const std::string& subkey, const std::string& name,
                             const std::string& data, DWORD type, bool createKey) = 0;

  // Deletes a value and flushes the key. Success when the key opened and the value was deleted.
  virtual Status DeleteValue(HKEY root, const std::string& subkey, const std::string& name) = 0;
};

// The real registry (advapi32).
class Win32Registry final : public Registry {
 public:
  std::optional<std::vector<RegValue>> ListValues(HKEY root, const std::string& subkey) override;
  RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name) override;
  Status WriteString(HKEY root, const std::string& subkey, const std::string& name,
                     const std::string& data, DWORD type, bool createKey) override;
  Status DeleteValue(HKEY root, const std::string& subkey, const std::string& name) override;
};
