#include "platform/registry.h"

#include <algorithm>

#include "platform/code_page_text.h"
#include "platform/win_handles.h"

namespace {

// Names longer than this are not stored by the registry; data beyond this is not worth a
// second try either. Growth stops here so a misbehaving key cannot loop forever.
constexpr DWORD kMaxNameChars = 1u << 19;
constexpr DWORD kMaxDataBytes = 1u << 30;

// An existing key; on failure, *status (when given) receives the reason.
UniqueHkey OpenKey(HKEY root, const std::optional<std::wstring>& subkey, REGSAM access,
                   LONG* status = nullptr) {
  HKEY key = nullptr;
  const LONG opened = subkey ? RegOpenKeyExW(root, subkey->c_str(), 0, access, &key)
                             : static_cast<LONG>(ERROR_NO_UNICODE_TRANSLATION);
  if (status) *status = opened;
  if (opened != ERROR_SUCCESS) return UniqueHkey();
  return UniqueHkey(key);
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Types whose data the system converts between UTF-16 and 8-bit text.
bool IsConvertedText(DWORD type) {
  return IsText(type) || type == REG_MULTI_SZ;
}

// The value's data as kept in RegValue: texts converted to 8-bit text, ending at their first
// zero; other types byte for byte. *exact is false when a text lost characters.
std::string ValueData(DWORD type, const std::string& bytes, UINT codePage, bool* exact) {
  *exact = true;
  if (!IsConvertedText(type)) return bytes;
  std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
  std::copy_n(bytes.data(), wide.size() * sizeof(wchar_t), reinterpret_cast<char*>(wide.data()));
  if (IsText(type)) {
    const std::size_t zero = wide.find(L'\0');
    if (zero != std::wstring::npos) wide.resize(zero);
  }
  CodePageText text = NarrowFromWide(wide, codePage);
  // Only a single text is ever written back; a REG_MULTI_SZ is shown, never rewritten.
  if (IsText(type)) *exact = text.exact;
  return std::move(text.text);
}

Status NoTranslation() {
  return Status(ERROR_NO_UNICODE_TRANSLATION);
}

}  // namespace

std::optional<std::vector<RegValue>> Win32Registry::ListValues(HKEY root, const std::string& subkey,
                                                               REGSAM view) {
  UniqueHkey key = OpenKey(root, WideFromNarrow(subkey, codePage_), KEY_QUERY_VALUE | view);
  if (!key) return std::nullopt;

  DWORD maxNameLength = 0;
  DWORD maxDataLength = 0;
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxNameLength, &maxDataLength, nullptr, nullptr) != ERROR_SUCCESS) {
    maxNameLength = 255;
    maxDataLength = 4096;
  }
  // The sizes may change while the key is listed, so ERROR_MORE_DATA grows the buffers and
  // retries the same index.
  DWORD nameCapacity = std::max<DWORD>(maxNameLength + 1, 256);
  DWORD dataCapacity = std::max<DWORD>(maxDataLength + 2, 256);
  std::wstring name(nameCapacity, L'\0');
  std::string data(dataCapacity, '\0');

  std::vector<RegValue> values;
  for (DWORD index = 0;;) {
    DWORD nameLength = nameCapacity;
    DWORD dataLength = dataCapacity;
    DWORD type = REG_NONE;
    const LONG status = RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataLength);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA) {
      if (nameCapacity >= kMaxNameChars && dataCapacity >= kMaxDataBytes) {
        ++index;  // cannot be read whole: skip it rather than hide the values after it
        continue;
      }
      nameCapacity = std::min(kMaxNameChars, nameCapacity * 2);
      dataCapacity = std::min(kMaxDataBytes, std::max(dataCapacity * 2, dataLength + 2));
      name.assign(nameCapacity, L'\0');
      data.assign(dataCapacity, '\0');
      continue;
    }
    if (status == ERROR_SUCCESS) {
      CodePageText narrowName = NarrowFromWide(name.substr(0, nameLength), codePage_);
      bool dataExact = true;
      std::string text =
          ValueData(type, data.substr(0, std::min<std::size_t>(dataLength, dataCapacity)),
                    codePage_, &dataExact);
      values.push_back(RegValue{std::move(narrowName.text), type, std::move(text),
                                narrowName.exact && dataExact});
    }
    ++index;
  }
  return values;
}

