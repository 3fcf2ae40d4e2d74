// Importing the logger's own log files.
#include "project/log_import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "base/date_time.h"
#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::TempDir;
using testing_support::WriteBytes;

double At(int y, int mo, int d, int h, int mi, int s, int ms) {
  DateTimeFields f;
  f.year = y, f.month = mo, f.day = d, f.hour = h, f.minute = mi, f.second = s, f.millisecond = ms;
  double t = 0;
  EXPECT_TRUE(TryEncodeDateTime(f, t));
  return t;
}

class LogImportTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.0};
  CaptureData data{clock};
  CaptureView view;
  CollectingLoadSinks sinks;
  TempDir dir;

  FileResult Load(const std::string& bytes) {
    WriteBytes(dir / "site.001", bytes);
    return LoadCaptureFile(dir / "site.001", data, view, sinks);
  }
};

TEST_F(LogImportTest, EventLineAfterDateAndHour) {
  ASSERT_TRUE(Load("D010125\r\nT09\r\nH0512345\r\n").ok);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].channel, 6);
  EXPECT_EQ(data.Store[0].state, 1);
  EXPECT_DOUBLE_EQ(data.Store[0].time, At(2025, 1, 1, 9, 12, 34, 500));
  EXPECT_EQ(data.CaptureStart.time, data.Store[0].time);
  EXPECT_EQ(data.CaptureEnd.time, data.Store[0].time);
  EXPECT_EQ(data.CaptureStart.states[5], 0);
  EXPECT_EQ(data.DataPresent, 1);
}

TEST_F(LogImportTest, EventsBeforeAnyDateFallOnDayZero) {
  ASSERT_TRUE(Load("L9500000\nR01\nL0000010\n").ok);
  ASSERT_EQ(data.Store.Count(), 2u);
  EXPECT_EQ(data.Store[0].channel, 96);
  EXPECT_EQ(data.Store[0].time, 0.0);
  EXPECT_DOUBLE_EQ(data.Store[1].time, At(1899, 12, 30, 1, 0, 1, 0));
  EXPECT_EQ(data.CaptureStart.states[95], 1);  // first went LOW
}

TEST_F(LogImportTest, DescriptionOnlyGivesNotesAndNoEvents) {
  ASSERT_TRUE(Load("CB1Tower A\r\nCI31\r\nCI50\r\nCI6x\r\nCX1y\r\nCNzFree text\r\nCI39\r\nCI5\r\n").ok);
  EXPECT_EQ(data.Store.Count(), 0u);
  EXPECT_EQ(data.DataPresent, 0);
  EXPECT_EQ(sinks.logImports, 1);
  EXPECT_EQ(sinks.notes,
            "Name\\t\\bTower A\\b\\n"
            "Calls Active\\t\\bHIGH\\b\\n"
            "OOS Active\\t\\bBoth LOW\\b\\n"
            "Note\\t\\bFree text\\b\\n"
            "Calls Active\\t\\b9\\b\\n"
            "OOS Active\\t\\b\\b\\n");
  EXPECT_EQ(view.Traces.Name(1), "Chan 1");
  EXPECT_EQ(view.Traces.Name(128), "Chan 128");
  EXPECT_EQ(view.Traces.Search(1), kSearchIgnore);
  EXPECT_EQ(sinks.dataLoaded, 1);
}

TEST(NotesEntries, EveryLabelAndTheValueLimit) {
  EXPECT_EQ(NotesEntry("CB2 10"), "Rise\\t\\b 10\\b");
  EXPECT_EQ(NotesEntry("CB6A,B"), "Lift Names\\t\\bA,B\\b");
  EXPECT_EQ(NotesEntry("CI7x"), "Secondary OOS\\t\\bx\\b");
  EXPECT_EQ(NotesEntry("CI53"), "OOS Active\\t\\bBoth HIGH\\b");
  EXPECT_EQ(NotesEntry("CI52"), "OOS Active\\t\\bSecondary HIGH\\b");
  EXPECT_EQ(NotesEntry("CB7x"), "");
  EXPECT_EQ(NotesEntry("C"), "");
  EXPECT_EQ(NotesEntry("CN"), "");
  EXPECT_EQ(NotesEntry("CNx"), "Note\\t\\b\\b");
  EXPECT_EQ(NotesEntry("CN1" + std::string(20000, 'v')).size(), std::string("Note\\t\\b\\b").size() + 9999);
}

