// The registry operations the entry kinds and the catalogue use, behind an interface so that
// tests can make any single call fail. Text is 8-bit in the active code page; the registry
// itself holds UTF-16, so a name or text that has no exact 8-bit form is marked as such.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"

struct RegValue {
  std::string name;
  DWORD type = REG_NONE;
  // The value's bytes; for REG_SZ and REG_EXPAND_SZ the text up to its first zero byte
  // (REG_MULTI_SZ is converted to 8-bit text too, zeros kept).
  std::string data;
  // False when the name, or a REG_SZ/REG_EXPAND_SZ value's text, holds characters the 8-bit
  // text cannot carry: name and data are then substitutes that address or restore something
  // else, and the value must not be changed through them.
  bool exact = true;
};

enum class RegReadStatus {
  kOk,            // the value was read whole
  kKeyMissing,    // the key does not exist
  kValueMissing,  // the key opened, the value does not exist
  kFailed,        // the key or the value could not be read (reason says why)
};

struct RegRead {
  RegReadStatus status = RegReadStatus::kFailed;
  RegValue value;  // filled only for kOk
  Status reason;   // the failure, for kFailed
};

// True when a read shows no value (or no key) under the name: the only proof it is gone.
inline bool IsAbsent(const RegRead& read) {
  return read.status == RegReadStatus::kValueMissing || read.status == RegReadStatus::kKeyMissing;
}

// Every call takes `view`, the registry view flag added to its key access: 0 for the program's
// own (64-bit) view, KEY_WOW64_32KEY for what 32-bit programs see under
// HKEY_LOCAL_MACHINE\Software. Implementations give it the same default, 0.
class Registry {
 public:
  virtual ~Registry() = default;

  // Every value of an existing key, whole whatever the length of its name or data, in
  // enumeration order, each marked whether it can be addressed exactly. nullopt when the key
  // cannot be opened.
  virtual std::optional<std::vector<RegValue>> ListValues(HKEY root, const std::string& subkey,
                                                          REGSAM view = 0) = 0;

  // One value, read whole (buffers sized from the value). Opens the key without creating it.
  // A name or subkey without an exact UTF-16 form reads as kFailed, never as missing.
  virtual RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name,
                            REGSAM view = 0) = 0;

  // Writes a text value of type REG_SZ or REG_EXPAND_SZ with its terminating zero counted, then
  // flushes the key. With createKey the key (and missing parents) is created, else it must
  // exist. Success only when the value was written.
  virtual Status WriteString(HKEY root, const std::string& subkey, const std::string& name,
                             const std::string& data, DWORD type, bool createKey,
                             REGSAM view = 0) = 0;

  // Writes a REG_BINARY value of these bytes, then flushes the key; createKey as WriteString.
  // A registry that cannot hold binary values refuses (ERROR_NOT_SUPPORTED).
  virtual Status WriteBinary(HKEY /*root*/, const std::string& /*subkey*/,
                             const std::string& /*name*/, const std::string& /*bytes*/,
                             bool /*createKey*/) {
    return Status(ERROR_NOT_SUPPORTED);
  }

  // Deletes a value and flushes the key. Success when the key opened and the value was deleted.
  // Like the other calls it refuses (ERROR_NO_UNICODE_TRANSLATION) a name or subkey that has
  // no exact UTF-16 form, rather than address a different value.
  virtual Status DeleteValue(HKEY root, const std::string& subkey, const std::string& name,
                             REGSAM view = 0) = 0;
};

// The real registry (advapi32, wide calls). Its 8-bit text is in codePage: the active code
// page for the program; tests pass another one to see the program as it runs under it.
class Win32Registry final : public Registry {
 public:
  explicit Win32Registry(UINT codePage = CP_ACP) : codePage_(codePage) {}
  std::optional<std::vector<RegValue>> ListValues(HKEY root, const std::string& subkey,
                                                  REGSAM view = 0) override;
  RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name,
                    REGSAM view = 0) override;
  Status WriteString(HKEY root, const std::string& subkey, const std::string& name,
                     const std::string& data, DWORD type, bool createKey, REGSAM view = 0) override;
  Status WriteBinary(HKEY root, const std::string& subkey, const std::string& name,
                     const std::string& bytes, bool createKey) override;
  Status DeleteValue(HKEY root, const std::string& subkey, const std::string& name,
                     REGSAM view = 0) override;

 private:
  UINT codePage_;
};
