// VCD and CSV exports: the files written, their reading back through the
// load, ranges between events, awkward names, the empty capture and a full
// store.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <random>

#include "base/date_time.h"
#include "common/capture_builder.h"
#include "project/export_choices.h"
#include "project/export_text.h"
#include "project/file_export.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing_support::ReadBytes;
using testing_support::TempDir;

struct Loaded {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  FileResult result;
};

// Loads `path` into a fresh capture that starts with other names, so every
// name seen afterwards came from the file.
std::unique_ptr<Loaded> Load(const std::string& path) {
  auto out = std::make_unique<Loaded>();
  SetStartupDefaults(out->data, out->view);
  CollectingLoadSinks sinks;
  out->result = LoadCaptureFile(path, out->data, out->view, sinks);
  return out;
}

// The events of [first, last) as "ms-from-origin channel level" lines.
std::string EventText(const CaptureData& data, double origin, uint32_t first, uint32_t last) {
  std::string out;
  for (uint32_t i = first; i < last; ++i) {
    const EventRecord& e = data.Store[i];
    out += std::to_string(MsFrom(origin, e.time)) + ' ' + std::to_string(e.channel) + ' ' +
           std::to_string(e.state) + '\n';
  }
  return out;
}

void ExpectSameCapture(const CaptureData& a, const CaptureData& b) {
  ASSERT_EQ(a.Store.Count(), b.Store.Count());
  EXPECT_EQ(DateTimeToMs(a.CaptureStart.time), DateTimeToMs(b.CaptureStart.time));
  EXPECT_EQ(EventText(a, a.CaptureStart.time, 0, a.Store.Count()),
            EventText(b, a.CaptureStart.time, 0, b.Store.Count()));
}

TEST(WireNameTest, MakesLegalIdentifiersThatKeepTheChannel) {
  const struct {
    int channel;
    const char* name;
    const char* wire;
  } cases[] = {{13, "Door open", "ch013_Door_open"}, {5, "", "ch005"},
               {1, "T\xC3\xBCr \"auf\"", "ch001_T_r_auf"}, {128, "__a--b__", "ch128_a_b"}};
  for (const auto& c : cases) {
    EXPECT_EQ(WireName(c.channel, c.name), c.wire);
    EXPECT_EQ(ChannelFromWireName(c.wire), c.channel);
  }
  EXPECT_EQ(ChannelFromWireName("ch129_x"), 0);
  EXPECT_EQ(ChannelFromWireName("ch01_x"), 0);
  EXPECT_EQ(WireCode(0), "!");
  EXPECT_EQ(WireCode(93), "~");
  EXPECT_EQ(WireCode(94), "!!");
}

// A lift-like capture with the awkward things a round trip must keep.
CaptureBuilder& Sample(CaptureBuilder& b) {
  b.view.Traces.SetName(1, "Door open");
  b.view.Traces.SetName(2, "say \"hi\", $end \\ now");
  b.view.Traces.SetName(3, "T\xC3\xBCr z\xC3\xA4hlt");
  b.view.Traces.SetName(100, "");
  return b.StartLevel(2, 1)
      .Event(0.25, 1, 1)
      .Event(0.25, 2, 0)  // two changes in one millisecond, in this order
      .Event(0.2504, 3, 1)
      .Event(1.0, 100, 1)
      .Event(1.5, 1, 0)
      .Event(2.0, 2, 1)
      .Finish(3.0);
}

TEST(VcdExportTest, WritesTheHeaderInitialLevelsAndChanges) {
  TempDir dir;
  CaptureBuilder b(0.125);
  b.view.Traces.SetName(13, "Door open");
  b.StartLevel(14, 1).Event(0.5, 13, 1).Event(0.5, 14, 0).Event(1.0, 13, 0).Finish(2.0);
  const ExportRange range = WholeCaptureRange(b.data);
  ASSERT_TRUE(WriteVcdFile(dir / "a.vcd", b.data, b.view.Traces, range, ExportChannels(b.data, range, ChannelChoice::Changed)).ok);
  EXPECT_EQ(ReadBytes(dir / "a.vcd"),
            "$date\n\t2025-01-01 00:00:00.125\n$end\n"
            "$version\n\tKorvalog " KORVALOG_VERSION_TEXT "\n$end\n"
            "$comment\n\tKorvalog channel names\n\t13 \"Door open\"\n\t14 \"#14\"\n$end\n"
            "$timescale 1 ms $end\n$scope module korvalog $end\n"
            "$var wire 1 ! ch013_Door_open $end\n$var wire 1 \" ch014_14 $end\n"
            "$upscope $end\n$enddefinitions $end\n"
            "#0\n$dumpvars\n0!\n1\"\n$end\n"
            "#375\n1!\n0\"\n#875\n0!\n#1875\n");
}