TEST_F(LogImportTest, HighChannelsAreWarnedAndNotCounted) {
  // The channel digits are not checked: '@' counts 16 and '/' counts -1.
  ASSERT_TRUE(Load("H9900000\nH@000000\nH//00000\nHI500000\nH2700000\n").ok);
  ASSERT_EQ(data.Store.Count(), 2u);
  EXPECT_EQ(data.Store[0].channel, 100);
  EXPECT_EQ(data.Store[1].channel, 28);
  EXPECT_EQ(sinks.warnings, (std::vector<std::string>{"High Channel Number: 161", "High Channel Number: 246",
                                                     "Invalid Channel Number: 0"}));
}

TEST_F(LogImportTest, ShortLinesAreNeverReadPast) {
  ASSERT_TRUE(Load("D0101\nT\nR1\nH051234\nH\nL\nD\n").ok);
  EXPECT_EQ(data.Store.Count(), 0u);
  EXPECT_TRUE(sinks.errors.empty());
  EXPECT_EQ(data.DataPresent, 0);
}

TEST_F(LogImportTest, InvalidDateStopsTheLoad) {
  data.DataModified = 1;
  const FileResult r = Load("D010125\nH0000000\nD320125\nH0100000\n");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("site.001"), std::string::npos);
  EXPECT_NE(r.error.find("line 3"), std::string::npos);
  ASSERT_EQ(sinks.errors.size(), 1u);
  EXPECT_EQ(sinks.errors[0], "Invalid argument to date encode");
  EXPECT_EQ(data.DataPresent, 0);
  EXPECT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(view.Traces.Name(1), "Chan 1");
  EXPECT_EQ(data.DataModified, 1);
}

TEST_F(LogImportTest, InvalidTimeStopsTheLoad) {
  EXPECT_FALSE(Load("H0160000\n").ok);
  EXPECT_EQ(sinks.errors.back(), "Invalid argument to time encode");
  EXPECT_FALSE(Load("T24\nH0100000\n").ok);
  EXPECT_EQ(sinks.errors.back(), "Invalid argument to time encode");
  EXPECT_FALSE(Load("D290223\n").ok);  // 2023 is no leap year
  EXPECT_EQ(sinks.errors.back(), "Invalid argument to date encode");
  EXPECT_TRUE(Load("D290224\nT23\nH0159599\n").ok);
}

TEST_F(LogImportTest, AnHourOrDateGoingBackIsWarnedAboutWithItsLine) {
  // Times in ms from 31/12/26 00:00; the warning names its line and the step.
  constexpr int64_t kDay = 86400000, kH = 3600000;
  const struct {
    const char* log;
    std::vector<int64_t> times;
    const char* warning;  // empty: none
  } cases[] = {
      {"D311226\nT23\nH0159580\nT00\nH0100030\nL0100100\n", {23 * kH + 3598000, kDay + 3000, kDay + 10000},
       "line 4: the hour goes back from 23 to 00 with no date line: the events from there on are taken as the next day"},
      {"D311226\nT22\nH0130000\nT02\nH0100000\nT23\nH0200000\nT01\nH0300000\n",
       {22 * kH + 1800000, kDay + 2 * kH, kDay + 23 * kH, 2 * kDay + kH}, "line 4: the hour goes back from 22 to 02"},
      {"D311226\nT23\nH0159580\nD010127\nT00\nH0100030\n", {23 * kH + 3598000, kDay + 3000}, ""},
      {"D311226\nT09\nH0112000\nT08\nH0105000\nH0106000\n", {9 * kH + 720000},
       "line 4: the hour goes back from 09 to 08: the log is read up to that line"},
      {"D010127\nT10\nH0100000\nD311226\nT10\nH0100000\nCN1still read\n", {kDay + 10 * kH},
       "line 4: the date goes back: the log is read up to that line"},
      {"D311226\nT23\nH0100000\nD311226\nT00\nH0100000\n", {23 * kH}, "line 5: the hour goes back from 23 to 00 after a date"},
      // Within an hour, changes are kept as written.
      {"D311226\nT09\nH0100010\nL0100000\nH0200000\n", {9 * kH + 1000, 9 * kH, 9 * kH}, ""},
  };
  const double day0 = At(2026, 12, 31, 0, 0, 0, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    sinks.warnings.clear();
    ASSERT_TRUE(Load(c.log).ok);
    std::vector<int64_t> times;
    for (uint32_t i = 0; i < data.Store.Count(); ++i) times.push_back(std::llround((data.Store[i].time - day0) * kMsPerDay));
    EXPECT_EQ(times, c.times);
    EXPECT_EQ(sinks.warnings.empty() ? "" : sinks.warnings.front().substr(0, std::strlen(c.warning)), c.warning);
    // The description past the jump is still read.
    EXPECT_EQ(sinks.notes.find("still read") != std::string::npos, std::string(c.log).find("CN") != std::string::npos);
  }
}

}  // namespace
}  // namespace korvalog
