#include "core/catalogue.h"

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
constexpr char kHkcuRun[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHkcuRunOnce[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
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
                   std::vector<std::string> locations) {
  if (kind == KindId::kRegistry) locations = TrimRegistryLocations(locations);
  return CatalogueNode{viewIndex, std::move(labelKey), parent, image, kind, std::move(locations)};
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
  nodes.push_back(Node(
      3, "_TreeRegistry", -1, 3, kReg,
      {kHklmRun, kHklmRunOnce, kHklmRunServices, kHklmRunServicesOnce, kHkcuRun, kHkcuRunOnce}));
  nodes.push_back(Node(4, "_AllUser", 3, 4, kReg,
                       {kHklmRun, kHklmRunOnce, kHklmRunServices, kHklmRunServicesOnce}));
  nodes.push_back(Node(5, "_Run", 4, 2, kReg, {kHklmRun}));
  nodes.push_back(Node(6, "_RunOnce", 4, 2, kReg, {kHklmRunOnce}));
  nodes.push_back(Node(7, "_RunService", 4, 2, kReg, {kHklmRunServices}));
  nodes.push_back(Node(8, "_RunServiceOnce", 4, 2, kReg, {kHklmRunServicesOnce}));
  nodes.push_back(Node(9, "_CurrentUser", 3, 5, kReg, {kHkcuRun, kHkcuRunOnce}));
  nodes.push_back(Node(10, "_Run", 9, 2, kReg, {kHkcuRun}));
  nodes.push_back(Node(11, "_RunOnce", 9, 2, kReg, {kHkcuRunOnce}));
  nodes.push_back(Node(12, "_Winini", -1, 6, kList, {kLoadValue, kRunValue}));
  nodes.push_back(Node(13, "_LoadSection", 12, 2, kList, {kLoadValue}));
  nodes.push_back(Node(14, "_RunSection", 12, 2, kList, {kRunValue}));
  nodes.push_back(Node(15, "_TreeUserInit", -1, 6, kList, {kUserinitValue}));
  return nodes;
}

std::vector<int> ExpansionOrder(const std::vector<CatalogueNode>& nodes) {
  std::vector<int> lastDescendant(nodes.size(), -1);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    for (int a = nodes[i].parent; a >= 0; a = nodes.at(a).parent) lastDescendant.at(a) = int(i);
  }
  std::vector<int> order;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    for (int a = nodes[i].parent; a >= 0; a = nodes.at(a).parent) {
      if (lastDescendant.at(a) == int(i)) order.push_back(a);
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
