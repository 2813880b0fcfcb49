// The disabled-entry store on real files in a private temporary folder, through the real DOM.
#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win_handles.h"
#include "platform/xml_dom.h"
#include "store/xml_disabled_store.h"
#include "support/temp_folder.h"

namespace {

const std::string kRun = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kLoad =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load";
const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::optional<std::string> ReadIfReadable(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(read);
  return bytes;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Records as "path|name|data" lines, so failures print readably.
std::vector<std::string> Lines(const std::vector<StoredRecord>& records) {
  std::vector<std::string> lines;
  for (const StoredRecord& r : records)
    lines.push_back(r.location + "|" + r.valueName + "|" + r.valueData);
  return lines;
}

std::string Record(const std::string& element, const std::string& path, const std::string& name,
                   const std::string& data, const std::string& extra = "") {
  return "<" + element + " path=\"" + path + "\" valuedata=\"" + data + "\" valuename=\"" + name +
         "\"" + extra + "/>";
}
std::string Reg(const std::string& path, const std::string& name, const std::string& data,
                const std::string& extra = "") {
  return Record("disabledregistryitem", path, name, data, extra);
}
std::string Store(const std::string& records) {
  return kDecl + "<config><toolquorvane>" + records + "</toolquorvane></config>\r\n";
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeFolder("qv_store_test_"); }
  void TearDown() override { TempFolder::RemoveTree(dir_); }

  void MakeFolder(const std::string& prefix) {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++counter);
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    file_ = dir_ + "\\config.xml";
    store_.emplace(file_);
  }

  void Put(const std::string& bytes) { ASSERT_TRUE(WriteBytes(file_, bytes)); }
  std::string Bytes() { return ReadIfReadable(file_).value_or("<unreadable>"); }
  std::vector<std::string> All(KindId kind = KindId::kRegistry) {
    return Lines(store_->ListAll(kind));
  }

  std::string dir_;
  std::string file_;
  std::optional<XmlDisabledStore> store_;
};

using Strings = std::vector<std::string>;

// --- the empty store and the basic operations -------------------------------------------

TEST_F(StoreTest, EmptyContainerListsNothingAndTakesTheFirstRecord) {
  Put(Store(""));
  for (KindId kind : {KindId::kRegistry, KindId::kStartupFolder, KindId::kListValue}) {
    EXPECT_TRUE(store_->ListAll(kind).empty());
    EXPECT_TRUE(store_->List(kind, kRun).empty());
  }
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Tool", "C:\\tool.exe /min"));
  EXPECT_EQ(All(), Strings{kRun + "|Tool|C:\\tool.exe /min"});
  EXPECT_TRUE(store_->ListAll(KindId::kListValue).empty());
}

TEST_F(StoreTest, AppendKeepsRecordsInTheOrderAddedAndKindsApart) {
  Put(Store(""));
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe"));
  ASSERT_TRUE(store_->Append(KindId::kListValue, kLoad, "Load", "b.exe"));
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "C", "c.exe"));
  ASSERT_TRUE(store_->Append(KindId::kStartupFolder, "C:\\Startup", "d.lnk", "d.exe"));
  EXPECT_EQ(All(), (Strings{kRun + "|A|a.exe", kRun + "|C|c.exe"}));
  EXPECT_EQ(All(KindId::kListValue), Strings{kLoad + "|Load|b.exe"});
  EXPECT_EQ(All(KindId::kStartupFolder), Strings{"C:\\Startup|d.lnk|d.exe"});
  // A record of another kind never matches.
  EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, kLoad, "Load", "b.exe"));
  EXPECT_TRUE(store_->RemoveMatching(KindId::kListValue, kLoad, "Load", "b.exe"));
  EXPECT_TRUE(store_->ListAll(KindId::kListValue).empty());
}

TEST_F(StoreTest, UpdateSetsNameAndDataOrOnlyData) {
  Put(Store(Reg(kRun, "Old", "old.exe") + Record("disabledwininiitem", kLoad, "Load", "x.exe")));
  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kRegistry, kRun, "Old", "old.exe", "New", "new.exe", false));
  EXPECT_EQ(All(), Strings{kRun + "|New|new.exe"});
  // The list-value form ignores the new name.
  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kListValue, kLoad, "Load", "x.exe", "Ignored", "y.exe", true));
  EXPECT_EQ(All(KindId::kListValue), Strings{kLoad + "|Load|y.exe"});
  EXPECT_FALSE(store_->UpdateMatching(KindId::kRegistry, kRun, "Old", "old.exe", "N", "D", false));
}

// --- record match ----------------------------------------------------------------------

