#include "core/catalogue.h"

#include <algorithm>

#include "core/location_split.h"
#include "platform/registry.h"

namespace {

constexpr char kHklmRun[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHklmRunOnce[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kHklmRunServices[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kHklmRunServicesOnce[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
constexpr char kHklmRun32[] =
    "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHklmRunOnce32[] =
    "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kHklmPolicyRun[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
constexpr char kHkcuRun[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHkcuRunOnce[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kHkcuPolicyRun[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
constexpr char kLoadValue[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Load";
constexpr char kRunValue[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Run";
constexpr char kUserinitValue[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit";

constexpr char kShellFoldersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The lookup reads into a 256-byte buffer of which 255 bytes may be filled, the terminating
// zero included; a longer value does not fit and counts as unreadable.
constexpr std::size_t kShellFolderBytes = 255;

std::string AllUsersStartup(Registry& registry) {
  return ShellFolderLookup(registry, HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common Startup");
}

std::string CurrentUserStartup(Registry& registry) {
  return ShellFolderLookup(registry, HKEY_CURRENT_USER, kShellFoldersKey, "Startup");
}

CatalogueNode Node(int viewIndex, std::string labelKey, int parent, int image, KindId kind,
                   std::vector<std::string> locations, int follows = -1) {
  if (kind == KindId::kRegistry) locations = TrimRegistryLocations(locations);
  return CatalogueNode{viewIndex, std::move(labelKey),  parent, image,
                       kind,      std::move(locations), follows};
}

}  // namespace

std::string ShellFolderLookup(Registry& registry, HKEY root, const std::string& key,
                              const std::string& value) {
  const RegRead read = registry.ReadValue(root, key, value);
  if (read.status != RegReadStatus::kOk) return std::string();
  const RegValue& found = read.value;
  // Texts are kept without their terminating zero, which also needs a byte of the buffer.
  const bool text = found.type == REG_SZ || found.type == REG_EXPAND_SZ;
  const std::size_t bytes = found.data.size() + (text ? 1 : 0);
  if (bytes > kShellFolderBytes) return std::string();
  return found.data.substr(0, found.data.find('\0'));
}

std::vector<CatalogueNode> BuildCatalogue(Registry& registry) {
  constexpr KindId kFolder = KindId::kStartupFolder;
  constexpr KindId kReg = KindId::kRegistry;
  constexpr KindId kList = KindId::kListValue;

  // The folders are looked up once per use, in view order.
  std::string allUsersFirst = AllUsersStartup(registry);
  std::string currentUserFirst = CurrentUserStartup(registry);
  std::string allUsers = AllUsersStartup(registry);
  std::string currentUser = CurrentUserStartup(registry);

  std::vector<CatalogueNode> nodes;
  nodes.push_back(Node(0, "_TreeStartupFolder", -1, 1, kFolder,
                       {std::move(allUsersFirst), std::move(currentUserFirst)}));
  nodes.push_back(Node(1, "_AllUser", 0, 4, kFolder, {std::move(allUsers)}));
  nodes.push_back(Node(2, "_CurrentUser", 0, 5, kFolder, {std::move(currentUser)}));
  // A parent covers its children's keys in their tree order.
  const std::vector<std::string> allUsersKeys = {
      kHklmRun,         kHklmRun32,           kHklmRunOnce,  kHklmRunOnce32,
      kHklmRunServices, kHklmRunServicesOnce, kHklmPolicyRun};
  const std::vector<std::string> currentUserKeys = {kHkcuRun, kHkcuRunOnce, kHkcuPolicyRun};
  std::vector<std::string> registryKeys = allUsersKeys;
  registryKeys.insert(registryKeys.end(), currentUserKeys.begin(), currentUserKeys.end());
  nodes.push_back(Node(3, "_TreeRegistry", -1, 3, kReg, registryKeys));
  nodes.push_back(Node(4, "_AllUser", 3, 4, kReg, allUsersKeys));
  nodes.push_back(Node(5, "_Run", 4, 2, kReg, {kHklmRun}));
  nodes.push_back(Node(6, "_RunOnce", 4, 2, kReg, {kHklmRunOnce}));
  nodes.push_back(Node(7, "_RunService", 4, 2, kReg, {kHklmRunServices}));
  nodes.push_back(Node(8, "_RunServiceOnce", 4, 2, kReg, {kHklmRunServicesOnce}));
  nodes.push_back(Node(9, "_CurrentUser", 3, 5, kReg, currentUserKeys));
  nodes.push_back(Node(10, "_Run", 9, 2, kReg, {kHkcuRun}));
  nodes.push_back(Node(11, "_RunOnce", 9, 2, kReg, {kHkcuRunOnce}));
  nodes.push_back(Node(12, "_Winini", -1, 6, kList, {kLoadValue, kRunValue}));
  nodes.push_back(Node(13, "_LoadSection", 12, 2, kList, {kLoadValue}));
  nodes.push_back(Node(14, "_RunSection", 12, 2, kList, {kRunValue}));
  nodes.push_back(Node(15, "_TreeUserInit", -1, 6, kList, {kUserinitValue}));
  // What 32-bit programs start (their keys in the 32-bit view) and what policy starts.
  nodes.push_back(Node(16, "_Run32", 4, 2, kReg, {kHklmRun32}, 5));
  nodes.push_back(Node(17, "_RunOnce32", 4, 2, kReg, {kHklmRunOnce32}, 6));
  nodes.push_back(Node(18, "_PolicyRun", 4, 2, kReg, {kHklmPolicyRun}));
  nodes.push_back(Node(19, "_PolicyRun", 9, 2, kReg, {kHkcuPolicyRun}));
  return nodes;
}

std::vector<int> TreeOrder(const std::vector<CatalogueNode>& nodes) {
  // Children of each node (index nodes.size() stands for the top level), in tree order.
  std::vector<std::vector<int>> children(nodes.size() + 1);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const int parent = nodes[i].parent;
    std::vector<int>& siblings = children.at(parent < 0 ? nodes.size() : std::size_t(parent));
    const auto after = std::find(siblings.begin(), siblings.end(), nodes[i].follows);
    siblings.insert(after == siblings.end() ? after : after + 1, int(i));
  }
  std::vector<int> order;
  order.reserve(nodes.size());
  const auto visit = [&children, &order](const auto& self, std::size_t node) -> void {
    for (const int child : children[node]) {
      order.push_back(child);
      self(self, std::size_t(child));
    }
  };
  visit(visit, nodes.size());
  return order;
}

std::vector<int> ExpansionOrder(const std::vector<CatalogueNode>& nodes) {
  const std::vector<int> inserted = TreeOrder(nodes);
  std::vector<int> lastDescendant(nodes.size(), -1);
  for (const int i : inserted) {
    for (int a = nodes[i].parent; a >= 0; a = nodes.at(a).parent) lastDescendant.at(a) = i;
  }
  std::vector<int> order;
  for (const int i : inserted) {
    for (int a = nodes[i].parent; a >= 0; a = nodes.at(a).parent) {
      if (lastDescendant.at(a) == i) order.push_back(a);
    }
  }
  return order;
}

ApprovedPlaces CatalogueApprovedPlaces(const std::vector<CatalogueNode>& nodes) {
  auto folderOf = [&nodes](std::size_t view) {
    return view < nodes.size() && !nodes[view].locations.empty() ? nodes[view].locations.front()
                                                                 : std::string();
  };
  return WindowsApprovedPlaces(folderOf(1), folderOf(2));
}
