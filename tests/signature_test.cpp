// The signature check on real files signed in the test run, the cache of results, and the texts
// the Publisher column and the filter make of them.
#include <windows.h>
#include <gtest/gtest.h>
#include <wintrust.h>

#include <memory>
#include <string>
#include <vector>

#include "console/entry_listing.h"
#include "core/registry_kind.h"
#include "core/signature_cache.h"
#include "core/signature_text.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "platform/signature_check.h"
#include "store/language_table.h"
#include "store/xml_disabled_store.h"
#include "support/recording_journal.h"
#include "support/signed_samples.h"
#include "support/temp_folder.h"
#include "ui/program_signature.h"

namespace {

using State = SignatureResult::State;

TEST(SignatureCheck, EachKindOfFileGetsItsState) {
  struct Case {
    const char* name;
    std::string path;
    State state;
    bool signer;
  } cases[] = {
      {"signed, root unknown", SignedSample("signed.dll"), State::kNotTrusted, true},
      {"changed after signing", SignedSample("tampered.dll"), State::kBadDigest, false},
      {"unsigned", SignedSample("unsigned.dll"), State::kNotSigned, false},
      {"missing", SignedSample("no-such.dll"), State::kFileMissing, false},
      {"a folder", SignedSample(""), State::kFileMissing, false},
      {"empty path", "", State::kFileMissing, false},
  };
  for (const Case& c : cases) {
    const SignatureResult result = CheckFileSignature(c.path);
    EXPECT_EQ(result.state, c.state) << c.name << ": " << result.reasonText;
    EXPECT_EQ(result.signer, c.signer ? kTestSigner : "") << c.name;
    EXPECT_FALSE(result.fromCatalog) << c.name;
    if (c.state != State::kFileMissing) {
      EXPECT_NE(result.reasonText, "") << c.name;
    }
  }
  const SignatureResult untrusted = CheckFileSignature(SignedSample("signed.dll"));
  EXPECT_EQ(untrusted.reason, CERT_E_UNTRUSTEDROOT);
  EXPECT_EQ(untrusted.issuer, kTestSigner);  // self-signed
  EXPECT_LT(untrusted.notBefore, untrusted.notAfter);
  EXPECT_EQ(CheckFileSignature(SignedSample("tampered.dll")).reason, TRUST_E_BAD_DIGEST);
  EXPECT_EQ(CheckFileSignature(SignedSample("unsigned.dll")).reason, TRUST_E_NOSIGNATURE);
}

// The system keeps the trusted roots it read for the rest of a process (Wine 8 does), so each
// side of trusting the test certificate is checked by a fresh run of this exe.
DWORD RunChild(const char* mode) {
  char self[MAX_PATH * 3] = {};
  GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string command =
      std::string("\"") + self + "\" --gtest_filter=SignatureTrustChild.* --gtest_color=no";
  SetEnvironmentVariableA("QV_SIGNATURE_CHILD", mode);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  DWORD code = 99;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &child)) {
    WaitForSingleObject(child.hProcess, 60000);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  SetEnvironmentVariableA("QV_SIGNATURE_CHILD", nullptr);
  return code;
}

