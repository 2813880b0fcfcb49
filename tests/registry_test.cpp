// Win32Registry against the real (test prefix) registry, on keys of the test's own.
#include "platform/registry.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr char kKey[] = "Software\\QuorvaneRegistryTest";

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key_), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  }
  void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(
        RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())),
        ERROR_SUCCESS);
  }
  void SetText(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    SetRaw(name, type, std::string(text.c_str(), text.size() + 1));
  }
  // The value's type and raw bytes read straight from the registry, or nullopt.
  std::optional<std::pair<DWORD, std::string>> Raw(const std::string& subkey,
                                                   const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != 0) {
      return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::pair<DWORD, std::string>> result;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::string bytes(size, '\0');
      if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                           &size) == ERROR_SUCCESS) {
        bytes.resize(size);
        result.emplace(type, bytes);
      }
    }
    RegCloseKey(key);
    return result;
  }

  HKEY key_ = nullptr;
  Win32Registry registry_;
};

const RegValue* Find(const std::vector<RegValue>& values, const std::string& name) {
  const auto found =
      std::find_if(values.begin(), values.end(), [&](const RegValue& v) { return v.name == name; });
  return found == values.end() ? nullptr : &*found;
}

TEST_F(Win32RegistryTest, ListValuesReadsEveryValueWholeWhateverItsSize) {
  // Names sort in creation order, so the huge value is enumerated before the normal ones.
  const std::string longName = "A" + std::string(299, 'n');
  const std::string hugeText(70000, 't');
  SetText(longName, hugeText);
  SetRaw("B binary", REG_BINARY, std::string("\x01\x00\x02", 3));
  SetText("C text", "C:\\Apps\\c.exe /quiet");
  SetText("D expand", "%SystemRoot%\\d.exe", REG_EXPAND_SZ);
  const DWORD number = 0x01020304;
  SetRaw("E dword", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
  SetRaw("F multi", REG_MULTI_SZ, std::string("x\0y\0\0", 5));
  SetText("G k\xC3\xA4se", "\xE6\x97\xA5\xE6\x9C\xAC.exe");  // UTF-8 name and data
  SetText("", "default");

  const std::optional<std::vector<RegValue>> values = registry_.ListValues(HKEY_CURRENT_USER, kKey);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->size(), 8u);

  struct Expected {
    std::string name;
    DWORD type;
    std::string data;
  };
  const std::vector<Expected> expected = {
      {longName, REG_SZ, hugeText},
      {"B binary", REG_BINARY, std::string("\x01\x00\x02", 3)},
      {"C text", REG_SZ, "C:\\Apps\\c.exe /quiet"},
      {"D expand", REG_EXPAND_SZ, "%SystemRoot%\\d.exe"},
      {"E dword", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)},
      {"F multi", REG_MULTI_SZ, std::string("x\0y\0\0", 5)},
      {"G k\xC3\xA4se", REG_SZ, "\xE6\x97\xA5\xE6\x9C\xAC.exe"},
      {"", REG_SZ, "default"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name.substr(0, 20));
    const RegValue* value = Find(*values, e.name);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, e.type);
    EXPECT_EQ(value->data, e.data);
  }
}

// In UTF-8 a character may take three bytes where the key's size counts it once or twice, so
// the sizes the key reports are too small for these and the buffers must grow.
TEST_F(Win32RegistryTest, ListValuesGrowsPastTheSizesTheKeyReports) {
  std::string wideName = "A";
  for (int i = 0; i < 300; ++i) wideName += "\xE6\x97\xA5";
  std::string wideText;
  for (int i = 0; i < 30000; ++i) wideText += "\xE6\x9C\xAC";
  SetText(wideName, wideText);
  SetText("B after", "later");

  const std::optional<std::vector<RegValue>> values = registry_.ListValues(HKEY_CURRENT_USER, kKey);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->size(), 2u);
  const RegValue* wide = Find(*values, wideName);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->data, wideText);
  const RegValue* after = Find(*values, "B after");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->data, "later");
  EXPECT_EQ(registry_.ReadValue(HKEY_CURRENT_USER, kKey, wideName).value.data, wideText);
}

