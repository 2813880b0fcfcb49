// The console program's own rules, without running it: the command line, CSV quoting, the table,
// the JSON listing read back, the comparison with a baseline and the leaf locations it walks.
#include <gtest/gtest.h>

#include <set>

#include "console/baseline_compare.h"
#include "console/command_line.h"
#include "console/entry_formats.h"
#include "console/entry_listing.h"
#include "platform/registry.h"

namespace {

TEST(ConsoleCommandLine, AcceptsEachCommandWithItsOptions) {
  const ParsedCommand list =
      ParseCommandLine({"list", "--format", "csv", "--state", "off", "--hash", "--location", "L"});
  ASSERT_TRUE(list.command);
  EXPECT_EQ(list.command->name, CommandName::kList);
  EXPECT_EQ(list.command->format, OutputFormat::kCsv);
  EXPECT_EQ(list.command->state, StateFilter::kOff);
  EXPECT_TRUE(list.command->hash);
  EXPECT_EQ(list.command->location, "L");

  const ParsedCommand add = ParseCommandLine(
      {"add", "--location", "L", "--name", "N", "--command", "C --name x", "--replace"});
  ASSERT_TRUE(add.command);
  EXPECT_EQ(add.command->command, "C --name x");  // a value is never read as an option
  EXPECT_EQ(add.command->entryName, "N");
  EXPECT_TRUE(add.command->replace);

  const ParsedCommand compare = ParseCommandLine({"compare", "base.json", "--format", "json"});
  ASSERT_TRUE(compare.command);
  EXPECT_EQ(compare.command->file, "base.json");
  EXPECT_EQ(compare.command->format, OutputFormat::kJson);

  const ParsedCommand none = ParseCommandLine({});
  ASSERT_TRUE(none.command);
  EXPECT_EQ(none.command->name, CommandName::kHelp);
}

TEST(ConsoleCommandLine, NamesTheArgumentThatMakesItUnusable) {
  const struct {
    std::vector<std::string> args;
    std::string offending;
  } cases[] = {
      {{"lits"}, "lits"},
      {{"list", "--format", "xml"}, "--format xml"},
      {{"list", "--format"}, "--format"},
      {{"list", "--state", "maybe"}, "--state maybe"},
      {{"list", "--name", "N"}, "--name"},  // list takes no --name
      {{"list", "stray"}, "stray"},
      {{"compare", "b.json", "--format", "csv"}, "--format csv"},
      {{"enable", "--name", "N"}, "enable"},               // no --location
      {{"remove", "--location", "L"}, "remove"},           // no --name
      {{"add", "--location", "L", "--name", "N"}, "add"},  // no --command
      {{"disable", "--location", "L", "--name", "N", "--replace"}, "--replace"},
      {{"export"}, "export"},
      {{"export", "a", "b"}, "b"},
  };
  for (const auto& c : cases) {
    const ParsedCommand parsed = ParseCommandLine(c.args);
    EXPECT_FALSE(parsed.command) << c.offending;
    EXPECT_EQ(parsed.offending, c.offending);
  }
}

TEST(ConsoleCsv, QuotesFieldsWithCommasQuotesAndLineBreaks) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},           {"", ""},
      {"a,b", "\"a,b\""},           {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"one\ntwo", "\"one\ntwo\""}, {"one\r\ntwo", "\"one\r\ntwo\""},
      {"Grüße", "Grüße"},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

ListedEntry Entry(std::string location, std::string name, std::string command,
                  std::string state = "on", std::optional<std::string> hash = std::nullopt) {
  ListedEntry e;
  e.kind = "registry";
  e.location = std::move(location);
  e.name = std::move(name);
  e.command = std::move(command);
  e.state = std::move(state);
  e.sha256 = std::move(hash);
  return e;
}

