// Guards for changing a registry value the kinds own: only a text value of the type the kind
// wrote is ever deleted, and a value counts as gone only when a read of that very name says so.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry.h"
#include "platform/status.h"

// Deletes value `name` under root\subkey (in registry view `view`) when it is a text of `type`;
// a value (or key) that a read shows missing counts as deleted. A value of another type is left
// alone (ERROR_DATATYPE_MISMATCH); a failed read or delete is a failure.
Status DeleteStringValue(Registry& registry, HKEY root, const std::string& subkey,
                         const std::string& name, DWORD type = REG_SZ, REGSAM view = 0);
