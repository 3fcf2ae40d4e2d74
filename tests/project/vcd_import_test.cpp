// Value change dumps written by other tools: channels, names, time scales,
// dates, and the files that cannot be taken, each with the line named.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "base/date_time.h"
#include "core/capture_data.h"
#include "project/export_range.h"
#include "project/line_reader.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

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
  CaptureView view;
  SetStartupDefaults(data, view);
  CollectingLoadSinks sinks;
  const FileResult r = LoadCaptureFile(dir / "in.vcd", data, view, sinks);
  Result out{r.ok, r.error, "", "", "", data.Store.Count(), sinks.warnings};
  for (uint32_t i = 0; i < data.Store.Count() && i < 100; ++i) {
    const EventRecord& e = data.Store[i];
    const long long us = std::llround((e.time - data.CaptureStart.time) * kSecondsPerDay * 1e6);
    out.events += std::to_string(us) + ' ' + std::to_string(e.channel) + ' ' + std::to_string(e.state) + '\n';
  }
  for (int ch = 1; ch <= 4; ++ch) out.names += view.Traces.Name(ch) + (ch < 4 ? "|" : "");
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
      {"levels before the first time hold from $date on",
       "$date Mon Dec  7 10:00:05 2026 $end $timescale 1 ms $end $var wire 1 ! a $end $enddefinitions $end\n"
       "$dumpvars 0! $end\n#10 1!\n",
       "10000 1 1\n", "a|#2|#3|#4", "2026-12-07 10:00:05.000"},
      {"values before the first time without $dumpvars",
       "$timescale 1 ms $end $var wire 1 ! a $end $enddefinitions $end\n1!\n#250\n0!\n",
       "250000 1 0\n", "a|#2|#3|#4", "2000-01-01 00:00:00.000"},
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

TEST(VcdImportTest, RefusesWhatCannotBeReadNamingTheLine) {
  std::string unended;
  for (int i = 0; i < 120; ++i) unended += std::string(10000, 'y') + "\n";
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {std::string(kTwoWires) + "#5\n1?\n", "line 8: unknown wire code '?'"},
      {std::string(kTwoWires) + "#5\n#4\n", "line 8: the time goes back to 4"},
      {std::string(kTwoWires) + "#5\nr1.5 ?\n", "line 8: unknown wire code '?'"},
      {std::string(kTwoWires) + "#x\n", "line 7: '#x' is not a time"},
      {"$timescale 3 parsecs $end\n", "line 1: cannot read the timescale '3parsecs'"},
      {"hello\n", "line 1: unexpected 'hello' before $enddefinitions"},
      {"$var wire 1 ! a $end\n", "no $enddefinitions: not a value change dump"},
      {"$var wire x ! a $end\n", "line 1: 'a' has no width"},
      // A comment may be of any size, but it must end.
      {"$comment\n" + unended, "$comment without its $end"},
      // Bytes that would garble a terminal are shown escaped.
      {std::string("he\x01l\x1b[2Jlo\n", 12) + "", "line 1: unexpected 'he\\x01l\\x1B[2Jlo' before $enddefinitions"},
      {std::string("x\0y\n", 4), "line 1: unexpected 'x\\x00y' before $enddefinitions"},
      // Times that would put events beyond any date the program keeps.
      {"$timescale 1 s $end\n$var wire 1 ! a $end\n$enddefinitions $end\n#9999999999999999999\n1!\n",
       "line 4: the time 9999999999999999999 lies beyond the year 9999"},
      {"$timescale 100 s $end\n$var wire 1 ! a $end\n$enddefinitions $end\n#0 1!\n#3000000000 0!\n",
       "line 5: the time 3000000000 lies beyond the year 9999"},
      {"$timescale 1 s $end\n$var wire 1 ! a $end\n$enddefinitions $end\n#18446744073709551616\n",
       "line 4: '#18446744073709551616' is not a time"},
      // A missing $end is told for what it is.
      {"$var wire 1 ! a $end\n$enddefinitions\n#0\n1!\n", "line 3: $enddefinitions without its $end"},
      {"$var wire 1 ! a $end\n$enddefinitions\n", "$enddefinitions without its $end"},
      {"$var wire 1 ! a\n$var wire 1 \" b $end\n", "line 2: $var without its $end"},
  };
  for (const auto& c : cases) {
    const Result r = Import(c.text);
    EXPECT_FALSE(r.ok) << c.error;
    EXPECT_EQ(r.error.substr(r.error.find(".vcd: ") + 6), c.error);
  }
}

