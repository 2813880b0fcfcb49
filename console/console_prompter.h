// The entry kinds' questions answered from the command line, never by asking: Add takes the
// given name and command, Remove is confirmed, Replace only with --replace. Why an operation was
// stopped is kept as message text for standard error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/prompter.h"

class LanguageTable;

class ConsolePrompter final : public Prompter {
 public:
  ConsolePrompter(const LanguageTable& language, std::optional<EntryInput> newEntry, bool replace)
      : language_(language), newEntry_(std::move(newEntry)), replace_(replace) {}

  // The messages of refused operations, each with the system's reason.
  const std::vector<std::string>& Refusals() const { return refusals_; }
  // The names a replacement was asked about and refused (no --replace).
  const std::vector<std::string>& DeclinedReplacements() const { return declined_; }

  std::optional<EntryInput> Add(const std::string& type, const std::string& location) override;
  std::optional<EntryInput> Modify(const EntryFields&) override { return std::nullopt; }
  void Property(const EntryFields&) override {}
  bool ConfirmRemove(const std::string&, const std::string&) override { return true; }
  void NoSelection() override;
  bool ConfirmReplace(const std::string& key, const std::string& name) override;
  void Refused(const std::string& key, const std::string& arg, Status reason) override;

 private:
  const LanguageTable& language_;
  std::optional<EntryInput> newEntry_;
  bool replace_;
  std::vector<std::string> refusals_;
  std::vector<std::string> declined_;
};
