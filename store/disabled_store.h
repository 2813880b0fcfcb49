// The disabled-entry store: config.xml beside the exe, opened afresh for every operation.
// Records are `disabledregistryitem`, `disabledstartupfolderitem` or `disabledwininiitem`
// elements under /config/toolquorvane with the attributes path, valuedata, valuename, and for a
// registry value that is no REG_SZ, valuetype.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "store/kind_id.h"

// The element name of a kind ("disabledregistryitem", ...).
const char* RecordElementName(KindId kind);

struct StoredRecord {
  std::string location;  // the path attribute
  std::string valueName;
  std::string valueData;
  // The type the value is put back as: REG_SZ (a record without valuetype) or REG_EXPAND_SZ;
  // REG_NONE for a valuetype this program does not know, which it never writes.
  DWORD valueType = REG_SZ;
};

// What RemoveMatching and UpdateMatching report when no record matches: nothing was there to
// change, which is not a failure to save.
inline Status NoRecord() {
  return Status(ERROR_NOT_FOUND);
}
inline bool IsNoRecord(Status status) {
  return status.Code() == ERROR_NOT_FOUND;
}

// Location strings, value names and record attributes compare ignoring case (lstrcmpiA).
bool SameText(const std::string& a, const std::string& b);
// The record match: the record's path, valuename and valuedata equal location, name and data.
bool RecordMatches(const StoredRecord& record, const std::string& location, const std::string& name,
                   const std::string& data);

// A store file that is there but cannot be read: its records are not listed and it is never
// written. The reason, line and column are the parser's (empty and 0 when it gives none).
struct UnreadableStore {
  std::string file;
  std::string reason;
  long line = 0;
  long column = 0;
};

class DisabledStore {
 public:
  virtual ~DisabledStore() = default;

  // Set when the last read found the file there but unreadable; nullopt once it was read (or
  // found absent).
  virtual std::optional<UnreadableStore> Unreadable() const { return std::nullopt; }

  // Every record of the kind in document order (all locations). Nothing is saved. An absent
  // or unreadable file gives no records.
  virtual std::vector<StoredRecord> ListAll(KindId kind) = 0;

  // The records of the kind whose path equals location ignoring case, in document order.
  std::vector<StoredRecord> List(KindId kind, const std::string& location);

  // The first record of the kind matching (path, name, data): the one RemoveMatching acts on.
  std::optional<StoredRecord> FirstMatching(KindId kind, const std::string& path,
                                            const std::string& name, const std::string& data);

  // Removes the first record matching (path, name, data) and saves. Success only when a record
  // matched and the file was saved; NoRecord() when none matched (nothing is saved).
  virtual Status RemoveMatching(KindId kind, const std::string& path, const std::string& name,
                                const std::string& data) = 0;

  // On the first record matching (path, oldName, oldData): sets valuename to newName (unless
  // dataOnly) and valuedata to newData, and saves. Success only when one matched and was saved;
  // NoRecord() when none matched.
  virtual Status UpdateMatching(KindId kind, const std::string& path, const std::string& oldName,
                                const std::string& oldData, const std::string& newName,
                                const std::string& newData, bool dataOnly) = 0;

  // Appends a record as the container's last child and saves. Success only when the record is
  // in the saved file. valueType is REG_SZ or REG_EXPAND_SZ (every implementation gives it the
  // same default, REG_SZ); any other is refused.
  virtual Status Append(KindId kind, const std::string& path, const std::string& name,
                        const std::string& data, DWORD valueType = REG_SZ) = 0;
};