TEST_F(Win32RegistryTest, ListValuesOfAMissingOrEmptyKey) {
  EXPECT_FALSE(registry_.ListValues(HKEY_CURRENT_USER, std::string(kKey) + "\\Missing"));
  const std::optional<std::vector<RegValue>> none = registry_.ListValues(HKEY_CURRENT_USER, kKey);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST_F(Win32RegistryTest, ReadValueStatuses) {
  const std::string huge(70000, 'h');
  SetText("Huge", huge);
  SetText("Cut", std::string("before\0after", 12));
  SetRaw("Dword", REG_DWORD, std::string("\x05\x00\x00\x00", 4));

  RegRead read = registry_.ReadValue(HKEY_CURRENT_USER, kKey, "Huge");
  EXPECT_EQ(read.status, RegReadStatus::kOk);
  EXPECT_EQ(read.value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(read.value.name, "Huge");
  EXPECT_EQ(read.value.data, huge);

  read = registry_.ReadValue(HKEY_CURRENT_USER, kKey, "Cut");
  EXPECT_EQ(read.status, RegReadStatus::kOk);
  EXPECT_EQ(read.value.data, "before");  // a text ends at its first zero byte

  read = registry_.ReadValue(HKEY_CURRENT_USER, kKey, "dword");  // names ignore case
  EXPECT_EQ(read.status, RegReadStatus::kOk);
  EXPECT_EQ(read.value.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(read.value.data, std::string("\x05\x00\x00\x00", 4));

  EXPECT_EQ(registry_.ReadValue(HKEY_CURRENT_USER, kKey, "Missing").status,
            RegReadStatus::kValueMissing);
  EXPECT_EQ(registry_.ReadValue(HKEY_CURRENT_USER, std::string(kKey) + "\\Missing", "Huge").status,
            RegReadStatus::kKeyMissing);
}

TEST_F(Win32RegistryTest, WriteStringCountsTheTerminatingZero) {
  EXPECT_TRUE(registry_.WriteString(HKEY_CURRENT_USER, kKey, "App", "C:\\a.exe", REG_SZ, false));
  EXPECT_EQ(Raw(kKey, "App"),
            std::make_pair(static_cast<DWORD>(REG_SZ), std::string("C:\\a.exe\0", 9)));

  EXPECT_TRUE(
      registry_.WriteString(HKEY_CURRENT_USER, kKey, "App", "%TEMP%\\b.exe", REG_EXPAND_SZ, false));
  EXPECT_EQ(Raw(kKey, "App"),
            std::make_pair(static_cast<DWORD>(REG_EXPAND_SZ), std::string("%TEMP%\\b.exe\0", 13)));

  EXPECT_TRUE(registry_.WriteString(HKEY_CURRENT_USER, kKey, "Empty", "", REG_SZ, false));
  EXPECT_EQ(Raw(kKey, "Empty"), std::make_pair(static_cast<DWORD>(REG_SZ), std::string(1, '\0')));
}

TEST_F(Win32RegistryTest, WriteStringCreatesTheKeyOnlyWhenAsked) {
  const std::string nested = std::string(kKey) + "\\New\\Deeper";
  EXPECT_FALSE(registry_.WriteString(HKEY_CURRENT_USER, nested, "App", "a", REG_SZ, false));
  EXPECT_FALSE(Raw(std::string(kKey) + "\\New", "").has_value());
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, nested.c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS);

  EXPECT_TRUE(registry_.WriteString(HKEY_CURRENT_USER, nested, "App", "a", REG_SZ, true));
  EXPECT_EQ(Raw(nested, "App"), std::make_pair(static_cast<DWORD>(REG_SZ), std::string("a\0", 2)));
}

TEST_F(Win32RegistryTest, WriteStringWritesOnlyTextTypes) {
  EXPECT_FALSE(registry_.WriteString(HKEY_CURRENT_USER, kKey, "Number", "1", REG_DWORD, false));
  EXPECT_FALSE(Raw(kKey, "Number").has_value());
}

TEST_F(Win32RegistryTest, DeleteValue) {
  SetText("Gone", "x");
  SetText("Kept", "y");
  EXPECT_TRUE(registry_.DeleteValue(HKEY_CURRENT_USER, kKey, "Gone"));
  EXPECT_FALSE(Raw(kKey, "Gone").has_value());
  EXPECT_TRUE(Raw(kKey, "Kept").has_value());
  EXPECT_FALSE(registry_.DeleteValue(HKEY_CURRENT_USER, kKey, "Gone"));
  EXPECT_FALSE(registry_.DeleteValue(HKEY_CURRENT_USER, std::string(kKey) + "\\Missing", "Kept"));
}

// Names and texts are read with the wide calls and marked when the program's 8-bit text cannot
// carry them; what does round-trip is read, written and deleted under its 8-bit name.
TEST_F(Win32RegistryTest, MarksWhatTheCodePageCannotCarry) {
  struct Case {
    const char* what;
    UINT codePage;
    std::wstring name;
    std::wstring text;
    std::string narrowName;  // for exact cases
    bool exact;
  };
  const std::vector<Case> cases = {
      {"latin under 1252", 1252, L"caf\xE9", L"C:\\\xE9t\xE9.exe", "caf\xE9", true},
      {"cjk name under 1252", 1252, L"\x5DE5", L"C:\\a.exe", "", false},
      {"cjk text under 1252", 1252, L"t", L"C:\\\x5DE5.exe", "", false},
      {"best fit under 1252", 1252, L"\x0100", L"C:\\a.exe", "", false},  // not "A"
      {"cjk under utf-8", CP_UTF8, L"\x5DE5", L"C:\\\x5DE5.exe", "\xE5\xB7\xA5", true},
      {"lone surrogate name", CP_UTF8, L"x\xD800", L"C:\\a.exe", "", false},
      {"lone surrogate text", CP_UTF8, L"y", L"C:\\\xDC00.exe", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    RegCloseKey(key_);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key_), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key_, c.name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(c.text.c_str()),
                             static_cast<DWORD>((c.text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    Win32Registry registry(c.codePage);
    const std::optional<std::vector<RegValue>> values =
        registry.ListValues(HKEY_CURRENT_USER, kKey);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ((*values)[0].exact, c.exact);
    if (!c.exact) continue;
    EXPECT_EQ((*values)[0].name, c.narrowName);
    const std::string text = (*values)[0].data;
    const RegRead read = registry.ReadValue(HKEY_CURRENT_USER, kKey, c.narrowName);
    ASSERT_EQ(read.status, RegReadStatus::kOk);
    EXPECT_EQ(read.value.data, text);
    EXPECT_TRUE(read.value.exact);
    EXPECT_TRUE(registry.DeleteValue(HKEY_CURRENT_USER, kKey, c.narrowName));
    EXPECT_EQ(RegQueryValueExW(key_, c.name.c_str(), nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(registry.WriteString(HKEY_CURRENT_USER, kKey, c.narrowName, text, REG_SZ, false));
    std::wstring back(c.text.size() + 1, L'\0');
    DWORD size = static_cast<DWORD>(back.size() * sizeof(wchar_t));
    ASSERT_EQ(RegQueryValueExW(key_, c.name.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(back.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(back, c.text + L'\0');
  }
}

// A name that has no exact UTF-16 form would address some other value: it is refused, and a
// read of it never says the value is missing.
TEST_F(Win32RegistryTest, RefusesANameWithoutAnExactForm) {
  Win32Registry registry(CP_UTF8);
  const std::string invalid = "bad\xFF";  // not UTF-8; as U+FFFD it would name another value
  const std::wstring other = L"bad\xFFFD";
  ASSERT_EQ(RegSetValueExW(key_, other.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"),
                           2 * sizeof(wchar_t)),
            ERROR_SUCCESS);
  const RegRead read = registry.ReadValue(HKEY_CURRENT_USER, kKey, invalid);
  EXPECT_EQ(read.status, RegReadStatus::kFailed);
  EXPECT_EQ(read.reason.Code(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(registry.DeleteValue(HKEY_CURRENT_USER, kKey, invalid).Code(),
            static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_FALSE(registry.WriteString(HKEY_CURRENT_USER, kKey, invalid, "y", REG_SZ, false));
  wchar_t data[4] = {};
  DWORD size = sizeof(data);
  ASSERT_EQ(
      RegQueryValueExW(key_, other.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(data), L"x");
}

}  // namespace
