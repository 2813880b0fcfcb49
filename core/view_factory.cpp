#include "core/view_factory.h"

#include "core/list_value_view.h"
#include "core/registry_view.h"
#include "core/startup_folder_view.h"

std::vector<std::unique_ptr<LocationView>> CreateLocationViews(
    const std::vector<CatalogueNode>& catalogue, ViewServices& services) {
  std::vector<std::unique_ptr<LocationView>> views;
  views.reserve(catalogue.size());
  for (const CatalogueNode& node : catalogue) {
    switch (node.kind) {
      case ViewKind::kStartupFolder:
        views.push_back(std::make_unique<StartupFolderView>(services, node.locations));
        break;
      case ViewKind::kRegistry:
        views.push_back(std::make_unique<RegistryView>(services, node.locations));
        break;
      case ViewKind::kListValue:
        views.push_back(std::make_unique<ListValueView>(services, node.locations));
        break;
    }
  }
  return views;
}