// A link gap turns dumping off: every wire x until the gap's end gives the
// levels again; a gap that reaches the end stays off, and hides the change
// inside it. The dump reads back as the changes outside the gaps.
TEST(VcdExportTest, LinkGapsAreDumpOffSections) {
  TempDir dir;
  CaptureBuilder b(0.125);
  b.StartLevel(14, 1).Event(0.5, 13, 1).Event(0.5, 14, 0).Event(1.0, 13, 0).Finish(2.0);
  b.data.Gaps.Add(At(0.6), At(0.7));
  b.data.Gaps.Add(At(0.9), kGapOpen);
  const ExportRange range = WholeCaptureRange(b.data);
  ASSERT_TRUE(WriteVcdFile(dir / "a.vcd", b.data, b.view.Traces, range, {13, 14}).ok);
  const std::string text = ReadBytes(dir / "a.vcd");
  EXPECT_EQ(text.substr(text.find("#0\n")),
            "#0\n$dumpvars\n0!\n1\"\n$end\n#375\n1!\n0\"\n"
            "#475\n$dumpoff\nx!\nx\"\n$end\n#575\n$dumpon\n1!\n0\"\n$end\n"
            "#775\n$dumpoff\nx!\nx\"\n$end\n#1875\n");
  const auto back = Load(dir / "a.vcd");
  ASSERT_TRUE(back->result.ok) << back->result.error;
  EXPECT_EQ(EventText(back->data, b.data.CaptureStart.time, 0, back->data.Store.Count()), "375 13 1\n375 14 0\n");
}

TEST(VcdExportTest, RoundTripKeepsEventsNamesAndTimes) {
  TempDir dir;
  CaptureBuilder b(0.0004);  // a start between two milliseconds
  Sample(b);
  const ExportRange range = WholeCaptureRange(b.data);
  const std::vector<int> channels = ExportChannels(b.data, range, ChannelChoice::Changed);
  EXPECT_EQ(channels, (std::vector<int>{1, 2, 3, 100}));
  ASSERT_TRUE(WriteVcdFile(dir / "a.VCD", b.data, b.view.Traces, range, channels).ok);
  const auto back = Load(dir / "a.VCD");
  ASSERT_TRUE(back->result.ok) << back->result.error;
  ExpectSameCapture(b.data, back->data);
  for (int ch : channels) EXPECT_EQ(back->view.Traces.Name(ch), b.view.Traces.Name(ch));
  EXPECT_EQ(back->view.Traces.Name(5), "#5");  // not exported: the default
  EXPECT_EQ(back->data.CaptureStart.states[1], 1);
  EXPECT_EQ(DateTimeToMs(back->data.CaptureEnd.time), DateTimeToMs(b.data.CaptureEnd.time));
  EXPECT_EQ(back->data.DataPresent.load(), 1);
}

TEST(VcdExportTest, RangesStartAndEndBetweenEvents) {
  TempDir dir;
  CaptureBuilder b;
  b.Event(1, 1, 1).Event(2, 2, 1).Event(3, 1, 0).Event(4, 3, 1).Finish(5);
  const struct {
    double from, to;
    std::string events;  // ms from the capture start
    int startLevel1;
  } cases[] = {
      {1.5, 3.5, "2000 2 1\n3000 1 0\n", 1},
      {0.0, 0.5, "", 0},
      {2.0, 3.0, "2000 2 1\n3000 1 0\n", 1},  // both ends inclusive
      {3.9, 9.0, "4000 3 1\n", 0},            // held to the capture's end
  };
  for (const auto& c : cases) {
    const ExportRange range = MakeExportRange(b.data, At(c.from), At(c.to));
    ASSERT_TRUE(WriteVcdFile(dir / "r.vcd", b.data, b.view.Traces, range, ExportChannels(b.data, range, ChannelChoice::All)).ok);
    const auto back = Load(dir / "r.vcd");
    ASSERT_TRUE(back->result.ok) << back->result.error;
    SCOPED_TRACE(c.from);
    EXPECT_EQ(EventText(back->data, b.data.CaptureStart.time, 0, back->data.Store.Count()), c.events);
    EXPECT_EQ(back->data.CaptureStart.states[0], c.startLevel1);
    EXPECT_EQ(MsFrom(b.data.CaptureStart.time, back->data.CaptureStart.time), std::lround(c.from * 1000));
  }
}