TEST_F(StoreTest, OfTwoEqualRecordsTheFirstInDocumentOrderActs) {
  Put(Store(Reg(kRun, "Dup", "d.exe", " id=\"first\"") +
            Reg(kRun, "Dup", "d.exe", " id=\"second\"")));
  EXPECT_EQ(store_->List(KindId::kRegistry, kRun).size(), 2u);

  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kRegistry, kRun, "Dup", "d.exe", "Changed", "c.exe", false));
  EXPECT_EQ(All(), (Strings{kRun + "|Changed|c.exe", kRun + "|Dup|d.exe"}));
  EXPECT_NE(Bytes().find("valuename=\"Changed\" id=\"first\""), std::string::npos) << Bytes();

  Put(Store(Reg(kRun, "Dup", "d.exe", " id=\"first\"") +
            Reg(kRun, "Dup", "d.exe", " id=\"second\"")));
  ASSERT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "Dup", "d.exe"));
  EXPECT_EQ(All(), Strings{kRun + "|Dup|d.exe"});
  EXPECT_EQ(Bytes().find("first"), std::string::npos) << Bytes();
  EXPECT_NE(Bytes().find("second"), std::string::npos) << Bytes();
}

TEST_F(StoreTest, MatchingIgnoresLetterCaseInEveryAttribute) {
  Put(Store(Reg(kRun, "Tool", "C:\\Tool.exe")));
  const std::string upper = "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
  // Listed under the location as the view spells it; the record keeps its own spelling.
  EXPECT_EQ(Lines(store_->List(KindId::kRegistry, upper)), Strings{kRun + "|Tool|C:\\Tool.exe"});
  ASSERT_TRUE(store_->UpdateMatching(KindId::kRegistry, upper, "TOOL", "c:\\tool.EXE", "Tool",
                                     "C:\\Tool2.exe", false));
  EXPECT_TRUE(store_->RemoveMatching(KindId::kRegistry, upper, "tool", "C:\\TOOL2.EXE"));
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
}

// A record under no configured location, and near misses of a record: never listed there,
// never matched, and nothing is saved.
TEST_F(StoreTest, ARecordMatchesOnlyWhenPathNameAndDataAllAgree) {
  const std::string stray = "HKEY_LOCAL_MACHINE\\Software\\Nowhere";
  const std::string original = Store(Reg(stray, "Tool", "t.exe") + Reg(kRun, "Other", "o.exe"));
  Put(original);
  EXPECT_EQ(Lines(store_->List(KindId::kRegistry, kRun)), Strings{kRun + "|Other|o.exe"});
  EXPECT_TRUE(store_->List(KindId::kRegistry, kLoad).empty());
  for (const StoredRecord& c : std::vector<StoredRecord>{{kRun, "Tool", "t.exe"},
                                                         {kRun, "Other", "o.exe /x"},
                                                         {kRun, "Other2", "o.exe"},
                                                         {kRun + "Once", "Other", "o.exe"},
                                                         {kRun, "", "o.exe"}}) {
    EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, c.location, c.valueName, c.valueData))
        << c.location << "|" << c.valueName << "|" << c.valueData;
    EXPECT_FALSE(store_->UpdateMatching(KindId::kRegistry, c.location, c.valueName, c.valueData,
                                        "X", "Y", false));
  }
  EXPECT_EQ(Bytes(), original);
}

TEST_F(StoreTest, ARecordWithoutAnAttributeReadsItAsEmpty) {
  Put(Store("<disabledregistryitem path=\"" + kRun +
            "\" valuename=\"NoData\"/>"
            "<disabledregistryitem valuedata=\"x.exe\" valuename=\"NoPath\"/>"));
  EXPECT_EQ(All(), (Strings{kRun + "|NoData|", "|NoPath|x.exe"}));
  EXPECT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "NoData", ""));
  EXPECT_EQ(All(), Strings{"|NoPath|x.exe"});
}

TEST_F(StoreTest, ARecordInALaterContainerIsListedAndRemovable) {
  Put(kDecl + "<config><toolquorvane>" + Reg(kRun, "A", "a.exe") + "</toolquorvane><toolquorvane>" +
      Reg(kRun, "B", "b.exe") + "</toolquorvane></config>");
  EXPECT_EQ(All(), (Strings{kRun + "|A|a.exe", kRun + "|B|b.exe"}));
  EXPECT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "B", "b.exe"));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
  // Append goes to the first container.
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "C", "c.exe"));
  EXPECT_LT(Bytes().find("\"C\""), Bytes().find("</toolquorvane>")) << Bytes();
}

// --- what the store does not use survives ------------------------------------------------