TEST(ConsoleCsv, WritesAHeaderAndOneRecordPerEntryWithEmptyNulls) {
  ListedEntry e = Entry("L", "N, x", "C");
  e.valueType = "REG_SZ";
  const std::string csv = CsvTable({e}, false);
  EXPECT_EQ(csv,
            "kind,location,name,command,valueType,state,program,programExists,company,"
            "description,version,signature,signer\r\nregistry,L,\"N, x\",C,REG_SZ,on,,false,,,,,"
            "\r\n");
  EXPECT_NE(CsvTable({e}, true).find(",sha256\r\n"), std::string::npos);
}

TEST(ConsoleTable, AlignsColumnsByCharacterAndKeepsEachEntryOnOneLine) {
  const std::string table = TextTable({Entry("Ort", "Grüße", "a\r\nb"), Entry("L", "N", "c")},
                                      {"S", "L", "Name", "C", ""});
  EXPECT_EQ(table,
            "S   L    Name   C\r\n"
            "on  Ort  Grüße  a  b\r\n"
            "on  L    N      c\r\n");
}

TEST(ConsoleJson, ReadsBackWhatItWritesNullsIncluded) {
  ListedEntry full = Entry("L", "Tōkyō \"x\"", "C", "kept", "ab12");
  full.valueType = "REG_EXPAND_SZ";
  full.program = "C:\\p.exe";
  full.programExists = true;
  full.company = "Maker";
  full.version = "1.2";
  const Listing listing{"PC", "me", "2026-01-02T03:04:05Z", {full, Entry("L", "M", "D")}};
  const nlohmann::json written = nlohmann::json::parse(ListingJson(listing, true).dump());
  const std::optional<Listing> read = ListingFromJson(written);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->computer, "PC");
  EXPECT_EQ(read->time, "2026-01-02T03:04:05Z");
  ASSERT_EQ(read->entries.size(), 2u);
  const ListedEntry& a = read->entries[0];
  EXPECT_EQ(a.name, full.name);
  EXPECT_EQ(a.valueType, "REG_EXPAND_SZ");
  EXPECT_EQ(a.program, "C:\\p.exe");
  EXPECT_TRUE(a.programExists);
  EXPECT_EQ(a.company, "Maker");
  EXPECT_EQ(a.description, std::nullopt);
  EXPECT_EQ(a.sha256, "ab12");
  EXPECT_TRUE(written["entries"][1]["valueType"].is_null());
  EXPECT_TRUE(written["entries"][1]["sha256"].is_null());
  EXPECT_FALSE(ListingJson(listing, false)["entries"][0].contains("sha256"));
}

TEST(ConsoleJson, RefusesWhatIsNoListing) {
  const char* const documents[] = {
      "[]",
      "{}",
      "{\"entries\": {}}",
      "{\"entries\": [1]}",
      "{\"entries\": [{\"kind\":\"registry\",\"location\":\"L\",\"name\":\"N\",\"state\":\"on\"}]}",
  };
  for (const char* text : documents)
    EXPECT_FALSE(ListingFromJson(nlohmann::json::parse(text))) << text;
}

TEST(ConsoleCompare, FindsAddedRemovedAndChangedEntries) {
  const std::vector<ListedEntry> baseline = {Entry("Run", "Same", "a.exe", "on", "h1"),
                                             Entry("Run", "Gone", "g.exe"),
                                             Entry("Run", "Cmd", "old.exe"),
                                             Entry("Run", "Off", "o.exe", "on"),
                                             Entry("Run", "Hash", "h.exe", "on", "h1"),
                                             Entry("Run", "NoHash", "n.exe")};
  const std::vector<ListedEntry> current = {
      Entry("RUN", "same", "a.exe", "on", "h1"),  // location and name ignore case
      Entry("Run", "Cmd", "new.exe"),
      Entry("Run", "Off", "o.exe", "kept"),
      Entry("Run", "Hash", "h.exe", "on", "h2"),
      Entry("Run", "NoHash", "n.exe", "on", "h9"),  // no hash in the baseline: not a change
      Entry("Run", "New", "n.exe")};
  const Differences d = CompareListings(baseline, current);
  ASSERT_EQ(d.added.size(), 1u);
  EXPECT_EQ(d.added[0].name, "New");
  ASSERT_EQ(d.removed.size(), 1u);
  EXPECT_EQ(d.removed[0].name, "Gone");
  ASSERT_EQ(d.changed.size(), 3u);
  EXPECT_EQ(d.changed[0].entry.name, "Cmd");
  EXPECT_EQ(d.changed[0].changes[0].field, "command");
  EXPECT_EQ(d.changed[0].changes[0].before, "old.exe");
  EXPECT_EQ(d.changed[1].changes[0].field, "state");
  EXPECT_EQ(d.changed[2].changes[0].field, "sha256");
  EXPECT_FALSE(d.Empty());
  EXPECT_TRUE(CompareListings(baseline, baseline).Empty());
  EXPECT_EQ(DifferencesJson(d)["same"], false);
}

