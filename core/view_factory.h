// Makes the sixteen location views from the catalogue, in view-index order.
#pragma once

#include <memory>
#include <vector>

#include "core/catalogue.h"
#include "core/location_view.h"

std::vector<std::unique_ptr<LocationView>> CreateLocationViews(
    const std::vector<CatalogueNode>& catalogue, ViewServices& services);