TEST_F(StoreTest, CommentsForeignElementsAndAttributesSurviveEverySave) {
  Put(kDecl +
      "<!-- top comment -->\r\n<config version=\"2\"><settings lang=\"en\">keep</settings>"
      "<toolquorvane owner=\"me\"><!-- inner comment --><note>n</note>" +
      Reg(kRun, "A", "a.exe", " added=\"2020\"") + Reg(kRun, "B", "b.exe") +
      "</toolquorvane></config>\r\n");
  const std::vector<std::string> kept = {
      "<!-- top comment -->", "version=\"2\"",          "<settings lang=\"en\">keep</settings>",
      "owner=\"me\"",         "<!-- inner comment -->", "<note>n</note>",
      "added=\"2020\""};
  auto expectKept = [&](const char* step) {
    const std::string bytes = Bytes();
    for (const std::string& piece : kept) {
      EXPECT_NE(bytes.find(piece), std::string::npos) << step << ": lost " << piece << "\n"
                                                      << bytes;
    }
  };
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "C", "c.exe"));
  expectKept("Append");
  ASSERT_TRUE(store_->UpdateMatching(KindId::kRegistry, kRun, "A", "a.exe", "A2", "a2.exe", false));
  expectKept("Update");
  ASSERT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "B", "b.exe"));
  expectKept("Remove");
  EXPECT_EQ(All(), (Strings{kRun + "|A2|a2.exe", kRun + "|C|c.exe"}));
}

// --- text --------------------------------------------------------------------------------

TEST_F(StoreTest, NonAsciiValuesRoundTrip) {
  Put(Store(""));
  const std::vector<StoredRecord> values = {
      {"HKEY_CURRENT_USER\\Программы\\Run", "Запуск", "C:\\Программы\\запуск.exe"},
      {"C:\\用户\\启动", "程序.lnk", "D:\\工具\\程序.exe"},
      {kRun, "Emoji 🚀", "C:\\🙂\\x.exe \"&<>'\""},
  };
  for (const StoredRecord& v : values) {
    ASSERT_TRUE(store_->Append(KindId::kRegistry, v.location, v.valueName, v.valueData));
  }
  EXPECT_EQ(All(), Lines(values));
  // Case folding reaches beyond ASCII.
  EXPECT_EQ(store_->List(KindId::kRegistry, "hkey_current_user\\ПРОГРАММЫ\\run").size(), 1u);
  EXPECT_TRUE(store_->RemoveMatching(KindId::kRegistry, values[0].location, "ЗАПУСК",
                                     "c:\\программы\\ЗАПУСК.EXE"));
  EXPECT_TRUE(store_->UpdateMatching(KindId::kRegistry, values[1].location, values[1].valueName,
                                     values[1].valueData, "新しい", "E:\\新しい.exe", false));
  EXPECT_EQ(All(), (Strings{values[1].location + "|新しい|E:\\新しい.exe", Lines(values)[2]}));
}

