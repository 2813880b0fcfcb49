// Wrappers over the platform classes and the store that fail (or crash) where a FaultPlan says.
// A failed call has no effect and reports failure the way the real class would.
#pragma once

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_links.h"
#include "store/disabled_store.h"
#include "store/xml_disabled_store.h"
#include "support/fault_plan.h"
#include "support/temp_folder.h"

class FaultyRegistry final : public Registry {
 public:
  FaultyRegistry(Registry& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::optional<std::vector<RegValue>> ListValues(HKEY root, const std::string& subkey,
                                                  REGSAM view = 0) override {
    if (plan_.ShouldFail("Registry::ListValues")) return std::nullopt;
    return real_.ListValues(root, subkey, view);
  }
  RegRead ReadValue(HKEY root, const std::string& subkey, const std::string& name,
                    REGSAM view = 0) override {
    if (plan_.ShouldFail("Registry::ReadValue")) return {RegReadStatus::kFailed, {}, Failure()};
    return real_.ReadValue(root, subkey, name, view);
  }
  Status WriteString(HKEY root, const std::string& subkey, const std::string& name,
                     const std::string& data, DWORD type, bool createKey,
                     REGSAM view = 0) override {
    if (plan_.ShouldFail("Registry::WriteString")) return Failure();
    return real_.WriteString(root, subkey, name, data, type, createKey, view);
  }
  Status WriteBinary(HKEY root, const std::string& subkey, const std::string& name,
                     const std::string& bytes, bool createKey) override {
    if (plan_.ShouldFail("Registry::WriteBinary")) return Failure();
    return real_.WriteBinary(root, subkey, name, bytes, createKey);
  }
  Status DeleteValue(HKEY root, const std::string& subkey, const std::string& name,
                     REGSAM view = 0) override {
    if (plan_.ShouldFail("Registry::DeleteValue")) return Failure();
    return real_.DeleteValue(root, subkey, name, view);
  }

 private:
  Status Failure() const { return Status(plan_.FailCode()); }
  Registry& real_;
  FaultPlan& plan_;
};

class FaultyFileSystem final : public FileSystem {
 public:
  FaultyFileSystem(FileSystem& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::optional<std::vector<DirEntry>> List(const std::string& folder) override {
    if (plan_.ShouldFail("FileSystem::List")) return std::nullopt;
    return real_.List(folder);
  }
  std::optional<std::vector<DirEntry>> ListMatching(const std::string& folder,
                                                    const std::string& pattern) override {
    if (plan_.ShouldFail("FileSystem::ListMatching")) return std::nullopt;
    return real_.ListMatching(folder, pattern);
  }
  // A query, not a step that changes anything: never failed.
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  Status DeleteFile(const std::string& path) override {
    if (plan_.ShouldFail("FileSystem::DeleteFile")) return Failure();
    return real_.DeleteFile(path);
  }
  Status MoveFile(const std::string& from, const std::string& to) override {
    if (plan_.ShouldFail("FileSystem::MoveFile")) return Failure();
    return real_.MoveFile(from, to);
  }
  Status ReplaceFile(const std::string& from, const std::string& to) override {
    if (plan_.ShouldFail("FileSystem::ReplaceFile")) return Failure();
    return real_.ReplaceFile(from, to);
  }
  Status CreateHiddenFolder(const std::string& path) override {
    if (plan_.ShouldFail("FileSystem::CreateHiddenFolder")) return Failure();
    return real_.CreateHiddenFolder(path);
  }
  Status RemoveEmptyFolder(const std::string& path) override {
    if (plan_.ShouldFail("FileSystem::RemoveEmptyFolder")) return Failure();
    return real_.RemoveEmptyFolder(path);
  }
  std::string ShortPath(const std::string& path) override {
    if (plan_.ShouldFail("FileSystem::ShortPath")) return {};
    return real_.ShortPath(path);
  }

 private:
  Status Failure() const { return Status(plan_.FailCode()); }
  FileSystem& real_;
  FaultPlan& plan_;
};

class FaultyShellLinks final : public ShellLinks {
 public:
  FaultyShellLinks(ShellLinks& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::optional<std::string> ReadTarget(const std::string& file) override {
    if (plan_.ShouldFail("ShellLinks::ReadTarget")) return std::nullopt;
    return real_.ReadTarget(file);
  }
  std::optional<LinkCommand> ReadCommand(const std::string& file) override {
    if (plan_.ShouldFail("ShellLinks::ReadCommand")) return std::nullopt;
    return real_.ReadCommand(file);
  }
  using ShellLinks::WriteLink;
  Status WriteLink(const std::string& file, const std::string& target,
                   const std::string& arguments) override {
    if (plan_.ShouldFail("ShellLinks::WriteLink")) return Failure();
    return real_.WriteLink(file, target, arguments);
  }
  Status WriteRetargeted(const std::string& source, const std::string& file,
                         const std::string& target, const std::string& arguments) override {
    if (plan_.ShouldFail("ShellLinks::WriteRetargeted")) return Failure();
    return real_.WriteRetargeted(source, file, target, arguments);
  }

 private:
  Status Failure() const { return Status(plan_.FailCode()); }
  ShellLinks& real_;
  FaultPlan& plan_;
};

class FaultyStore final : public DisabledStore {
 public:
  FaultyStore(DisabledStore& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::vector<StoredRecord> ListAll(KindId kind) override {
    if (plan_.ShouldFail("Store::ListAll")) return {};
    return real_.ListAll(kind);
  }
  Status RemoveMatching(KindId kind, const std::string& path, const std::string& name,
                        const std::string& data) override {
    if (plan_.ShouldFail("Store::RemoveMatching")) return Failure();
    return real_.RemoveMatching(kind, path, name, data);
  }
  Status UpdateMatching(KindId kind, const std::string& path, const std::string& oldName,
                        const std::string& oldData, const std::string& newName,
                        const std::string& newData, bool dataOnly) override {
    if (plan_.ShouldFail("Store::UpdateMatching")) return Failure();
    return real_.UpdateMatching(kind, path, oldName, oldData, newName, newData, dataOnly);
  }
  Status Append(KindId kind, const std::string& path, const std::string& name,
                const std::string& data, DWORD valueType = REG_SZ) override {
    if (plan_.ShouldFail("Store::Append")) return Failure();
    return real_.Append(kind, path, name, data, valueType);
  }
  std::optional<UnreadableStore> Unreadable() const override { return real_.Unreadable(); }

 private:
  Status Failure() const { return Status(plan_.FailCode()); }
  DisabledStore& real_;
  FaultPlan& plan_;
};

// Makes the read-back of every save of the real store a counted step. When it fails, the saved
// file is damaged before it is read back, as a disk that did not keep what was written; a crash
// there leaves the temporary file behind.
inline void CountReadBack(XmlDisabledStore& store, FaultPlan& plan) {
  store.SetAfterWriteHook([&plan](const std::string& temp) {
    if (plan.ShouldFail("Store::ReadBack")) WriteBytes(temp, "<config><toolquorvane>");
  });
}
