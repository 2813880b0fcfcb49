#include "core/kind_factory.h"

#include "core/list_value_kind.h"
#include "core/registry_kind.h"
#include "core/startup_folder_kind.h"

std::vector<std::unique_ptr<EntryKind>> CreateEntryKinds(
    const std::vector<CatalogueNode>& catalogue, KindServices& services) {
  std::vector<std::unique_ptr<EntryKind>> views;
  views.reserve(catalogue.size());
  for (const CatalogueNode& node : catalogue) {
    switch (node.kind) {
      case KindId::kStartupFolder:
        views.push_back(std::make_unique<StartupFolderKind>(services, node.locations));
        break;
      case KindId::kRegistry:
        views.push_back(std::make_unique<RegistryKind>(services, node.locations));
        break;
      case KindId::kListValue:
        views.push_back(std::make_unique<ListValueKind>(services, node.locations));
        break;
    }
  }
  return views;
}