TEST_F(StoreTest, Utf8FilesWithBomOrWithoutDeclarationAreRead) {
  const std::string body =
      "<config><toolquorvane>" + Reg(kRun, "Ключ", "путь.exe") + "</toolquorvane></config>";
  const std::string bom = "\xEF\xBB\xBF";
  struct Case {
    const char* label;
    std::string bytes;
  };
  for (const Case& c : std::vector<Case>{
           {"declaration", kDecl + body},
           {"bom and declaration", bom + kDecl + body},
           {"bom only", bom + body},
           {"neither", body},
           {"lower-case utf-8", "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body}}) {
    Put(c.bytes);
    EXPECT_EQ(All(), Strings{kRun + "|Ключ|путь.exe"}) << c.label;
    ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Второй", "два.exe")) << c.label;
    EXPECT_EQ(All(), (Strings{kRun + "|Ключ|путь.exe", kRun + "|Второй|два.exe"})) << c.label;
  }
}

// --- missing, damaged and incomplete files ------------------------------------------------

TEST_F(StoreTest, MissingFileListsNothingAndOnlyAppendCreatesIt) {
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
  EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_FALSE(store_->UpdateMatching(KindId::kRegistry, kRun, "A", "a.exe", "B", "b", false));
  EXPECT_FALSE(Exists(file_));

  ASSERT_TRUE(store_->Append(KindId::kStartupFolder, "C:\\Startup", "a.lnk", "a.exe"));
  EXPECT_EQ(All(KindId::kStartupFolder), Strings{"C:\\Startup|a.lnk|a.exe"});
  const std::string bytes = Bytes();
  EXPECT_NE(bytes.find("<config>"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("<toolquorvane>"), std::string::npos) << bytes;
  EXPECT_FALSE(Exists(store_->TempPath()));
}

TEST_F(StoreTest, AppendInAMissingFolderFailsWithoutCreatingIt) {
  XmlDisabledStore elsewhere(dir_ + "\\absent\\config.xml");
  EXPECT_FALSE(elsewhere.Append(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_FALSE(Exists(dir_ + "\\absent"));
}

TEST_F(StoreTest, AFileThatDoesNotParseIsNeverWritten) {
  for (const std::string& damaged :
       {std::string(), kDecl + "<config><toolquorvane>" + Reg(kRun, "A", "a.exe"),
        std::string("not xml at all"), std::string("\xEF\xBB\xBF"),
        kDecl + "<config><toolquorvane></config>"}) {
    Put(damaged);
    EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty()) << damaged;
    EXPECT_FALSE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe")) << damaged;
    EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe")) << damaged;
    EXPECT_FALSE(store_->UpdateMatching(KindId::kRegistry, kRun, "A", "a.exe", "B", "b", false))
        << damaged;
    EXPECT_EQ(Bytes(), damaged);
    EXPECT_FALSE(Exists(store_->TempPath()));
  }
}

TEST_F(StoreTest, AMissingContainerIsAddedByAppend) {
  Put(kDecl + "<config><!-- no container yet --></config>");
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
  EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe"));
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
  EXPECT_NE(Bytes().find("<!-- no container yet -->"), std::string::npos);
}

TEST_F(StoreTest, AppendToAnotherRootFailsAndLeavesTheFile) {
  const std::string other = kDecl + "<settings><toolquorvane/></settings>";
  Put(other);
  EXPECT_FALSE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_EQ(Bytes(), other);
}

// --- the written file ---------------------------------------------------------------------

TEST_F(StoreTest, AWrittenRecordHasItsAttributesInOrderPathValuedataValuename) {
  Put(Store(""));
  ASSERT_TRUE(store_->Append(KindId::kListValue, kLoad, "Load", "C:\\prog.exe"));
  const std::string expected =
      "<disabledwininiitem path=\"" + kLoad + "\" valuedata=\"C:\\prog.exe\" valuename=\"Load\"/>";
  EXPECT_NE(Bytes().find(expected), std::string::npos) << Bytes();
}

// A registry value's type: a record without valuetype is REG_SZ (so files from before read as
// they did); REG_EXPAND_SZ is written after valuename and before the escaped mark, and kept by
// every change; a type the program does not know is kept as written and never appended.
TEST_F(StoreTest, AValueTypeIsReadWrittenAfterValuenameAndKeptByEveryChange) {
  Put(Store(Reg(kRun, "Old", "old.exe") +
            Reg(kRun, "Exp", "%a%.exe", " valuetype=\"REG_EXPAND_SZ\"") +
            Reg(kRun, "Odd", "odd.exe", " valuetype=\"REG_DWORD\"")));
  std::vector<DWORD> types;
  for (const StoredRecord& r : store_->ListAll(KindId::kRegistry)) types.push_back(r.valueType);
  EXPECT_EQ(types, (std::vector<DWORD>{REG_SZ, REG_EXPAND_SZ, REG_NONE}));
  const auto typeOf = [this](const std::string& name) {
    for (const StoredRecord& r : store_->ListAll(KindId::kRegistry)) {
      if (r.valueName == name) return r.valueType;
    }
    return static_cast<DWORD>(0xFFFF);
  };

  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kRegistry, kRun, "Exp", "%a%.exe", "Exp2", "%b%.exe", false));
  EXPECT_EQ(typeOf("Exp2"), static_cast<DWORD>(REG_EXPAND_SZ));
  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kRegistry, kRun, "Odd", "odd.exe", "Odd", "odd2.exe", true));
  EXPECT_NE(Bytes().find("valuename=\"Odd\" valuetype=\"REG_DWORD\""), std::string::npos)
      << Bytes();
  ASSERT_TRUE(
      store_->UpdateMatching(KindId::kRegistry, kRun, "Old", "old.exe", "Old", "new.exe", true));
  EXPECT_EQ(typeOf("Old"), static_cast<DWORD>(REG_SZ));

  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "New", "%c%.exe", REG_EXPAND_SZ));
  EXPECT_NE(
      Bytes().find("<disabledregistryitem path=\"" + kRun +
                   "\" valuedata=\"%c%.exe\" valuename=\"New\" valuetype=\"REG_EXPAND_SZ\"/>"),
      std::string::npos)
      << Bytes();
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Esc\x1B", "%d%.exe", REG_EXPAND_SZ));
  EXPECT_NE(Bytes().find("valuename=\"Esc%1B\" valuetype=\"REG_EXPAND_SZ\" escaped=\"1\""),
            std::string::npos)
      << Bytes();
  EXPECT_EQ(typeOf("Esc\x1B"), static_cast<DWORD>(REG_EXPAND_SZ));
  // A plain string record carries no valuetype.
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Plain", "p.exe"));
  EXPECT_NE(Bytes().find("valuename=\"Plain\"/>"), std::string::npos) << Bytes();

  const std::string before = Bytes();
  EXPECT_EQ(store_->Append(KindId::kRegistry, kRun, "Dword", "7", REG_DWORD).Code(),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(Bytes(), before);
}

