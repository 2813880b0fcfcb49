// The disabled-entry store over config.xml, read afresh into a DOM document by every operation.
// Saves are crash-safe: the document goes to a sibling temporary file, which is flushed and then
// renamed over the file in one step, so the file is always either the old or the new whole
// document. A file that exists but does not parse is never written.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/disabled_store.h"

class XmlDocument;
class XmlNode;

class XmlDisabledStore final : public DisabledStore {
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
                const std::string& data) override;

  const std::string& FilePath() const { return path_; }
  // The sibling the document is written to before it replaces the file.
  std::string TempPath() const { return path_ + ".tmp"; }

  // Test seam: runs after the temporary file is written and flushed, before it replaces the
  // file. Returning false abandons the save at that point, as a crash there would: the temporary
  // file stays, the file is untouched and the operation reports ERROR_REQUEST_ABORTED.
  void SetBeforeReplaceHook(std::function<bool()> hook) { beforeReplace_ = std::move(hook); }

 private:
  // The first record of the kind matching (path, name, data), or an empty node.
  XmlNode FindMatch(XmlDocument& doc, KindId kind, const std::string& path, const std::string& name,
                    const std::string& data) const;
  Status Save(XmlDocument& doc);

  std::string path_;
  std::function<bool()> beforeReplace_;
};
