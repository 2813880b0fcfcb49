// The disabled-entry store over config.xml, read afresh into a DOM document by every operation.
// Saves are crash-safe: the document goes to a sibling temporary file in UTF-8, which is
// flushed, parsed back and compared with what was meant, and only then renamed over the file in
// one step, so the file is always either the old or the new whole document. A record's value
// type is its valuetype attribute, written after valuename (and before the escaped mark) only
// for REG_EXPAND_SZ; a record without it is REG_SZ. A file that exists
// but does not parse is never written. Texts XML cannot carry are stored in an escaped form
// (record_text.h). Each change holds the file's cross-process lock (store_lock.h) from its
// load to its save; a change that cannot get it in time fails with ERROR_TIMEOUT and changes
// nothing. Reads take no lock: the file is only ever replaced whole.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/disabled_store.h"
#include "store/store_lock.h"
#include "store/window_settings.h"

class XmlDocument;
class XmlNode;

class XmlDisabledStore final : public DisabledStore, public SettingsStore {
 public:
  // path: the store file (the program passes exe directory + "\config.xml").
  explicit XmlDisabledStore(std::string path);

  std::vector<StoredRecord> ListAll(KindId kind) override;
  Status RemoveMatching(KindId kind, const std::string& path, const std::string& name,
                        const std::string& data) override;
  Status UpdateMatching(KindId kind, const std::string& path, const std::string& oldName,
                        const std::string& oldData, const std::string& newName,
                        const std::string& newData, bool dataOnly) override;
  Status Append(KindId kind, const std::string& path, const std::string& name,
                const std::string& data, DWORD valueType = REG_SZ) override;

  std::optional<UnreadableStore> Unreadable() const override { return unreadable_; }

  // The settings element beside the records. A missing file is not created for them and an
  // unreadable one is never written; the save is the records' own proven save.
  std::optional<WindowSettings> ReadSettings() override;
  Status WriteSettings(const WindowSettings& settings) override;

  const std::string& FilePath() const { return path_; }
  // The sibling the document is written to before it replaces the file.
  std::string TempPath() const { return path_ + ".tmp"; }

  // How long a change waits for the lock (StoreLock::kDefaultTimeoutMs unless set).
  void SetLockTimeout(DWORD milliseconds) { lockTimeoutMs_ = milliseconds; }

  // Test seam: runs after the temporary file is written and flushed, before it replaces the
  // file. Returning false abandons the save at that point, as a crash there would: the temporary
  // file stays, the file is untouched and the operation reports ERROR_REQUEST_ABORTED.
  void SetBeforeReplaceHook(std::function<bool()> hook) { beforeReplace_ = std::move(hook); }
  // Test seam: runs on the written and flushed temporary file (its path given) before it is
  // parsed back, so a test can damage what the save wrote.
  void SetAfterWriteHook(std::function<void(const std::string&)> hook) {
    afterWrite_ = std::move(hook);
  }

 private:
  // The first record of the kind matching (path, name, data), or an empty node.
  XmlNode FindMatch(XmlDocument& doc, KindId kind, const std::string& path, const std::string& name,
                    const std::string& data) const;
  // Loads the file, noting whether it could be read; true when it loaded.
  bool Load(XmlDocument& doc, bool* missing = nullptr);
  // Loads the store for a change of one of its records: nullopt when it loaded, else what the
  // change reports (no record in a missing file; an unreadable file is never written).
  std::optional<Status> LoadForChange(XmlDocument& doc);
  // The file's lock for one change, waited for up to the timeout.
  StoreLock LockForChange() const { return StoreLock::Acquire(lockName_, lockTimeoutMs_); }
  Status Save(XmlDocument& doc);
  // Success when the temporary file parses and holds exactly the document's records and
  // settings.
  Status ProveSaved(XmlDocument& doc, const std::string& temp);

  std::string path_;
  std::wstring lockName_;
  DWORD lockTimeoutMs_ = StoreLock::kDefaultTimeoutMs;
  std::optional<UnreadableStore> unreadable_;
  std::function<bool()> beforeReplace_;
  std::function<void(const std::string&)> afterWrite_;
};
