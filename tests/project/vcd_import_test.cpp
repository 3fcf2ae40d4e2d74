// Value change dumps written by other tools: channels, names, time scales,
// dates, and the files that cannot be taken, each with the line named.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/date_time.h"
#include "project/export_range.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "ui/common_helpers.h"

namespace korvalog {
namespace {

using testing_support::TempDir;
using testing_support::WriteBytes;

struct Result {
  bool ok = false;
  std::string error;
  std::string events;  // "us-from-start channel level" lines
  std::string names;   // names of channels 1..4, '|'-separated
  std::string start;   // the capture start, ISO
  uint32_t count = 0;
  std::vector<std::string> warnings;
};

Result Import(const std::string& text) {
  TempDir dir;
  WriteBytes(dir / "in.vcd", text);
  ManualClock clock;
  CaptureData data(clock);
  SetStartupDefaults(data);
  CollectingLoadSinks sinks;
  const FileResult r = LoadCaptureFile(dir / "in.vcd", data, sinks);
  Result out{r.ok, r.error, "", "", "", data.Store.Count(), sinks.warnings};
  for (uint32_t i = 0; i < data.Store.Count() && i < 100; ++i) {
    const EventRecord& e = data.Store[i];
    const long long us = std::llround((e.time - data.CaptureStart.time) * kSecondsPerDay * 1e6);
    out.events += std::to_string(us) + ' ' + std::to_string(e.channel) + ' ' + std::to_string(e.state) + '\n';
  }
  for (int ch = 1; ch <= 4; ++ch) out.names += ChannelName(data.Channels[ch - 1]) + (ch < 4 ? "|" : "");
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(data.CaptureStart.time));
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", f.year, f.month, f.day, f.hour, f.minute,
                f.second, f.millisecond);
  out.start = buf;
  return out;
}

const char kTwoWires[] =
    "$timescale 1 us $end\n$scope module logic $end\n"
    "$var wire 1 ! D0 $end\n$var wire 1 \" D1 $end\n$upscope $end\n$enddefinitions $end\n";

TEST(VcdImportTest, ReadsForeignDumps) {
  const struct {
    const char* what;
    std::string text;
    std::string events, names, start;
  } cases[] = {
      {"wires in declaration order, microseconds, no date", std::string(kTwoWires) +
           "#0\n$dumpvars\n1!\n0\"\n$end\n#1500 0! 1\"\n#2000\n0!\n1\"\n#2500\nx!\nz\"\n",
       "1500 1 0\n1500 2 1\n", "D0|D1|#3|#4", "2000-01-01 00:00:00.000"},
      {"date in the C library's form, timescale without a space, vectors",
       "$date\n\tMon Dec  7 10:00:05 2026\n$end\n$timescale 10ns $end\n"
       "$var reg 1 ab clk $end $var wire 1 # data [0] $end\n$enddefinitions $end\n"
       "#100 b1 ab\n#300\nb0 ab\n1#\n",
       "0 1 1\n2 1 0\n2 2 1\n", "clk|data[0]|#3|#4", "2026-12-07 10:00:05.000"},
      {"channel numbers kept from chNNN names, names from the wire without the comment",
       "$timescale 1 s $end\n$var wire 1 ! ch003_Door_open $end\n$var wire 1 \" ch001 $end\n"
       "$enddefinitions $end\n#5\n$dumpvars 0! 1\" $end\n#7 1!\n",
       "2000000 3 1\n", "|#2|Door_open|#4", "2000-01-01 00:00:05.000"},
      {"two wires named for one channel fall back to the declaration order",
       "$var wire 1 ! ch003_a $end\n$var wire 1 \" ch003_b $end\n$enddefinitions $end\n#0 1\"\n",
       "0 2 1\n", "ch003_a|ch003_b|#3|#4", "2000-01-01 00:00:00.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result r = Import(c.text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.events, c.events);
    EXPECT_EQ(r.names, c.names);
    EXPECT_EQ(r.start, c.start);
  }
}

TEST(VcdImportTest, RefusesWhatIsNotOneBitWiresNamingTheLine) {
  std::string many = "$timescale 1 ms $end\n";
  for (int i = 0; i < 129; ++i) many += "$var wire 1 w" + std::to_string(i) + " s" + std::to_string(i) + " $end\n";
  std::string longComment;
  for (int i = 0; i < 120; ++i) longComment += std::string(10000, 'y') + "\n";
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"$var wire 8 ! bus $end\n", "line 1: 'bus' is a wire of 8 bits: only 1-bit wires can be imported"},
      {"\n$var real 64 ! speed $end\n", "line 2: 'speed' is a real of 64 bits: only 1-bit wires can be imported"},
      {many, "line 130: more than 128 wires: only 128 channels can be imported"},
      {std::string(kTwoWires) + "#5\n1?\n", "line 8: unknown wire code '?'"},
      {std::string(kTwoWires) + "#5\n#4\n", "line 8: the time goes back to 4"},
      {std::string(kTwoWires) + "#5\nr1.5 !\n", "line 8: real value 'r1.5': only 1-bit wires can be imported"},
      {std::string(kTwoWires) + "#x\n", "line 7: '#x' is not a time"},
      {"$timescale 3 parsecs $end\n", "line 1: cannot read the timescale '3parsecs'"},
      {"hello\n", "line 1: unexpected 'hello' before $enddefinitions"},
      {"$var wire 1 ! a $end\n", "no $enddefinitions: not a value change dump"},
      {"$comment\n" + longComment, "line 107: a command without its $end"},
  };
  for (const auto& c : cases) {
    const Result r = Import(c.text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.substr(r.error.find(".vcd: ") + 6), c.error);
  }
}

