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

TEST(MissingPrograms, LooksEachCommandLineUpOnceUntilCleared) {
  std::vector<std::string> lookedUp;
  MissingPrograms missing([&lookedUp](const std::string& commandLine) {
    lookedUp.push_back(commandLine);
    return commandLine == "C:\\gone.exe";
  });
  std::vector<bool> answers;
  for (const char* data : {"C:\\gone.exe", "C:\\here.exe", "C:\\gone.exe", ""}) {
    answers.push_back(missing.Missing(data));
  }
  EXPECT_EQ(answers, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(lookedUp, (std::vector<std::string>{"C:\\gone.exe", "C:\\here.exe"}));
  missing.Clear();
  EXPECT_TRUE(missing.Missing("C:\\gone.exe"));
  EXPECT_EQ(lookedUp.size(), 3u);
}

TEST(StatusFiller, FillsTheStatusUnlessTheListAsksForItWhenShown) {
  const auto status = [](const Row& row) { return "status of " + row.data; };
  for (const bool onDemand : {false, true}) {
    MemoryRows rows;
    rows.statusOnDemand = onDemand;
    StatusFiller(rows, status).Append(Row{"n", "t", "d", "L", true});
    ASSERT_EQ(rows.Count(), 1);
    EXPECT_EQ(rows.Text(0, kColStatus), onDemand ? "" : "status of d");
  }
}

}  // namespace
