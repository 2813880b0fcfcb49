#include "console/console_prompter.h"

#include "store/language_table.h"
#include "store/safe_format.h"

std::optional<EntryInput> ConsolePrompter::Add(const std::string&, const std::string&) {
  return newEntry_;
}

void ConsolePrompter::NoSelection() {
  refusals_.push_back(language_.T("_CliNoMatch"));
}

bool ConsolePrompter::ConfirmReplace(const std::string&, const std::string& name) {
  if (!replace_) declined_.push_back(name);
  return replace_;
}

void ConsolePrompter::Refused(const std::string& key, const std::string& arg, Status reason) {
  refusals_.push_back(WithSystemReason(SafeFormat(language_.T(key), {arg}), reason));
}
