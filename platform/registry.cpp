#include "platform/registry.h"

#include <algorithm>

#include "platform/win_handles.h"

namespace {

// Names longer than this are not stored by the registry; data beyond this is not worth a
// second try either. Growth stops here so a misbehaving key cannot loop forever.
constexpr DWORD kMaxNameBytes = 1u << 20;
constexpr DWORD kMaxDataBytes = 1u << 30;

// An existing key; on failure, *status (when given) receives the reason.
UniqueHkey OpenKey(HKEY root, const std::string& subkey, REGSAM access, LONG* status = nullptr) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(root, subkey.c_str(), 0, access, &key);
  if (status) *status = opened;
  if (opened != ERROR_SUCCESS) return UniqueHkey();
  return UniqueHkey(key);
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The value's bytes as kept in RegValue: texts end at their first zero byte.
std::string ValueData(DWORD type, const std::string& buffer, DWORD size) {
  std::string data = buffer.substr(0, std::min<std::size_t>(size, buffer.size()));
  if (IsText(type)) {
    const std::size_t zero = data.find('\0');
    if (zero != std::string::npos) data.resize(zero);
  }
  return data;
}

}  // namespace

std::optional<std::vector<RegValue>> Win32Registry::ListValues(HKEY root,
                                                               const std::string& subkey) {
  UniqueHkey key = OpenKey(root, subkey, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;

  DWORD maxNameLength = 0;
  DWORD maxDataLength = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxNameLength, &maxDataLength, nullptr, nullptr) != ERROR_SUCCESS) {
    maxNameLength = 255;
    maxDataLength = 4096;
  }
  // The sizes count UTF-16 units or bytes depending on the system; the A calls may need more,
  // so ERROR_MORE_DATA grows the buffers and retries the same index.
  DWORD nameCapacity = std::max<DWORD>(maxNameLength + 1, 256);
  DWORD dataCapacity = std::max<DWORD>(maxDataLength + 2, 256);
  std::string name(nameCapacity, '\0');
  std::string data(dataCapacity, '\0');

  std::vector<RegValue> values;
  for (DWORD index = 0;;) {
    DWORD nameLength = nameCapacity;
    DWORD dataLength = dataCapacity;
    DWORD type = REG_NONE;
    const LONG status = RegEnumValueA(key.Get(), index, name.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataLength);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA) {
      if (nameCapacity >= kMaxNameBytes && dataCapacity >= kMaxDataBytes) {
        ++index;  // cannot be read whole: skip it rather than hide the values after it
        continue;
      }
      nameCapacity = std::min(kMaxNameBytes, nameCapacity * 2);
      dataCapacity = std::min(kMaxDataBytes, std::max(dataCapacity * 2, dataLength + 2));
      name.assign(nameCapacity, '\0');
      data.assign(dataCapacity, '\0');
      continue;
    }
    if (status == ERROR_SUCCESS) {
      values.push_back(
          RegValue{name.substr(0, nameLength), type, ValueData(type, data, dataLength)});
    }
    ++index;
  }
  return values;
}

RegRead Win32Registry::ReadValue(HKEY root, const std::string& subkey, const std::string& name) {
  RegRead result;
  UniqueHkey key = OpenKey(root, subkey, KEY_QUERY_VALUE);
  if (!key) {
    result.status = RegReadStatus::kKeyMissing;
    return result;
  }
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) {
    result.status = RegReadStatus::kValueMissing;
    return result;
  }
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
    result.status = RegReadStatus::kFailed;
    return result;
  }
  // The value may grow between the two calls: retry a few times with the size it reports.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::string buffer(static_cast<std::size_t>(size) + 2, '\0');
    DWORD length = size + 2;
    status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &length);
    if (status == ERROR_SUCCESS) {
      result.status = RegReadStatus::kOk;
      result.value = RegValue{name, type, ValueData(type, buffer, length)};
      return result;
    }
    if (status == ERROR_FILE_NOT_FOUND) {
      result.status = RegReadStatus::kValueMissing;
      return result;
    }
    if (status != ERROR_MORE_DATA || length > kMaxDataBytes) break;
    size = std::max(length, size * 2);
  }
  result.status = RegReadStatus::kFailed;
  return result;
}

Status Win32Registry::WriteString(HKEY root, const std::string& subkey, const std::string& name,
                                  const std::string& data, DWORD type, bool createKey) {
  if (!IsText(type)) return Status(ERROR_INVALID_PARAMETER);
  if (data.size() >= kMaxDataBytes) return Status(ERROR_MORE_DATA);
  UniqueHkey key;
  const REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE;
  if (createKey) {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) return Status::Failed(static_cast<DWORD>(status));
    key.Reset(created);
  } else {
    LONG status = ERROR_SUCCESS;
    key = OpenKey(root, subkey, access, &status);
    if (!key) return Status::Failed(static_cast<DWORD>(status));
  }
  // The terminating zero is part of the stored text.
  const LONG status =
      RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
  RegFlushKey(key.Get());
  return Status(static_cast<DWORD>(status));
}

Status Win32Registry::DeleteValue(HKEY root, const std::string& subkey, const std::string& name) {
  LONG status = ERROR_SUCCESS;
  UniqueHkey key = OpenKey(root, subkey, KEY_QUERY_VALUE | KEY_SET_VALUE, &status);
  if (!key) return Status::Failed(static_cast<DWORD>(status));
  status = RegDeleteValueA(key.Get(), name.c_str());
  RegFlushKey(key.Get());
  return Status(static_cast<DWORD>(status));
}
