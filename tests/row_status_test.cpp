// The Status column: which parts a row gets, and that program files are looked up once per
// command line during a Refresh.
#include "core/row_status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_rows.h"

namespace {

const StatusTexts kTexts{"kept", "off since %s", "off", "missing"};

TEST(RowStatus, SaysWhatTheCheckBoxDoesNot) {
  struct Case {
    const char* label;
    bool enabled;
    bool windowsOff;
    std::string date;
    bool missing;
    std::string status;
  };
  const std::vector<Case> cases = {
      {"live, found", true, false, "", false, ""},
      {"kept in the store", false, false, "", false, "kept"},
      {"live, program missing", true, false, "", true, "missing"},
      {"kept, program missing", false, false, "", true, "kept; missing"},
      {"switched off by Windows", false, true, "3/1/2026", false, "off since 3/1/2026"},
      {"switched off, no date", false, true, "", false, "off"},
      {"switched off, program missing", false, true, "3/1/2026", true,
       "off since 3/1/2026; missing"},
  };
  for (const Case& c : cases) {
    Row row{"n", "t", "C:\\a.exe", "L", c.enabled};
    row.windowsOff = c.windowsOff;
    EXPECT_EQ(RowStatus(row, kTexts, c.date, c.missing), c.status) << c.label;
  }
}

TEST(StatusFiller, LooksEachCommandUpOnceAndPassesRowsOn) {
  MemoryRows target;
  std::vector<std::string> lookedUp;
  StatusFiller rows(
      target, kTexts,
      [&lookedUp](const Row& row) {
        lookedUp.push_back(row.data);
        return row.data == "C:\\gone.exe";
      },
      [](const Row&) { return std::string("today"); });
  for (const char* data : {"C:\\gone.exe", "C:\\here.exe", "C:\\gone.exe", ""}) {
    rows.Append(Row{"n", "t", data, "L", true});
  }
  Row off{"n", "t", "C:\\here.exe", "L", false};
  off.windowsOff = true;
  rows.Append(off);
  EXPECT_EQ(lookedUp, (std::vector<std::string>{"C:\\gone.exe", "C:\\here.exe"}));
  ASSERT_EQ(target.Count(), 5);
  std::vector<std::string> statuses;
  for (int i = 0; i < target.Count(); ++i) statuses.push_back(target.Text(i, kColStatus));
  EXPECT_EQ(statuses, (std::vector<std::string>{"missing", "", "missing", "", "off since today"}));
}

}  // namespace
