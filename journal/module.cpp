// The DLL's entry points: class object, unload test, and registration machine-wide
// (regsvr32) or for the current user only (regsvr32 /n /i:user).
#include "journal/module.h"

#include <new>
#include <string>

#include "journal/chronivex_log.h"
#include "journal/registration.h"
#include "platform/win_handles.h"

namespace {

HMODULE g_module = nullptr;
LONG g_usage = 0;  // live objects plus server locks

class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object; its references only keep the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    LockModule();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    UnlockModule();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ChronivexLog* log = new (std::nothrow) ChronivexLog();
    if (!log) return E_OUTOFMEMORY;
    const HRESULT result = log->QueryInterface(iid, object);
    log->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }
};

ClassFactory g_factory;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HRESULT Register(HKEY hive) {
  try {
    const std::wstring path = ModulePath();
    if (path.empty()) return E_FAIL;
    UniqueHkey root;
    const LSTATUS status = RegCreateKeyExW(hive, kClassesKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                           nullptr, root.Put(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    return RegisterJournalClass(root.Get(), path);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT Unregister(HKEY hive) {
  try {
    UniqueHkey root;
    const LSTATUS status = RegOpenKeyExW(hive, kClassesKey, 0, KEY_READ | KEY_WRITE, root.Put());
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    return UnregisterJournalClass(root.Get());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace

HMODULE ComponentModule() {
  return g_module;
}
void LockModule() {
  InterlockedIncrement(&g_usage);
}
void UnlockModule() {
  InterlockedDecrement(&g_usage);
}
bool ModuleInUse() {
  return InterlockedCompareExchange(&g_usage, 0, 0) != 0;
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kClsidChronivexLog)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return ModuleInUse() ? S_FALSE : S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
  return Register(HKEY_LOCAL_MACHINE);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return Unregister(HKEY_LOCAL_MACHINE);
}

// "user" registers for the current user only (no administrator rights needed); no text (or
// "machine") is the same as DllRegisterServer / DllUnregisterServer.
HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
  HKEY hive = nullptr;
  if (!commandLine || !*commandLine || lstrcmpiW(commandLine, L"machine") == 0) {
    hive = HKEY_LOCAL_MACHINE;
  } else if (lstrcmpiW(commandLine, L"user") == 0) {
    hive = HKEY_CURRENT_USER;
  } else {
    return E_INVALIDARG;
  }
  return install ? Register(hive) : Unregister(hive);
}

}  // extern "C"