TEST(VcdImportTest, ChangesBeyondTheStoreAreCountedInOneWarning) {
  std::string text = "$var wire 1 ! a $end $enddefinitions $end\n";
  text.reserve(kEventCapacity * 14);
  for (uint32_t i = 0; i < kEventCapacity + 2; ++i) text += '#' + std::to_string(i) + '\n' + (i % 2 ? "0!\n" : "1!\n");
  const Result r = Import(text);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.count, kEventCapacity);
  EXPECT_EQ(r.warnings, std::vector<std::string>{"2 events skipped: 2 beyond the store's 1048576 events"});
}

TEST(VcdImportTest, ChangesAllAtOneTimeKeepTheDumpedLevelsOfQuietWires) {
  TempDir dir;
  WriteBytes(dir / "in.vcd", std::string(kTwoWires) + "#0\n$dumpvars 1! 1\" $end\n0!\n");
  ManualClock clock;
  CaptureData data(clock);
  CollectingLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(dir / "in.vcd", data, sinks).ok);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.CaptureStart.states[0], 1);
  EXPECT_EQ(data.CaptureStart.states[1], 1);
  EXPECT_EQ(data.CaptureEnd.states[0], 0);
  EXPECT_EQ(data.CaptureEnd.states[1], 1);
}

TEST(VcdImportTest, OnlyNamesEndingInVcdAreDumps) {
  const struct {
    const char* name;
    bool dump;
  } cases[] = {{"in.vcd.txt", false}, {"run.kv.vcd", true}, {"RUN.Vcd", true}, {"vcd", false}};
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / c.name, "$var wire 1 ! a $end $enddefinitions $end #0 1!\n");
    ManualClock clock;
    CaptureData data(clock);
    CollectingLoadSinks sinks;
    EXPECT_TRUE(LoadCaptureFile(dir / c.name, data, sinks).ok) << c.name;
    EXPECT_EQ(ChannelName(data.Channels[0]) == "a", c.dump) << c.name;
    EXPECT_EQ(sinks.logImports, c.dump ? 0 : 1) << c.name;
  }
}

}  // namespace
}  // namespace korvalog
