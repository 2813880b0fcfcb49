#include "core/live_string_value.h"

Status DeleteStringValue(Registry& registry, HKEY root, const std::string& subkey,
                         const std::string& name, DWORD type, REGSAM view) {
  const RegRead before = registry.ReadValue(root, subkey, name, view);
  if (IsAbsent(before)) return Status();
  if (before.status != RegReadStatus::kOk) return Status::Failed(before.reason.Code());
  if (before.value.type != type) return Status(ERROR_DATATYPE_MISMATCH);
  const Status deleted = registry.DeleteValue(root, subkey, name, view);
  if (deleted) return deleted;
  // Deleted meanwhile by someone else: gone as asked.
  return IsAbsent(registry.ReadValue(root, subkey, name, view)) ? Status() : deleted;
}