TEST(VcdImportTest, WiderWiresGiveAChannelPerBitAndOtherVariablesAreLeftOut) {
  const struct {
    const char* what;
    std::string text;
    std::string events, names;
    std::vector<std::string> warnings;
  } cases[] = {
      {"a 4-bit bus, bit 0 first, x read as 0, a short value widened with 0s",
       "$timescale 1 us $end\n$var reg 4 \" count [3:0] $end\n$enddefinitions $end\n"
       "#0\n$dumpvars\nbx \"\n$end\n#1\nb1 \"\n#2\nb10 \"\n#3\nb1x0z \"\n",
       "1 1 1\n2 1 0\n2 2 1\n3 2 0\n3 4 1\n", "count[0]|count[1]|count[2]|count[3]",
       {"6 x or z bits of wider wires read as 0"}},
      {"a bus beside 1-bit wires, a range counting up, a real and an event left out",
       "$timescale 1 us $end\n$var wire 1 ! clk $end\n$var wire 2 # d [0:1] $end\n$var real 64 $ speed $end\n"
       "$var event 1 % go $end\n$enddefinitions $end\n#0 0! b00 # r0 $\n#1 1! b01 # r1.5 $ 1%\n",
       "1 1 1\n1 2 1\n", "clk|d[1]|d[0]|#4",
       {"2 variables ('speed'...) left out: only wires of levels can be imported"}},
      {"a 1-bit wire written as a vector keeps its last bit",
       "$timescale 1 us $end\n$var wire 1 ! a $end\n$enddefinitions $end\n#0 b0 !\n#1 b1 !\n#2 bx !\n",
       "1 1 1\n", "a|#2|#3|#4", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result r = Import(c.text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.events, c.events);
    EXPECT_EQ(r.names, c.names);
    EXPECT_EQ(r.warnings, c.warnings);
  }
}

TEST(VcdImportTest, MoreThan128SignalsImportTheFirst128) {
  std::string many = "$timescale 1 ms $end\n";
  for (int i = 0; i < 126; ++i) many += "$var wire 1 w" + std::to_string(i) + " s" + std::to_string(i) + " $end\n";
  many += "$var wire 8 bus data [7:0] $end\n$var wire 1 last t $end\n$enddefinitions $end\n";
  many += "#0\n$dumpvars\n1w0\nb0 bus\n0last\n$end\n#1\n0w0\nb11111111 bus\n1last\n";
  const Result r = Import(many);
  ASSERT_TRUE(r.ok) << r.error;
  // s0 falls; of the bus only bits 0 and 1 found a channel (127, 128).
  EXPECT_EQ(r.events, "1000 1 0\n1000 127 1\n1000 128 1\n");
  EXPECT_EQ(r.warnings, std::vector<std::string>{"7 signals left out: only 128 channels can be imported"});
}

TEST(VcdImportTest, CommentsOfAnySizeAndLongLinesAnywhereAreRead) {
  // A header comment of several megabytes, one of them in a single line.
  std::string comment = "$comment\n";
  for (int i = 0; i < 300; ++i) comment += std::string(10000, 'c') + "\n";
  comment += std::string(3000000, 'd') + " $end\n";
  const Result big = Import(comment + kTwoWires + "#0 1!\n#5 0!\n");
  ASSERT_TRUE(big.ok) << big.error;
  EXPECT_EQ(big.events, "0 1 1\n5 1 0\n");

  // A long line of changes reads the same at the start of the file and
  // after a quarter of a megabyte.
  std::string changes = "#1";
  for (int i = 0; i < 8000; ++i) changes += i % 2 ? " 0!" : " 1!";
  changes += " 1\"\n#2 0\"\n";
  const Result early = Import(std::string(kTwoWires) + "#0\n" + changes);
  // Where the reader's first block ends.
  std::string padding;
  while (padding.size() < LineReader::kBufferSize - 5000) padding += "#0\n";
  const Result late = Import(std::string(kTwoWires) + padding + changes);
  ASSERT_TRUE(early.ok) << early.error;
  ASSERT_TRUE(late.ok) << late.error;
  EXPECT_EQ(early.events, late.events);
  EXPECT_EQ(early.count, 8002u);

  // A word longer than any line may be is refused wherever it lies.
  const std::string word = "#1 b" + std::string(20000, '1') + " !\n";
  for (const std::string& before : {std::string(), padding}) {
    const Result r = Import(std::string(kTwoWires) + before + word);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("line too long"), std::string::npos) << r.error;
  }
}

TEST(VcdImportTest, DumpvarsWithoutItsEndIsToldAndEndsAtTheNextTime) {
  const Result r = Import(std::string(kTwoWires) + "#0\n$dumpvars\n1!\n0\"\n#5\n0!\n#6\n1\"\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.events, "5 1 0\n6 2 1\n");
  EXPECT_EQ(r.warnings, std::vector<std::string>{"$dumpvars without its $end: taken to end at the next time"});
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
  CaptureView view;
  CollectingLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(dir / "in.vcd", data, view, sinks).ok);
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
    CaptureView view;
    CollectingLoadSinks sinks;
    EXPECT_TRUE(LoadCaptureFile(dir / c.name, data, view, sinks).ok) << c.name;
    EXPECT_EQ(view.Traces.Name(1) == "a", c.dump) << c.name;
    EXPECT_EQ(sinks.logImports, c.dump ? 0 : 1) << c.name;
  }
}

}  // namespace
}  // namespace korvalog