TEST_F(StoreTest, TheShippedEmptyStoreWorks) {
  const char* source = getenv("QV_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  // The source folder arrives as a Unix path; Wine maps it under Z:.
  std::string shipped = std::string("Z:") + source + "/res/config.xml";
  for (char& c : shipped)
    if (c == '/') c = '\\';
  const auto bytes = ReadIfReadable(shipped);
  ASSERT_TRUE(bytes.has_value()) << shipped;
  EXPECT_EQ(bytes->rfind(kDecl, 0), 0u) << *bytes;
  Put(*bytes);
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
}

// --- failed and interrupted saves ----------------------------------------------------------

enum class Op { kAppend, kRemove, kUpdate };

Status RunOp(XmlDisabledStore& store, Op op) {
  switch (op) {
    case Op::kAppend:
      return store.Append(KindId::kRegistry, kRun, "New", "new.exe");
    case Op::kRemove:
      return store.RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe");
    case Op::kUpdate:
      return store.UpdateMatching(KindId::kRegistry, kRun, "A", "a.exe", "B", "b.exe", false);
  }
  return Status(ERROR_INVALID_PARAMETER);
}

TEST_F(StoreTest, ASaveThatCannotReplaceTheFileFailsAndKeepsTheOldFile) {
  const std::string original = Store(Reg(kRun, "A", "a.exe"));
  struct Case {
    const char* label;
    bool lockTarget;  // else the temporary file's place is held
    DWORD access;
    DWORD share;
  };
  // Read sharing lets the load through, so the failure comes at the replace.
  for (const Case& c :
       std::vector<Case>{{"target, no sharing", true, GENERIC_READ | GENERIC_WRITE, 0},
                         {"target, read sharing", true, GENERIC_READ, FILE_SHARE_READ},
                         {"temporary file", false, GENERIC_READ | GENERIC_WRITE, 0}}) {
    for (Op op : {Op::kAppend, Op::kRemove, Op::kUpdate}) {
      Put(original);
      const std::string locked = c.lockTarget ? file_ : store_->TempPath();
      UniqueFile holder(CreateFileA(locked.c_str(), c.access, c.share, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(holder) << c.label;
      EXPECT_FALSE(RunOp(*store_, op)) << c.label << " op " << static_cast<int>(op);
      holder.Reset();
      EXPECT_EQ(Bytes(), original) << c.label << " op " << static_cast<int>(op);
      if (c.lockTarget) {
        EXPECT_FALSE(Exists(store_->TempPath())) << c.label;
      }
      DeleteFileA(store_->TempPath().c_str());
    }
  }
}

TEST_F(StoreTest, AnInterruptedSaveLeavesTheOldFileAndTheNextOperationRecovers) {
  const std::string original = Store(Reg(kRun, "A", "a.exe"));
  for (Op op : {Op::kAppend, Op::kRemove, Op::kUpdate}) {
    Put(original);
    bool interrupted = false;
    store_->SetBeforeReplaceHook([&] {
      interrupted = true;
      return false;
    });
    EXPECT_FALSE(RunOp(*store_, op)) << static_cast<int>(op);
    EXPECT_TRUE(interrupted);
    store_->SetBeforeReplaceHook(nullptr);

    // The crash left the new document beside the store; nothing reads it.
    EXPECT_EQ(Bytes(), original);
    ASSERT_TRUE(Exists(store_->TempPath()));
    EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});

    ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Later", "later.exe"));
    EXPECT_EQ(All(), (Strings{kRun + "|A|a.exe", kRun + "|Later|later.exe"}));
    EXPECT_FALSE(Exists(store_->TempPath()));
  }
}

TEST_F(StoreTest, AGarbageLeftoverTemporaryFileIsIgnoredAndReplaced) {
  Put(Store(Reg(kRun, "A", "a.exe")));
  ASSERT_TRUE(WriteBytes(store_->TempPath(), "<config><toolquorv"));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
  ASSERT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_TRUE(All().empty());
  EXPECT_FALSE(Exists(store_->TempPath()));
}

// --- where the file lives and whether there is a DOM at all --------------------------------

TEST_F(StoreTest, WorksInAFolderWithNonAsciiAndUrlCharacters) {
  TempFolder::RemoveTree(dir_);
  MakeFolder("qv_хранилище #1 %20 存储_");
  ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
  EXPECT_TRUE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_TRUE(All().empty());
}

ComPtr<IXMLDOMDocument> NoDom() {
  return {};
}

TEST_F(StoreTest, WithoutAnXmlServiceNothingIsReadOrWritten) {
  EXPECT_TRUE(XmlServiceAvailable());
  const std::string original = Store(Reg(kRun, "A", "a.exe"));
  Put(original);
  const DomDocumentFactory previous = SetDomDocumentFactory(&NoDom);
  EXPECT_FALSE(XmlServiceAvailable());
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
  EXPECT_FALSE(store_->Append(KindId::kRegistry, kRun, "B", "b.exe"));
  EXPECT_FALSE(store_->RemoveMatching(KindId::kRegistry, kRun, "A", "a.exe"));
  EXPECT_FALSE(store_->UpdateMatching(KindId::kRegistry, kRun, "A", "a.exe", "B", "b", false));
  SetDomDocumentFactory(previous);
  EXPECT_TRUE(XmlServiceAvailable());
  EXPECT_EQ(Bytes(), original);
}

// --- the window settings beside the records ----------------------------------------------

WindowSettings Settings(RECT normal, bool maximized, int splitter) {
  return WindowSettings{WindowSettings::Placement{normal, maximized}, splitter, std::nullopt};
}

TEST_F(StoreTest, SettingsAreWrittenBesideTheRecordsAndLeaveEverythingElse) {
  const std::string records = Reg(kRun, "A", "a.exe") + Reg(kRun, "B", "b.exe");
  Put(kDecl + "<config><!-- kept --><toolquorvane>" + records +
      "</toolquorvane><settings theme=\"dark\"><other/></settings><foreign x=\"1\"/></config>");
  EXPECT_FALSE(store_->ReadSettings());  // a settings element without window or splitter

  const WindowSettings first = Settings(RECT{10, 20, 810, 620}, true, 250);
  ASSERT_TRUE(store_->WriteSettings(first));
  EXPECT_EQ(store_->ReadSettings(), std::optional<WindowSettings>(first));
  // Written again with other values: replaced in place, not added a second time.
  const WindowSettings second = Settings(RECT{-30, 0, 470, 400}, false, 133);
  ASSERT_TRUE(store_->WriteSettings(second));
  EXPECT_EQ(XmlDisabledStore(file_).ReadSettings(), std::optional<WindowSettings>(second));

  const std::string bytes = Bytes();
  EXPECT_NE(bytes.find(records), std::string::npos) << bytes;
  for (const char* kept : {"<!-- kept -->", "theme=\"dark\"", "<other/>", "<foreign x=\"1\"/>"}) {
    EXPECT_NE(bytes.find(kept), std::string::npos) << kept;
  }
  EXPECT_EQ(bytes.find("<window"), bytes.rfind("<window"));
  EXPECT_NE(bytes.find("<splitter position=\"133\"/>"), std::string::npos) << bytes;
  EXPECT_EQ(All(), (Strings{kRun + "|A|a.exe", kRun + "|B|b.exe"}));
  // The records still change as before with the settings there.
  EXPECT_TRUE(store_->Append(KindId::kRegistry, kRun, "C", "c.exe"));
  EXPECT_EQ(store_->ReadSettings(), std::optional<WindowSettings>(second));
}

TEST_F(StoreTest, SettingsAreNeverWrittenToAFileThatCannotBeReadOrIsMissing) {
  const WindowSettings settings = Settings(RECT{0, 0, 640, 480}, false, 200);
  EXPECT_FALSE(store_->WriteSettings(settings));
  EXPECT_FALSE(Exists(file_));
  EXPECT_FALSE(store_->ReadSettings());

  const std::string broken = kDecl + "<config><toolquorvane>" + Reg(kRun, "A", "a.exe");
  Put(broken);
  EXPECT_FALSE(store_->WriteSettings(settings));
  EXPECT_EQ(Bytes(), broken);
  EXPECT_FALSE(store_->ReadSettings());
  EXPECT_FALSE(Exists(store_->TempPath()));
}

TEST_F(StoreTest, MalformedSettingsReadAsAbsent) {
  struct Case {
    const char* settings;
    bool window;
    std::optional<int> splitter;
  } cases[] = {
      {"<window left=\"1\" top=\"2\" right=\"300\" bottom=\"200\"/><splitter position=\"9\"/>",
       true, 9},
      {"<window left=\"x\" top=\"2\" right=\"300\" bottom=\"200\"/>", false, std::nullopt},
      {"<window left=\"300\" top=\"2\" right=\"1\" bottom=\"200\"/>", false, std::nullopt},
      {"<splitter position=\"-5\"/>", false, std::nullopt},
  };
  for (const Case& c : cases) {
    Put(kDecl + "<config><toolquorvane/><settings>" + c.settings + "</settings></config>");
    const std::optional<WindowSettings> read = store_->ReadSettings();
    EXPECT_EQ(read && read->window.has_value(), c.window) << c.settings;
    EXPECT_EQ(read ? read->splitterPosition96 : std::nullopt, c.splitter) << c.settings;
  }
}

TEST_F(StoreTest, TheWindowsEntriesFilterIsRememberedOnItsOwn) {
  struct Case {
    const char* view;
    std::optional<bool> hide;
  } cases[] = {
      {"<view hideWindowsEntries=\"1\"/>", true},
      {"<view hideWindowsEntries=\"0\"/>", false},
      {"<view hideWindowsEntries=\"yes\"/>", std::nullopt},
      {"<view/>", std::nullopt},
  };
  for (const Case& c : cases) {
    Put(kDecl + "<config><toolquorvane/><settings>" + c.view + "</settings></config>");
    const std::optional<WindowSettings> read = store_->ReadSettings();
    EXPECT_EQ(read ? read->hideWindowsEntries : std::nullopt, c.hide) << c.view;
  }
  // Written with the placement, and switched off again in place.
  Put(Store(Reg(kRun, "A", "a.exe")));
  WindowSettings settings = Settings(RECT{0, 0, 640, 480}, false, 200);
  for (const bool hide : {true, false}) {
    settings.hideWindowsEntries = hide;
    ASSERT_TRUE(store_->WriteSettings(settings));
    EXPECT_EQ(XmlDisabledStore(file_).ReadSettings(), std::optional<WindowSettings>(settings));
  }
  EXPECT_EQ(Bytes().find("<view"), Bytes().rfind("<view"));
}

TEST_F(StoreTest, ASettingsSaveThatDoesNotReadBackAsMeantKeepsTheOldFile) {
  const std::string original = Store(Reg(kRun, "A", "a.exe"));
  Put(original);
  store_->SetAfterWriteHook([](const std::string& temp) {
    std::string bytes = ReadIfReadable(temp).value_or("");
    const std::size_t at = bytes.find("position=\"321\"");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 14, "position=\"320\"");
    ASSERT_TRUE(WriteBytes(temp, bytes));
  });
  EXPECT_EQ(store_->WriteSettings(Settings(RECT{0, 0, 640, 480}, false, 321)).Code(),
            static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(Bytes(), original);
}

}  // namespace

