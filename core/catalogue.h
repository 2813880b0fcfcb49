// The fixed catalogue of the tree nodes: label, parent, image, view kind and the location list
// of each node's view, in view-index order. Nodes added later get the next view indexes, so the
// older ones keep theirs; `follows` places such a node among its siblings in the tree.
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
  // The view index of the sibling this node is shown right after; -1: after the siblings of
  // lower view index.
  int follows = -1;
};

// Builds the nodes; the two startup folders are read from the Shell Folders keys.
std::vector<CatalogueNode> BuildCatalogue(Registry& registry);

// The view indexes in the order the tree shows them (each node before its children, siblings
// in their tree order); the tree is built in this order.
std::vector<int> TreeOrder(const std::vector<CatalogueNode>& nodes);

// The parent nodes in the order the tree opens them: each one once its last descendant is
// inserted (in tree order), inner parents before outer ones.
std::vector<int> ExpansionOrder(const std::vector<CatalogueNode>& nodes);

// A folder path from a Shell Folders key: the value's text, or "" when the key or value is
// missing or the text is longer than 254 characters.
std::string ShellFolderLookup(Registry& registry, HKEY root, const std::string& key,
                              const std::string& value);

// Windows' StartupApproved keys of the catalogue's locations: the Run keys and the two startup
// folders of nodes 1 (all users) and 2 (current user).
ApprovedPlaces CatalogueApprovedPlaces(const std::vector<CatalogueNode>& nodes);
