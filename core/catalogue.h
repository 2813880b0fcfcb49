// The fixed catalogue of the sixteen tree nodes: label, parent, image, view kind and the
// location list of each node's view, in view-index order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/entry_kind.h"
#include "core/startup_approved.h"

class Registry;

struct CatalogueNode {
  int viewIndex = 0;
  std::string labelKey;  // language key of the tree label
  int parent = -1;       // view index of the parent node, -1 for a top-level node
  int image = 0;         // index into the tree image list
  KindId kind = KindId::kRegistry;
  std::vector<std::string> locations;  // as handed to the view (registry lists already trimmed)
};

// Builds the sixteen nodes; the two startup folders are read from the Shell Folders keys.
std::vector<CatalogueNode> BuildCatalogue(Registry& registry);

// The parent nodes in the order the tree opens them: each one once its last descendant is
// inserted, inner parents before outer ones.
std::vector<int> ExpansionOrder(const std::vector<CatalogueNode>& nodes);

// A folder path from a Shell Folders key: the value's text, or "" when the key or value is
// missing or the text is longer than 254 characters.
std::string ShellFolderLookup(Registry& registry, HKEY root, const std::string& key,
                              const std::string& value);

// Windows' StartupApproved keys of the catalogue's locations: the Run keys and the two startup
// folders of nodes 1 (all users) and 2 (current user).
ApprovedPlaces CatalogueApprovedPlaces(const std::vector<CatalogueNode>& nodes);