// --- texts XML cannot carry, encodings, the proof of a save ---------------------------------

std::string Utf16LeWithBom(const std::string& utf8) {
  const int units =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  return bytes;
}

TEST_F(StoreTest, EveryTextARecordCanHoldComesBackExactlyFromEveryOperation) {
  std::string allControls;
  for (int c = 1; c < 32; ++c) allControls += static_cast<char>(c);
  struct Case {
    const char* label;
    std::string name;
    std::string data;
    bool escaped;  // the record carries the mark
  };
  const std::vector<Case> cases = {
      {"ESC colour codes in the data", "Tool", "C:\\tool.exe \x1B[31mred\x1B[0m", true},
      {"U+0001 in the name", std::string("A\x01") + "B", "C:\\a.exe", true},
      {"every control byte", allControls, allControls + "%41", true},
      {"percent signs in a plain record", "Path", "%windir%\\a.exe %1 %%", false},
      {"tab, line feed and carriage return", "T\tN", "line1\r\nline2\tend\r", false},
  };
  for (const KindId kind : {KindId::kRegistry, KindId::kStartupFolder, KindId::kListValue}) {
    for (const Case& c : cases) {
      // A plain neighbour of another kind stays as it is through every change.
      const KindId other = kind == KindId::kRegistry ? KindId::kListValue : KindId::kRegistry;
      Put(Store(Record(RecordElementName(other), kRun, "Neighbour", "n.exe")));
      const std::string where =
          std::string(c.label) + " kind " + std::to_string(static_cast<int>(kind));
      const Strings expected{kRun + "|" + c.name + "|" + c.data};
      ASSERT_TRUE(store_->Append(kind, kRun, c.name, c.data)) << where;
      // A fresh reader of the file sees the same texts, so the file is well-formed.
      XmlDisabledStore reader(file_);
      EXPECT_EQ(Lines(reader.ListAll(kind)), expected) << where << "\n" << Bytes();
      EXPECT_EQ(Bytes().find("escaped=\"1\"") != std::string::npos, c.escaped) << where;
      // Found by its real texts, changed, and removed.
      ASSERT_TRUE(
          store_->UpdateMatching(kind, kRun, c.name, c.data, c.name + "\x02", c.data, false))
          << where;
      EXPECT_EQ(All(kind), Strings{kRun + "|" + c.name + "\x02|" + c.data}) << where;
      ASSERT_TRUE(
          store_->UpdateMatching(kind, kRun, c.name + "\x02", c.data, c.name, c.data, false))
          << where;
      EXPECT_EQ(All(kind), expected) << where;
      EXPECT_EQ(Bytes().find("escaped=") != std::string::npos, c.escaped) << where;
      ASSERT_TRUE(store_->RemoveMatching(kind, kRun, c.name, c.data)) << where;
      EXPECT_TRUE(store_->ListAll(kind).empty()) << where;
      EXPECT_EQ(All(other), Strings{kRun + "|Neighbour|n.exe"}) << where;
    }
  }
}

