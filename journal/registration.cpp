// Registration of the journal class in one classes root.
#include "journal/registration.h"

#include "journal/journal_interface.h"
#include "platform/win_handles.h"

namespace {

constexpr wchar_t kDescription[] = L"Chronivex operation journal";

std::wstring ClsidText() {
  wchar_t text[40] = {};
  StringFromGUID2(kClsidChronivexLog, text, 40);
  return text;
}

// Both relative to the classes root.
std::wstring ClassKeyPath() {
  return L"CLSID\\" + ClsidText();
}
std::wstring ProgIdKeyPath() {
  return kChronivexLogProgId;
}

LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Creates root\path and sets its default value (and one named value when name is given).
LSTATUS WriteKey(HKEY root, const std::wstring& path, const std::wstring& value,
                 const wchar_t* name = nullptr, const std::wstring& namedValue = {}) {
  UniqueHkey key;
  LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                   key.Put(), nullptr);
  if (status == ERROR_SUCCESS) status = SetText(key.Get(), nullptr, value);
  if (status == ERROR_SUCCESS && name) status = SetText(key.Get(), name, namedValue);
  if (status == ERROR_SUCCESS) status = RegFlushKey(key.Get());
  return status;
}

LSTATUS DeleteTree(HKEY root, const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// The CLSID the ProgID names under root; empty when there is none.
std::wstring ProgIdClass(HKEY root) {
  wchar_t text[64] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  const std::wstring path = ProgIdKeyPath() + L"\\CLSID";
  if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return text;
}

}  // namespace

HRESULT RegisterJournalClass(HKEY root, const std::wstring& dllPath) {
  const std::wstring clsid = ClsidText();
  LSTATUS status = WriteKey(root, ProgIdKeyPath(), kDescription);
  if (status == ERROR_SUCCESS) status = WriteKey(root, ProgIdKeyPath() + L"\\CLSID", clsid);
  if (status == ERROR_SUCCESS) status = WriteKey(root, ClassKeyPath(), kDescription);
  if (status == ERROR_SUCCESS) {
    status = WriteKey(root, ClassKeyPath() + L"\\InprocServer32", dllPath, L"ThreadingModel",
                      L"Apartment");
  }
  if (status == ERROR_SUCCESS) {
    status = WriteKey(root, ClassKeyPath() + L"\\ProgID", kChronivexLogProgId);
  }
  if (status != ERROR_SUCCESS) {
    UnregisterJournalClass(root);
    return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT UnregisterJournalClass(HKEY root) {
  LSTATUS status = DeleteTree(root, ClassKeyPath());
  // Another component may have taken the ProgID over since; leave it alone then.
  const std::wstring named = ProgIdClass(root);
  if (named.empty() || lstrcmpiW(named.c_str(), ClsidText().c_str()) == 0) {
    const LSTATUS progId = DeleteTree(root, ProgIdKeyPath());
    if (status == ERROR_SUCCESS) status = progId;
  }
  return HRESULT_FROM_WIN32(status);
}
