// The location catalogue (the sixteen first nodes and the four after them) and the Shell Folders
// lookup behind the two startup folder views.
#include "core/catalogue.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "core/location_split.h"
#include "platform/registry.h"

namespace {

const std::string kShellFolders =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const std::string kHklmRun =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kHklmRunOnce =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kHklmRunServices =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::string kHklmRunServicesOnce =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
const std::string kHklmRun32 =
    "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kHklmRunOnce32 =
    "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kHklmPolicyRun =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
const std::string kHkcuPolicyRun =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
const std::string kHkcuRun = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kHkcuRunOnce =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kLoad =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load";
const std::string kRun =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Run";
const std::string kUserinit =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit";

// Serves ReadValue from a table and records every lookup; nothing else is expected.
class TableRegistry final : public Registry {
 public:
  using Key = std::tuple<HKEY, std::string, std::string>;
  std::map<Key, RegValue> values;
  std::vector<Key> reads;

  std::optional<std::vector<RegValue>> ListValues(HKEY, const std::string&, REGSAM) override {
    ADD_FAILURE() << "the catalogue lists no values";
    return std::nullopt;
  }
  RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name,
                    REGSAM /*view*/) override {
    reads.emplace_back(root, subkey, name);
    const auto found = values.find({root, subkey, name});
    if (found == values.end()) return {RegReadStatus::kValueMissing, {}, {}};
    return {RegReadStatus::kOk, found->second, {}};
  }
  Status WriteString(HKEY, const std::string&, const std::string&, const std::string&, DWORD, bool,
                     REGSAM) override {
    ADD_FAILURE() << "the catalogue writes nothing";
    return Status(ERROR_ACCESS_DENIED);
  }
  Status DeleteValue(HKEY, const std::string&, const std::string&, REGSAM) override {
    ADD_FAILURE() << "the catalogue deletes nothing";
    return Status(ERROR_ACCESS_DENIED);
  }
};

struct NodeCase {
  int viewIndex;
  const char* labelKey;
  int parent;
  int image;
  KindId kind;
  std::vector<std::string> locations;
};

const std::string kAllUsers = "C:\\ProgramData\\Start Menu\\Programs\\StartUp";
const std::string kCurrentUser = "C:\\users\\me\\Start Menu\\Programs\\StartUp";

