// Makes the location views (one per node) from the catalogue, in view-index order.
#pragma once

#include <memory>
#include <vector>

#include "core/catalogue.h"
#include "core/entry_kind.h"

std::vector<std::unique_ptr<EntryKind>> CreateEntryKinds(
    const std::vector<CatalogueNode>& catalogue, KindServices& services);
