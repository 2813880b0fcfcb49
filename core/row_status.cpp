#include "core/row_status.h"

#include <utility>

#include "store/language_table.h"
#include "store/safe_format.h"

StatusTexts StatusTexts::From(const LanguageTable& language) {
  return StatusTexts{language.T("_StatusKept"), language.T("_StatusWindowsOff"),
                     language.T("_StatusWindowsOffUndated"), language.T("_StatusFileMissing")};
}

std::string RowStatus(const Row& row, const StatusTexts& texts, const std::string& windowsOffDate,
                      bool programMissing) {
  std::string status;
  const auto add = [&status](const std::string& part) {
    if (!status.empty()) status += "; ";
    status += part;
  };
  if (row.windowsOff) {
    add(windowsOffDate.empty() ? texts.windowsOffUndated
                               : SafeFormat(texts.windowsOff, {windowsOffDate}));
  } else if (!row.enabled) {
    add(texts.kept);
  }
  if (programMissing) add(texts.fileMissing);
  return status;
}

bool MissingPrograms::Missing(const std::string& commandLine) {
  if (commandLine.empty()) return false;
  const auto [known, added] = known_.try_emplace(commandLine, false);
  if (added) known->second = lookUp_(commandLine);
  return known->second;
}

void StatusFiller::Append(const Row& row) {
  if (target_.ShowsStatusOnDemand()) {
    target_.Append(row);
    return;
  }
  Row filled = row;
  filled.status = status_(row);
  target_.Append(filled);
}
