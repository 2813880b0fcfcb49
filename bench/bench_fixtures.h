// What the entry benchmarks set up alike: a journal that keeps nothing, and run keys filled with
// REG_SZ values of a realistic command line.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win_handles.h"
#include "store/journal.h"

class NoJournal final : public Journal {
 public:
  void Write(JournalKind, const std::string&, const std::vector<std::string>&) override {}
};

// The command line of value v.
inline std::string ValueData(int v) {
  return "\"C:\\Program Files\\Vendor " + std::to_string(v) + "\\app.exe\" /background";
}

// A key under HKEY_CURRENT_USER of `values` REG_SZ values (Value0000...).
inline void FillKey(const std::string& subkey, int values) {
  HKEY raw = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER, subkey.c_str(), &raw);
  UniqueHkey key(raw);
  for (int v = 0; v < values; ++v) {
    char name[32];
    std::snprintf(name, sizeof(name), "Value%04d", v);
    const std::string data = ValueData(v);
    RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
  }
}