TEST_F(StoreTest, AFileWithoutTheMarkReadsPercentSignsAsWritten) {
  Put(Store(Reg(kRun, "A%01", "%41.exe") + Reg(kRun, "B%01", "%41.exe", " escaped=\"1\"")));
  EXPECT_EQ(All(), (Strings{kRun + "|A%01|%41.exe", kRun + "|B\x01|A.exe"}));
  // A damaged escape reads as written rather than failing.
  Put(Store(Reg(kRun, "C%4", "%zz%", " escaped=\"1\"")));
  EXPECT_EQ(All(), Strings{kRun + "|C%4|%zz%"});
}

TEST_F(StoreTest, SavesWriteUtf8UnderAMatchingDeclarationWhateverTheFileWasReadAs) {
  const std::string body = "<config><toolquorvane>" + Reg(kRun, "Ключ", "путь.exe") +
                           "<!-- kept --></toolquorvane></config>";
  struct Case {
    const char* label;
    std::string bytes;
  };
  for (const Case& c : std::vector<Case>{
           {"UTF-16 with its declaration",
            Utf16LeWithBom("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body)},
           {"UTF-16 without a declaration", Utf16LeWithBom(body)},
           {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + kDecl + body},
           {"no declaration", body},
           {"standalone declaration",
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>" + body}}) {
    Put(c.bytes);
    ASSERT_EQ(All(), Strings{kRun + "|Ключ|путь.exe"}) << c.label;
    ASSERT_TRUE(store_->Append(KindId::kRegistry, kRun, "Второй", "два.exe")) << c.label;
    const std::string saved = Bytes();
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << c.label << "\n"
                                                                                << saved;
    EXPECT_NE(saved.find("Второй"), std::string::npos) << c.label;  // UTF-8 bytes
    EXPECT_NE(saved.find("<!-- kept -->"), std::string::npos) << c.label;
    EXPECT_EQ(Lines(XmlDisabledStore(file_).ListAll(KindId::kRegistry)),
              (Strings{kRun + "|Ключ|путь.exe", kRun + "|Второй|два.exe"}))
        << c.label;
  }
}

TEST_F(StoreTest, ASaveWhoseFileDoesNotReadBackAsMeantFailsAndKeepsTheOldFile) {
  const std::string original = Store(Reg(kRun, "A", "a.exe") + Reg(kRun, "Z", "z.exe"));
  struct Damage {
    const char* label;
    std::string (*change)(std::string bytes);
  };
  const std::vector<Damage> damages = {
      {"cut short", [](std::string bytes) { return bytes.substr(0, bytes.size() / 2); }},
      {"a record lost",
       [](std::string bytes) {
         const std::size_t at = bytes.find("<disabledregistryitem");
         return bytes.erase(at, bytes.find("/>", at) + 2 - at);
       }},
      {"a text changed",
       [](std::string bytes) {
         bytes[bytes.find("z.exe")] = 'y';
         return bytes;
       }},
  };
  for (const Damage& damage : damages) {
    for (Op op : {Op::kAppend, Op::kRemove, Op::kUpdate}) {
      Put(original);
      store_->SetAfterWriteHook([&damage](const std::string& temp) {
        const std::optional<std::string> bytes = ReadIfReadable(temp);
        ASSERT_TRUE(bytes);
        ASSERT_TRUE(WriteBytes(temp, damage.change(*bytes)));
      });
      const Status status = RunOp(*store_, op);
      EXPECT_EQ(status.Code(), static_cast<DWORD>(ERROR_INVALID_DATA))
          << damage.label << " op " << static_cast<int>(op);
      EXPECT_EQ(Bytes(), original) << damage.label;
      EXPECT_FALSE(Exists(store_->TempPath())) << damage.label;
    }
  }
  // Undamaged, the same save goes through.
  store_->SetAfterWriteHook(nullptr);
  Put(original);
  EXPECT_TRUE(RunOp(*store_, Op::kAppend));
}

TEST_F(StoreTest, AFileThatCannotBeReadIsReportedUntilItCanBeReadAgain) {
  EXPECT_FALSE(store_->Unreadable());  // a missing file is no problem
  store_->ListAll(KindId::kRegistry);
  EXPECT_FALSE(store_->Unreadable());

  Put(kDecl + "<config><toolquorvane>" + Reg(kRun, "A", "a.exe"));
  EXPECT_TRUE(store_->ListAll(KindId::kRegistry).empty());
  const std::optional<UnreadableStore> unreadable = store_->Unreadable();
  ASSERT_TRUE(unreadable);
  EXPECT_EQ(unreadable->file, file_);
  EXPECT_FALSE(store_->Append(KindId::kRegistry, kRun, "B", "b.exe"));
  EXPECT_TRUE(store_->Unreadable());

  Put(Store(Reg(kRun, "A", "a.exe")));
  EXPECT_EQ(All(), Strings{kRun + "|A|a.exe"});
  EXPECT_FALSE(store_->Unreadable());
}