// The console listing of a run key that starts a signed and an unsigned program, all of it or
// with --unsigned: each entry as (name, signature, signer).
std::vector<std::string> ListedSignatures(bool unsignedOnly) {
  const std::string subkey = "Software\\QuorvaneTest\\SignatureListing\\Run";
  const std::string location = "HKEY_CURRENT_USER\\" + subkey;
  const TempFolder temp("qv_signature_listing");
  const auto write = [&](const char* name, const std::string& sample) {
    const std::string data = "\"" + SignedSample(sample) + "\" /tray";
    RegSetKeyValueA(HKEY_CURRENT_USER, subkey.c_str(), name, REG_SZ, data.c_str(),
                    static_cast<DWORD>(data.size() + 1));
  };
  write("Signed", "signed.dll");
  write("Unsigned", "unsigned.dll");
  Win32Registry registry;
  Win32FileSystem files;
  Win32ShellLinks links;
  XmlDisabledStore store(temp / "config.xml");
  RecordingJournal journal;
  LanguageTable language;
  KindServices services{registry, files, links, store, journal, language};
  std::vector<std::unique_ptr<EntryKind>> kinds;
  kinds.push_back(std::make_unique<RegistryKind>(services, std::vector<std::string>{location}));
  CatalogueNode node;
  node.locations = {location};
  ListingFilter filter;
  filter.unsignedOnly = unsignedOnly;
  std::vector<std::string> listed;
  for (const ListedEntry& e : ListEntries({node}, kinds, language, filter, nullptr)) {
    listed.push_back(e.name + " " + e.signature + " " + e.signer.value_or("-"));
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuorvaneTest\\SignatureListing");
  return listed;
}

std::string ChildMode() {
  char mode[32] = {};
  GetEnvironmentVariableA("QV_SIGNATURE_CHILD", mode, sizeof(mode));
  return mode;
}

TEST(SignatureTrustChild, TheSignerIsVerifiedWhileTheRootIsTrusted) {
  if (ChildMode() != "trusted") GTEST_SKIP() << "run by the trust test";
  TrustedTestRoot root;
  ASSERT_TRUE(root.Added());
  const SignatureResult result = CheckFileSignature(SignedSample("signed.dll"));
  EXPECT_EQ(result.state, State::kVerified) << result.reasonText;
  EXPECT_EQ(result.signer, kTestSigner);
  EXPECT_EQ(result.reason, 0);
  EXPECT_EQ(result.reasonText, "");
  // Trust does not mend a changed file.
  EXPECT_EQ(CheckFileSignature(SignedSample("tampered.dll")).state, State::kBadDigest);
  // The console lists the signer, and --unsigned leaves out the verified entry.
  const std::string signedLine = std::string("Signed verified ") + kTestSigner;
  EXPECT_EQ(ListedSignatures(false), (std::vector<std::string>{signedLine, "Unsigned unsigned -"}));
  EXPECT_EQ(ListedSignatures(true), (std::vector<std::string>{"Unsigned unsigned -"}));
  EXPECT_TRUE(root.Remove());
}

TEST(SignatureTrustChild, TheSignerIsNotTrustedWithoutTheRoot) {
  if (ChildMode() != "untrusted") GTEST_SKIP() << "run by the trust test";
  EXPECT_EQ(CheckFileSignature(SignedSample("signed.dll")).state, State::kNotTrusted);
}

TEST(SignatureCheck, ATrustedRootMakesTheSignerVerifiedUntilItIsRemoved) {
  EXPECT_EQ(RunChild("trusted"), 0u);
  // The root was taken out again: a fresh run no longer trusts the signer.
  EXPECT_EQ(RunChild("untrusted"), 0u);
}

TEST(ProgramSignature, ResolvesTheCommandLineChecksOnceAndReadsTheCompanyOfAnUntrustedFile) {
  TempFolder temp("qv_signature");
  const std::string copy = temp / "signed copy.dll";
  ASSERT_TRUE(CopyFileA(SignedSample("signed.dll").c_str(), copy.c_str(), FALSE));
  int checks = 0;
  const SignatureChecker counting = [&](const std::string& path) {
    ++checks;
    return CheckFileSignature(path);
  };
  SignatureCache cache;
  const ProgramSignature first = CheckProgram("\"" + copy + "\" /start", counting, cache);
  EXPECT_EQ(first.path, copy);
  EXPECT_EQ(first.signature.state, State::kNotTrusted);
  EXPECT_EQ(first.company, "Sample Works");
  // Same file, same stamp: from the cache.
  EXPECT_EQ(CheckProgram("\"" + copy + "\"", counting, cache).signature, first.signature);
  EXPECT_EQ(checks, 1);
  // The file replaced by another one: checked again.
  ASSERT_TRUE(CopyFileA(SignedSample("unsigned.dll").c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(CheckProgram("\"" + copy + "\"", counting, cache).signature.state, State::kNotSigned);
  EXPECT_EQ(checks, 2);
  // A missing program is not handed to the checker at all.
  EXPECT_EQ(CheckProgram(temp / "gone.exe", counting, cache).signature.state, State::kFileMissing);
  EXPECT_EQ(checks, 2);
}

TEST(SignatureCache, KeysOnPathIgnoringCaseSizeAndWriteTime) {
  SignatureCache cache;
  SignatureResult verified;
  verified.state = State::kVerified;
  verified.signer = "Someone";
  cache.Store("C:\\Tools\\App.exe", {100, 5}, verified);
  struct Case {
    const char* path;
    FileStamp stamp;
    bool found;
  } cases[] = {
      {"C:\\Tools\\App.exe", {100, 5}, true},    {"c:\\tools\\APP.EXE", {100, 5}, true},
      {"C:\\Tools\\App.exe", {101, 5}, false},   {"C:\\Tools\\App.exe", {100, 6}, false},
      {"C:\\Tools\\Other.exe", {100, 5}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cache.Find(c.path, c.stamp).has_value(), c.found) << c.path;
  }
  SignatureResult unsigned_;
  unsigned_.state = State::kNotSigned;
  cache.Store("c:\\tools\\app.exe", {200, 7}, unsigned_);
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_FALSE(cache.Find("C:\\Tools\\App.exe", {100, 5}).has_value());
  EXPECT_EQ(cache.Find("C:\\Tools\\App.exe", {200, 7})->state, State::kNotSigned);
}

TEST(SignatureText, PublisherCellForEachState) {
  LanguageTable none;  // no file: the keys themselves
  SignatureResult result;
  struct Case {
    State state;
    const char* signer;
    const char* company;
    const char* shown;
  } cases[] = {
      {State::kVerified, "Maker Ltd", "Other", "Maker Ltd"},
      {State::kNotTrusted, "Maker Ltd", "Maker Company", "_NotVerified (Maker Company)"},
      {State::kNotTrusted, "Maker Ltd", "", "_NotVerified"},
      {State::kBadDigest, "", "", "_SignatureMismatch"},
      {State::kNotSigned, "", "Maker Company", "_NotSigned"},
      {State::kFileMissing, "", "", "_ProgramNotFound"},
  };
  for (const Case& c : cases) {
    result.state = c.state;
    result.signer = c.signer;
    EXPECT_EQ(PublisherText(&result, c.company, none), c.shown);
  }
  EXPECT_EQ(PublisherText(nullptr, "", none), "_Checking");
}

TEST(SignatureText, OnlyVerifiedWindowsSignersCountAsWindowsOwn) {
  struct Case {
    State state;
    const char* signer;
    bool own;
  } cases[] = {
      {State::kVerified, "Microsoft Windows", true},
      {State::kVerified, "microsoft windows publisher", true},
      {State::kVerified, "Microsoft Windows Hardware Compatibility Publisher", true},
      {State::kVerified, "Microsoft Corporation", false},  // Office, Teams...: not Windows
      {State::kVerified, "Microsoft Windows Fan Club", false},
      {State::kVerified, "Quorvane Test Publisher", false},
      {State::kNotTrusted, "Microsoft Windows", false},  // a name anyone can put in a certificate
      {State::kBadDigest, "Microsoft Windows", false},
  };
  for (const Case& c : cases) {
    SignatureResult result;
    result.state = c.state;
    result.signer = c.signer;
    EXPECT_EQ(IsWindowsOwn(result), c.own) << c.signer << " " << static_cast<int>(c.state);
  }
}

}  // namespace
