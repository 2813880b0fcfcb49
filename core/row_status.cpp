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

StatusFiller::StatusFiller(RowList& target, StatusTexts texts,
                           std::function<bool(const Row&)> missing,
                           std::function<std::string(const Row&)> offDate)
    : target_(target),
      texts_(std::move(texts)),
      missing_(std::move(missing)),
      offDate_(std::move(offDate)) {}

void StatusFiller::Append(const Row& row) {
  bool programMissing = false;
  if (!row.data.empty() && missing_) {
    const auto [known, added] = missingByCommand_.try_emplace(row.data, false);
    if (added) known->second = missing_(row);
    programMissing = known->second;
  }
  Row filled = row;
  filled.status =
      RowStatus(row, texts_, row.windowsOff && offDate_ ? offDate_(row) : "", programMissing);
  target_.Append(filled);
}