TEST(VcdExportTest, EmptyCaptureIsHeaderAndDumpvarsOnly) {
  TempDir dir;
  CaptureBuilder b;
  const ExportRange range = WholeCaptureRange(b.data);
  ASSERT_TRUE(WriteVcdFile(dir / "e.vcd", b.data, b.view.Traces, range, ExportChannels(b.data, range, ChannelChoice::Changed)).ok);
  const std::string text = ReadBytes(dir / "e.vcd");
  EXPECT_NE(text.find("$enddefinitions $end\n#0\n$dumpvars\n$end\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 15), "$dumpvars\n$end\n");
  const auto back = Load(dir / "e.vcd");
  EXPECT_TRUE(back->result.ok) << back->result.error;
  EXPECT_EQ(back->data.Store.Count(), 0u);
  EXPECT_EQ(back->data.DataPresent.load(), 0);
}

TEST(VcdExportTest, FullStoreRoundTrip) {
  TempDir dir;
  CaptureBuilder b;
  std::mt19937 rng(7);
  uint8_t level[kChannelCount] = {};
  double t = 0.0;
  for (uint32_t i = 0; i < kEventCapacity; ++i) {
    const int ch = static_cast<int>(rng() % kChannelCount) + 1;
    t += (rng() % 4) * 0.001;  // often several in one millisecond
    level[ch - 1] ^= 1;
    b.Event(t, ch, level[ch - 1]);
  }
  b.Finish(t + 1);
  const ExportRange range = WholeCaptureRange(b.data);
  ASSERT_TRUE(WriteVcdFile(dir / "big.vcd", b.data, b.view.Traces, range, ExportChannels(b.data, range, ChannelChoice::All)).ok);
  const auto back = Load(dir / "big.vcd");
  ASSERT_TRUE(back->result.ok) << back->result.error;
  ExpectSameCapture(b.data, back->data);
}

TEST(CsvExportTest, NarrowAndWideRowsWhateverTheLocale) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // a decimal comma where installed
  TempDir dir;
  CaptureBuilder b;
  Sample(b);
  const ExportRange range = MakeExportRange(b.data, At(0.5), At(1.6));
  ASSERT_TRUE(WriteCsvFile(dir / "n.csv", b.data, b.view.Traces, range, {1, 2, 3}, CsvLayout::Narrow).ok);
  EXPECT_EQ(ReadBytes(dir / "n.csv"),
            "time_s,channel,name,level,local_time\r\n"
            "1.500,1,Door open,0,2025-01-01T00:00:01.500\r\n");
  ASSERT_TRUE(WriteCsvFile(dir / "w.csv", b.data, b.view.Traces, WholeCaptureRange(b.data), {2, 3}, CsvLayout::Wide).ok);
  EXPECT_EQ(ReadBytes(dir / "w.csv"),
            "time_s,local_time,\"2 say \"\"hi\"\", $end \\ now\",3 T\xC3\xBCr z\xC3\xA4hlt\r\n"
            "0.000,2025-01-01T00:00:00.000,1,0\r\n"
            "0.250,2025-01-01T00:00:00.250,0,0\r\n"
            "0.250,2025-01-01T00:00:00.250,0,1\r\n"
            "2.000,2025-01-01T00:00:02.000,1,1\r\n");
  std::setlocale(LC_ALL, "C");
}

TEST(ExportNamesTest, FileNamesFollowTheFormat) {
  const struct {
    const char* in;
    ExportFormat format;
    const char* proposed;  // after a capture file of that name
    const char* switched;  // a chosen export file when the format changes
  } cases[] = {
      {"/d/lift.kv", ExportFormat::Vcd, "/d/lift.vcd", "/d/lift.kv.vcd"},
      {"/d/run.v2/site.001", ExportFormat::Pdf, "/d/run.v2/site.pdf", "/d/run.v2/site.001.pdf"},
      {"/d/chart.PNG", ExportFormat::Svg, "/d/chart.svg", "/d/chart.svg"},
      {"/d.x/noext", ExportFormat::Csv, "/d.x/noext.csv", "/d.x/noext.csv"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExportNameFor(c.in, c.format), c.proposed);
    EXPECT_EQ(WithExportExtension(c.in, c.format), c.switched);
  }
  EXPECT_EQ(ExportNameFor("", ExportFormat::Vcd), "");
}

TEST(ExportTimeTest, ReadsSecondsDumpStampsAndIsoTimes) {
  CaptureBuilder b(3600.25);  // 1 January 2025 01:00:00.250
  b.Event(3700, 1, 1).Finish(3800);
  const struct {
    const char* text;
    bool ok;
    double seconds;  // from 1 January 2025 00:00
  } cases[] = {
      {"12.5", true, 3612.75},
      {"0", true, 3600.25},
      {".5", true, 3600.75},
      {"01/01 0101:40.005", true, 3700.0},  // the dump's stamp of the event
      {"2025-01-01T01:01:40.000", true, 3700.0},
      {"2025-01-01 01:01:40", true, 3700.0},
      {"12,5", false, 0},
      {"-3", false, 0},
      {"31/02 0101:40.005", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    double t = 0.0;
    EXPECT_EQ(ParseExportTime(c.text, b.data, t), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(DateTimeToMs(t), DateTimeToMs(At(c.seconds))) << c.text;
    }
  }
}

}  // namespace
}  // namespace korvalog
