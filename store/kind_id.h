// The three kinds of autorun entry: registry run-key values, startup-folder files and items of
// list values. The store names its record elements after them; the catalogue gives each tree
// node one of them.
#pragma once

enum class KindId { kRegistry, kStartupFolder, kListValue };