TEST(Catalogue, HasTheTwentyNodesInViewOrder) {
  TableRegistry registry;
  registry.values[{HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup"}] = {"Common Startup",
                                                                            REG_SZ, kAllUsers};
  registry.values[{HKEY_CURRENT_USER, kShellFolders, "Startup"}] = {"Startup", REG_SZ,
                                                                    kCurrentUser};
  const std::vector<NodeCase> expected = {
      {0, "_TreeStartupFolder", -1, 1, KindId::kStartupFolder, {kAllUsers, kCurrentUser}},
      {1, "_AllUser", 0, 4, KindId::kStartupFolder, {kAllUsers}},
      {2, "_CurrentUser", 0, 5, KindId::kStartupFolder, {kCurrentUser}},
      {3,
       "_TreeRegistry",
       -1,
       3,
       KindId::kRegistry,
       {kHklmRun, kHklmRun32, kHklmRunOnce, kHklmRunOnce32, kHklmRunServices, kHklmRunServicesOnce,
        kHklmPolicyRun, kHkcuRun, kHkcuRunOnce, kHkcuPolicyRun}},
      {4,
       "_AllUser",
       3,
       4,
       KindId::kRegistry,
       {kHklmRun, kHklmRun32, kHklmRunOnce, kHklmRunOnce32, kHklmRunServices, kHklmRunServicesOnce,
        kHklmPolicyRun}},
      {5, "_Run", 4, 2, KindId::kRegistry, {kHklmRun}},
      {6, "_RunOnce", 4, 2, KindId::kRegistry, {kHklmRunOnce}},
      {7, "_RunService", 4, 2, KindId::kRegistry, {kHklmRunServices}},
      {8, "_RunServiceOnce", 4, 2, KindId::kRegistry, {kHklmRunServicesOnce}},
      {9, "_CurrentUser", 3, 5, KindId::kRegistry, {kHkcuRun, kHkcuRunOnce, kHkcuPolicyRun}},
      {10, "_Run", 9, 2, KindId::kRegistry, {kHkcuRun}},
      {11, "_RunOnce", 9, 2, KindId::kRegistry, {kHkcuRunOnce}},
      {12, "_Winini", -1, 6, KindId::kListValue, {kLoad, kRun}},
      {13, "_LoadSection", 12, 2, KindId::kListValue, {kLoad}},
      {14, "_RunSection", 12, 2, KindId::kListValue, {kRun}},
      {15, "_TreeUserInit", -1, 6, KindId::kListValue, {kUserinit}},
      {16, "_Run32", 4, 2, KindId::kRegistry, {kHklmRun32}},
      {17, "_RunOnce32", 4, 2, KindId::kRegistry, {kHklmRunOnce32}},
      {18, "_PolicyRun", 4, 2, KindId::kRegistry, {kHklmPolicyRun}},
      {19, "_PolicyRun", 9, 2, KindId::kRegistry, {kHkcuPolicyRun}},
  };

  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  ASSERT_EQ(nodes.size(), expected.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    SCOPED_TRACE("view " + std::to_string(i));
    EXPECT_EQ(nodes[i].viewIndex, expected[i].viewIndex);
    EXPECT_EQ(nodes[i].labelKey, expected[i].labelKey);
    EXPECT_EQ(nodes[i].parent, expected[i].parent);
    EXPECT_EQ(nodes[i].image, expected[i].image);
    EXPECT_EQ(nodes[i].kind, expected[i].kind);
    EXPECT_EQ(nodes[i].locations, expected[i].locations);  // exact text, letter case included
  }
}

// The later nodes sit among their siblings where `follows` puts them; the rest keep the order of
// their view indexes.
TEST(Catalogue, TheTreeShowsEachNodeAfterItsParentAndSiblingsInTheirPlaces) {
  TableRegistry registry;
  EXPECT_EQ(
      TreeOrder(BuildCatalogue(registry)),
      (std::vector<int>{0, 1, 2, 3, 4, 5, 16, 6, 17, 7, 8, 18, 9, 10, 11, 19, 12, 13, 14, 15}));

  // A node that follows the last sibling, the first one, or a node that is no sibling.
  std::vector<CatalogueNode> nodes(6);
  const int parents[] = {-1, 0, 0, 0, 0, -1};
  const int follows[] = {-1, -1, -1, 2, 1, 1};
  for (int i = 0; i < 6; ++i) {
    nodes[i].parent = parents[i];
    nodes[i].follows = follows[i];
  }
  EXPECT_EQ(TreeOrder(nodes), (std::vector<int>{0, 1, 4, 2, 3, 5}));
}

// A parent's view lists what its children list, in their tree order, so nothing shown below
// it is missing from it and its rows come in the tree's order.
TEST(Catalogue, EveryParentCoversItsChildrenInTreeOrder) {
  TableRegistry registry;
  registry.values[{HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup"}] = {"Common Startup",
                                                                            REG_SZ, kAllUsers};
  registry.values[{HKEY_CURRENT_USER, kShellFolders, "Startup"}] = {"Startup", REG_SZ,
                                                                    kCurrentUser};
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  std::map<int, std::vector<std::string>> covered;
  for (const int i : TreeOrder(nodes)) {
    const CatalogueNode& node = nodes[static_cast<std::size_t>(i)];
    if (node.parent < 0) continue;
    // A child without children of its own contributes its own list.
    const bool leaf = std::none_of(nodes.begin(), nodes.end(),
                                   [i](const CatalogueNode& n) { return n.parent == i; });
    if (!leaf) continue;
    for (int a = node.parent; a >= 0; a = nodes[static_cast<std::size_t>(a)].parent) {
      auto& list = covered[a];
      list.insert(list.end(), node.locations.begin(), node.locations.end());
    }
  }
  ASSERT_EQ(covered.size(), 5u);  // nodes 0, 3, 4, 9, 12
  for (const auto& [parent, locations] : covered) {
    EXPECT_EQ(nodes[static_cast<std::size_t>(parent)].locations, locations) << "node " << parent;
  }
}

// The 32-bit nodes show the path as a registry editor does, and reach the 32-bit view's key.
TEST(Catalogue, TheThirtyTwoBitNodesSplitIntoTheThirtyTwoBitView) {
  TableRegistry registry;
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  for (const auto& [node, subkey] :
       {std::pair{16, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        std::pair{17, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"}}) {
    const std::optional<KeyPath> key = SplitKeyPath(nodes.at(node).locations.at(0));
    ASSERT_TRUE(key) << node;
    EXPECT_EQ(key->root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(key->subkey, subkey);
    EXPECT_EQ(key->view, static_cast<REGSAM>(KEY_WOW64_32KEY));
  }
  for (const int node : {18, 19}) {
    const std::optional<KeyPath> key = SplitKeyPath(nodes.at(node).locations.at(0));
    ASSERT_TRUE(key) << node;
    EXPECT_EQ(key->view, 0u) << node;
  }
}

// Each parent opens once its last descendant is in the tree, an inner parent before the outer.
TEST(Catalogue, OpensEachParentAfterItsLastDescendant) {
  std::vector<CatalogueNode> nodes(5);
  const int parents[] = {-1, 0, 1, 1, -1};
  for (int i = 0; i < 5; ++i) nodes[i].parent = parents[i];
  EXPECT_EQ(ExpansionOrder(nodes), (std::vector<int>{1, 0}));

  TableRegistry registry;
  EXPECT_EQ(ExpansionOrder(BuildCatalogue(registry)), (std::vector<int>{0, 4, 9, 3, 12}));
}

TEST(Catalogue, LooksUpEachStartupFolderOncePerUse) {
  TableRegistry registry;
  BuildCatalogue(registry);
  using Key = TableRegistry::Key;
  const Key allUsers{HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup"};
  const Key currentUser{HKEY_CURRENT_USER, kShellFolders, "Startup"};
  EXPECT_EQ(registry.reads, std::vector<Key>({allUsers, currentUser, allUsers, currentUser}));
}

TEST(Catalogue, UnreadableFoldersStayInTheListsAsEmptyTexts) {
  TableRegistry registry;
  registry.values[{HKEY_CURRENT_USER, kShellFolders, "Startup"}] = {"Startup", REG_SZ,
                                                                    std::string(255, 'x')};
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  ASSERT_EQ(nodes.size(), 20u);
  EXPECT_EQ(nodes[0].locations, std::vector<std::string>({"", ""}));
  EXPECT_EQ(nodes[1].locations, std::vector<std::string>({""}));
  EXPECT_EQ(nodes[2].locations, std::vector<std::string>({""}));
}

TEST(Catalogue, ReadsTheStartupFoldersOfThisSystem) {
  Win32Registry registry;
  const std::vector<CatalogueNode> nodes = BuildCatalogue(registry);
  ASSERT_EQ(nodes.size(), 20u);
  const std::string allUsers =
      ShellFolderLookup(registry, HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup");
  const std::string currentUser =
      ShellFolderLookup(registry, HKEY_CURRENT_USER, kShellFolders, "Startup");
  EXPECT_FALSE(allUsers.empty());
  EXPECT_FALSE(currentUser.empty());
  EXPECT_EQ(nodes[0].locations, std::vector<std::string>({allUsers, currentUser}));
}

// The lookup against the real registry, on a key of the test's own.
class ShellFolderLookupTest : public ::testing::Test {
 protected:
  static constexpr char kKey[] = "Software\\QuorvaneCatalogueTest";

  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key_), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  }
  void Set(const char* name, const std::string& text) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
  }
  std::string Lookup(const std::string& key, const std::string& value) {
    return ShellFolderLookup(registry_, HKEY_CURRENT_USER, key, value);
  }

  HKEY key_ = nullptr;
  Win32Registry registry_;
};

TEST_F(ShellFolderLookupTest, GivesTheTextOrEmpty) {
  Set("Startup", "C:\\Start Up");
  Set("Longest", std::string(254, 'a'));
  Set("TooLong", std::string(255, 'b'));
  Set("Empty", "");
  EXPECT_EQ(Lookup(kKey, "Startup"), "C:\\Start Up");
  EXPECT_EQ(Lookup(kKey, "Longest"), std::string(254, 'a'));
  EXPECT_EQ(Lookup(kKey, "TooLong"), "");
  EXPECT_EQ(Lookup(kKey, "Empty"), "");
  EXPECT_EQ(Lookup(kKey, "Missing"), "");
  EXPECT_EQ(Lookup(std::string(kKey) + "\\Missing", "Startup"), "");
}

TEST_F(ShellFolderLookupTest, DoesNotCheckTheValueType) {
  const char path[] = "C:\\Expand";
  ASSERT_EQ(RegSetValueExA(key_, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>(path),
                           sizeof(path)),
            ERROR_SUCCESS);
  EXPECT_EQ(Lookup(kKey, "Binary"), "C:\\Expand");
}

}  // namespace