TEST(ConsoleCompare, PairsSeveralEntriesOfOneNameInTheirOrder) {
  const std::vector<ListedEntry> baseline = {Entry("L", "Twin", "one.exe"),
                                             Entry("L", "Twin", "two.exe")};
  const Differences one = CompareListings(baseline, {Entry("L", "Twin", "one.exe")});
  EXPECT_TRUE(one.added.empty());
  ASSERT_EQ(one.removed.size(), 1u);
  EXPECT_EQ(one.removed[0].command, "two.exe");
  const Differences three =
      CompareListings(baseline, {baseline[0], baseline[1], Entry("L", "Twin", "three.exe")});
  ASSERT_EQ(three.added.size(), 1u);
  EXPECT_EQ(three.added[0].command, "three.exe");
  EXPECT_TRUE(three.changed.empty());
}

TEST(ConsoleLeaves, CoverEveryLocationOfTheCatalogueExactlyOnce) {
  Win32Registry registry;
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  std::multiset<std::string> leafLocations;
  for (const int leaf : LeafNodes(nodes)) {
    for (const std::string& location : nodes.at(leaf).locations) leafLocations.insert(location);
  }
  std::set<std::string> all;
  for (const CatalogueNode& node : nodes) all.insert(node.locations.begin(), node.locations.end());
  for (const std::string& location : all) EXPECT_EQ(leafLocations.count(location), 1u) << location;
  EXPECT_EQ(leafLocations.size(), all.size());
  // A location is found in any case; a parent's union is no leaf.
  const std::string run = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::optional<int> leaf =
      LeafAt(nodes, "hkey_current_user\\software\\microsoft\\windows\\currentversion\\run");
  ASSERT_TRUE(leaf);
  EXPECT_EQ(nodes.at(*leaf).locations, std::vector<std::string>{run});
  EXPECT_FALSE(LeafAt(nodes, "HKEY_CURRENT_USER\\Software\\Elsewhere"));
}

}  // namespace

namespace {

TEST(ConsoleCompare, ReportsAChangedSignerOnlyWhereBothListingsCheckedSignatures) {
  ListedEntry before = Entry("L", "N", "C");
  ListedEntry now = before;
  before.signature = "verified";
  before.signer = "Maker Ltd";
  now.signature = "untrusted";
  now.signer = "Someone Else";
  const Differences changed = CompareListings({before}, {now});
  ASSERT_EQ(changed.changed.size(), 1u);
  ASSERT_EQ(changed.changed[0].changes.size(), 2u);
  EXPECT_EQ(changed.changed[0].changes[0].field, "signer");
  EXPECT_EQ(changed.changed[0].changes[0].before, "Maker Ltd");
  EXPECT_EQ(changed.changed[0].changes[1].field, "signature");
  // A baseline from before signatures were listed says nothing about them.
  before.signature.clear();
  before.signer.reset();
  EXPECT_TRUE(CompareListings({before}, {now}).Empty());
  EXPECT_TRUE(ParseCommandLine({"list", "--unsigned"}).command->unsignedOnly);
  EXPECT_FALSE(ParseCommandLine({"export", "f", "--unsigned"}).command.has_value());
}

}  // namespace
