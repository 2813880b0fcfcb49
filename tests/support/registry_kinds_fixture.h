// A fixture for the registry and list-value kinds: a private test key under
// HKEY_CURRENT_USER\Software\QuorvaneTest, a config.xml in a private temporary folder, the real
// platform classes and store, and a recording journal. Everything is removed at the end.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/entry_kind.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/win_handles.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/fault_plan.h"
#include "support/faulty_platform.h"
#include "support/memory_rows.h"
#include "support/recording_journal.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace regkinds {

inline std::string UniqueSuffix() {
  static std::atomic<int> counter{0};
  return std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()) + "_" +
         std::to_string(++counter);
}

// The real registry, files and store behind KindServices, optionally through fault wrappers.
class KindsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string suffix = UniqueSuffix();
    keyBase_ = "Software\\QuorvaneTest\\regkinds_" + suffix;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "qv_regkinds_" + suffix;
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    storePath_ = folder_ + "\\config.xml";
    ASSERT_TRUE(WriteBytes(storePath_,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "<config><toolquorvane></toolquorvane></config>\r\n"));
    store_.emplace(storePath_);
  }

  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, keyBase_.c_str());
    TempFolder::RemoveTree(folder_);
  }

  // Full location string of a test key (registry form) or value (list-value form).
  std::string Location(const std::string& relative) const {
    return "HKEY_CURRENT_USER\\" + keyBase_ + "\\" + relative;
  }
  std::string Subkey(const std::string& relative) const { return keyBase_ + "\\" + relative; }

  void SetValue(const std::string& key, const std::string& name, const std::string& data,
                DWORD type = REG_SZ) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Subkey(key).c_str(), &raw), ERROR_SUCCESS);
    UniqueHkey hkey(raw);
    ASSERT_EQ(RegSetValueExA(hkey.Get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
  }
  void SetDword(const std::string& key, const std::string& name, DWORD data) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Subkey(key).c_str(), &raw), ERROR_SUCCESS);
    UniqueHkey hkey(raw);
    ASSERT_EQ(RegSetValueExA(hkey.Get(), name.c_str(), 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&data), sizeof(data)),
              ERROR_SUCCESS);
  }
  void CreateKey(const std::string& key) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Subkey(key).c_str(), &raw), ERROR_SUCCESS);
    RegCloseKey(raw);
  }

  // Writes a value through the wide calls, so its name and bytes need no 8-bit form; a text's
  // terminating zero is added.
  void SetWideRaw(const std::string& key, const std::wstring& name, DWORD type,
                  const std::string& bytes) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Subkey(key).c_str(), &raw), ERROR_SUCCESS);
    UniqueHkey hkey(raw);
    ASSERT_EQ(RegSetValueExW(hkey.Get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
  void SetWide(const std::string& key, const std::wstring& name, const std::wstring& text) {
    SetWideRaw(key, name, REG_SZ,
               std::string(reinterpret_cast<const char*>(text.c_str()),
                           (text.size() + 1) * sizeof(wchar_t)));
  }
  // Every value of a key as the system holds it: UTF-16 name, type and raw bytes.
  std::map<std::wstring, std::pair<DWORD, std::string>> Snapshot(const std::string& key) const {
    std::map<std::wstring, std::pair<DWORD, std::string>> values;
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Subkey(key).c_str(), 0, KEY_READ, &raw) != 0) {
      return values;
    }
    UniqueHkey hkey(raw);
    for (DWORD index = 0;; ++index) {
      wchar_t name[512];
      DWORD nameLength = 512;
      std::string data(1 << 16, '\0');
      DWORD dataLength = static_cast<DWORD>(data.size());
      DWORD type = 0;
      if (RegEnumValueW(hkey.Get(), index, name, &nameLength, nullptr, &type,
                        reinterpret_cast<BYTE*>(data.data()), &dataLength) != ERROR_SUCCESS) {
        break;
      }
      data.resize(dataLength);
      values[std::wstring(name, nameLength)] = {type, data};
    }
    return values;
  }

  struct Value {
    DWORD type = REG_NONE;
    std::string data;
  };
  // The value as stored (text up to its first zero), nullopt when it does not exist.
  std::optional<Value> GetValue(const std::string& key, const std::string& name) const {
    const RegRead read = realRegistry_.ReadValue(HKEY_CURRENT_USER, Subkey(key), name);
    if (read.status != RegReadStatus::kOk) return std::nullopt;
    return Value{read.value.type, read.value.data};
  }
  std::optional<std::string> GetString(const std::string& key, const std::string& name) const {
    std::optional<Value> value = GetValue(key, name);
    if (!value) return std::nullopt;
    return value->data;
  }
  std::vector<std::string> ValueNames(const std::string& key) const {
    std::vector<std::string> names;
    if (auto values = realRegistry_.ListValues(HKEY_CURRENT_USER, Subkey(key))) {
      for (const RegValue& value : *values) names.push_back(value.name);
    }
    return names;
  }

  std::vector<StoredRecord> Records(KindId kind) { return store_->ListAll(kind); }

  // Services over the real classes, or over the fault wrappers driven by plan_.
  KindServices Services() {
    return KindServices{realRegistry_, realFiles_, realLinks_, *store_, journal_, language_};
  }
  KindServices FaultyServices() {
    faultyRegistry_.emplace(realRegistry_, plan_);
    faultyFiles_.emplace(realFiles_, plan_);
    faultyLinks_.emplace(realLinks_, plan_);
    faultyStore_.emplace(*store_, plan_);
    CountReadBack(*store_, plan_);
    return KindServices{*faultyRegistry_, *faultyFiles_, *faultyLinks_,
                        *faultyStore_,    journal_,      language_};
  }

  std::string keyBase_;
  std::string folder_;
  std::string storePath_;
  mutable Win32Registry realRegistry_;
  Win32FileSystem realFiles_;
  Win32ShellLinks realLinks_;
  std::optional<XmlDisabledStore> store_;
  RecordingJournal journal_;
  LanguageTable language_;  // no file: keys come back as their texts
  FaultPlan plan_;
  std::optional<FaultyRegistry> faultyRegistry_;
  std::optional<FaultyFileSystem> faultyFiles_;
  std::optional<FaultyShellLinks> faultyLinks_;
  std::optional<FaultyStore> faultyStore_;
  MemoryRows rows_;
  ScriptedPrompter prompter_;
};

// Row texts as one line each, for readable comparisons: "name|data|location|on/off".
inline std::vector<std::string> Lines(const MemoryRows& rows) {
  std::vector<std::string> lines;
  for (const Row& row : rows.rows) {
    lines.push_back(row.name + "|" + row.data + "|" + row.location + "|" +
                    (row.enabled ? "on" : "off"));
  }
  return lines;
}

inline int FindRow(const MemoryRows& rows, const std::string& name, const std::string& data,
                   bool enabled) {
  for (int i = 0; i < rows.Count(); ++i) {
    const Row& row = rows.rows[static_cast<std::size_t>(i)];
    if (row.name == name && row.data == data && row.enabled == enabled) return i;
  }
  return -1;
}

}  // namespace regkinds