RegRead Win32Registry::ReadValue(HKEY root, const std::string& subkey, const std::string& name,
                                 REGSAM view) {
  RegRead result;
  const std::optional<std::wstring> wideName = WideFromNarrow(name, codePage_);
  LONG opened = ERROR_SUCCESS;
  UniqueHkey key =
      OpenKey(root, WideFromNarrow(subkey, codePage_), KEY_QUERY_VALUE | view, &opened);
  if (!key) {
    // Only a key the system says is not there is missing; any other failure (no access, a
    // name without an exact form) leaves it unknown.
    if (opened == ERROR_FILE_NOT_FOUND) {
      result.status = RegReadStatus::kKeyMissing;
    } else {
      result.reason = Status::Failed(static_cast<DWORD>(opened));
    }
    return result;
  }
  if (!wideName) {
    result.reason = NoTranslation();
    return result;
  }
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExW(key.Get(), wideName->c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) {
    result.status = RegReadStatus::kValueMissing;
    return result;
  }
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
    result.reason = Status::Failed(static_cast<DWORD>(status));
    return result;
  }
  // The value may grow between the two calls: retry a few times with the size it reports.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::string buffer(static_cast<std::size_t>(size) + 2, '\0');
    DWORD length = size + 2;
    status = RegQueryValueExW(key.Get(), wideName->c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &length);
    if (status == ERROR_SUCCESS) {
      bool exact = true;
      std::string data = ValueData(type, buffer.substr(0, length), codePage_, &exact);
      result.status = RegReadStatus::kOk;
      result.value = RegValue{name, type, std::move(data), exact};
      return result;
    }
    if (status == ERROR_FILE_NOT_FOUND) {
      result.status = RegReadStatus::kValueMissing;
      return result;
    }
    if (status != ERROR_MORE_DATA || length > kMaxDataBytes) break;
    size = std::max(length, size * 2);
  }
  result.reason = Status::Failed(static_cast<DWORD>(status));
  return result;
}

namespace {

// Writes one value of type and bytes under root\subkey, created (with missing parents) when
// createKey, then flushes the key.
Status SetValueBytes(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type,
                     const BYTE* bytes, DWORD size, bool createKey, REGSAM view) {
  UniqueHkey key;
  const REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE | view;
  if (createKey) {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) return Status::Failed(static_cast<DWORD>(status));
    key.Reset(created);
  } else {
    LONG status = ERROR_SUCCESS;
    key = OpenKey(root, subkey, access, &status);
    if (!key) return Status::Failed(static_cast<DWORD>(status));
  }
  const LONG status = RegSetValueExW(key.Get(), name.c_str(), 0, type, bytes, size);
  RegFlushKey(key.Get());
  return Status(static_cast<DWORD>(status));
}

}  // namespace

Status Win32Registry::WriteString(HKEY root, const std::string& subkey, const std::string& name,
                                  const std::string& data, DWORD type, bool createKey,
                                  REGSAM view) {
  if (!IsText(type)) return Status(ERROR_INVALID_PARAMETER);
  if (data.size() >= kMaxDataBytes / sizeof(wchar_t)) return Status(ERROR_MORE_DATA);
  const std::optional<std::wstring> wideSubkey = WideFromNarrow(subkey, codePage_);
  const std::optional<std::wstring> wideName = WideFromNarrow(name, codePage_);
  const std::optional<std::wstring> wideData = WideFromNarrow(data, codePage_);
  if (!wideSubkey || !wideName || !wideData) return NoTranslation();
  // The terminating zero is part of the stored text.
  return SetValueBytes(
      root, *wideSubkey, *wideName, type, reinterpret_cast<const BYTE*>(wideData->c_str()),
      static_cast<DWORD>((wideData->size() + 1) * sizeof(wchar_t)), createKey, view);
}

Status Win32Registry::WriteBinary(HKEY root, const std::string& subkey, const std::string& name,
                                  const std::string& bytes, bool createKey) {
  if (bytes.size() >= kMaxDataBytes) return Status(ERROR_MORE_DATA);
  const std::optional<std::wstring> wideSubkey = WideFromNarrow(subkey, codePage_);
  const std::optional<std::wstring> wideName = WideFromNarrow(name, codePage_);
  if (!wideSubkey || !wideName) return NoTranslation();
  return SetValueBytes(root, *wideSubkey, *wideName, REG_BINARY,
                       reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()), createKey, 0);
}

Status Win32Registry::DeleteValue(HKEY root, const std::string& subkey, const std::string& name,
                                  REGSAM view) {
  const std::optional<std::wstring> wideName = WideFromNarrow(name, codePage_);
  LONG status = ERROR_SUCCESS;
  UniqueHkey key = OpenKey(root, WideFromNarrow(subkey, codePage_),
                           KEY_QUERY_VALUE | KEY_SET_VALUE | view, &status);
  if (!key) return Status::Failed(static_cast<DWORD>(status));
  if (!wideName) return NoTranslation();
  status = RegDeleteValueW(key.Get(), wideName->c_str());
  RegFlushKey(key.Get());
  return Status(static_cast<DWORD>(status));
}
