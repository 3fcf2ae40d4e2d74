// Markers in time order with their labels, the status bar's reading of the
// waveform under the pointer, and the reading of a time typed to go to.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/pointer_readout.h"
#include "common/capture_builder.h"
#include "core/marker_list.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

std::vector<std::string> Labels(const MarkerList& list) {
  std::vector<std::string> out;
  for (const Marker& m : list.Items()) out.push_back(m.label);
  return out;
}

TEST(MarkerList, KeepsTimeOrderAndGivesFreeLabels) {
  MarkerList list;
  EXPECT_EQ(list.Add(30.0), 0u);
  EXPECT_EQ(list.Add(10.0, "door"), 0u);
  EXPECT_EQ(list.Add(20.0), 1u);
  EXPECT_EQ(list.Add(20.0, "same time"), 2u);  // after the one already there
  EXPECT_EQ(Labels(list), (std::vector<std::string>{"door", "M2", "same time", "M1"}));
  const uint32_t v = list.Version();
  EXPECT_TRUE(list.Rename(0, std::string(100, 'x') + "\r\n"));
  EXPECT_EQ(list[0].label, std::string(MarkerList::kLabelMax, 'x'));
  EXPECT_GT(list.Version(), v);
  EXPECT_TRUE(list.Rename(0, "a\tb"));
  EXPECT_EQ(list[0].label, "a b");  // control characters become spaces
  EXPECT_FALSE(list.Rename(1, ""));  // an empty label keeps the old one
  EXPECT_EQ(list[1].label, "M2");
  EXPECT_FALSE(list.Rename(9, "x"));
  EXPECT_TRUE(list.Remove(3));
  EXPECT_FALSE(list.Remove(3));
  EXPECT_EQ(list.FreeLabel(), "M1");
  EXPECT_FALSE(list.Add(std::nan("")));

  struct Case {
    double t;
    std::optional<size_t> after, before;
  };
  const Case cases[] = {{5, 0, std::nullopt}, {10, 1, std::nullopt}, {15, 1, 0}, {20, std::nullopt, 0},
                        {25, std::nullopt, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(list.After(c.t), c.after) << c.t;
    EXPECT_EQ(list.Before(c.t), c.before) << c.t;
  }
  list.Clear();
  EXPECT_TRUE(list.Empty());
}

TEST(MarkerList, StopsAtItsLimit) {
  MarkerList list;
  for (size_t i = 0; i < MarkerList::kMarkersMax; ++i) ASSERT_TRUE(list.Add(static_cast<double>(i), "m"));
  EXPECT_FALSE(list.Add(1.0));
}

TEST(PointerReadout, TextOfTheWaveUnderThePointer) {
  CaptureBuilder b;
  b.Event(10, 13, 1).Event(14, 13, 0).Event(20, 13, 1).Event(24, 13, 0).Event(30, 13, 1).Finish(40);
  b.view.Traces.SetName(13, "Door open");
  ChannelIndex index;
  index.Build(b.data);
  const CaptureLookup look(b.data, index);
  struct Case {
    double seconds;
    std::string text;
  };
  const Case cases[] = {
      {12, "01/01 0000:12.005  13 Door open: HIGH  Pulse=4.00  Period=10.00  Duty=40%"},
      {17, "01/01 0000:17.005  13 Door open: LOW  Pulse=6.00  Period=10.00  Duty=40%"},
      {5, "01/01 0000:05.005  13 Door open: LOW"},
      {35, "01/01 0000:35.005  13 Door open: HIGH"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointerReadoutText(b.view.Traces, 13, At(c.seconds), look.PulseAt(13, At(c.seconds))), c.text);
  }
  EXPECT_EQ(PointerReadoutText(b.view.Traces, 0, At(1), {}), "");
}

TEST(GoToTime, ReadsTheChartsStampSecondsAndIso) {
  CaptureBuilder b(3600);
  b.Event(3700, 1, 1).Finish(7200);
  struct Case {
    std::string text;
    bool ok;
    double seconds;      // from 1 January 2025 00:00, to the millisecond
    const char* says = "";  // a refusal's reason
  };
  const Case cases[] = {
      {"01/01 0130:00.005", true, 5400},  {"  100.5 ", true, 3700.5}, {"2025-01-01T01:10:00.250", true, 4200.25},
      {"01/01 0100:00.005", true, 3600},  {"0", true, 3600},
      {"01/01 0300:00.000", false, 0, "01/01/2025 0300:00.000 is after the capture"},
      {"2024-01-01T01:30:00", false, 0, "01/01/2024 0130:00.005 is before the capture"},
      {"-1", false, 0, "-1 s is before the capture"},
      {"soon", false, 0, "Not a time"},
      {"", false, 0, "Not a time"},
      {"01/01 0200:00.005", true, 7200},
  };
  for (const Case& c : cases) {
    const TimeEntry e = ReadGoToTime(c.text, b.data);
    EXPECT_EQ(e.ok, c.ok) << c.text;
    if (c.ok) {
      EXPECT_NEAR(testing::Seconds(e.time - At(0)), c.seconds, 0.0005) << c.text;
    } else {
      EXPECT_EQ(e.message.find(c.says), 0u) << e.message;
      // The span with its year, so a wrong year cannot look inside it.
      EXPECT_NE(e.message.find("The capture runs from 01/01/2025 0100:00.005 to 01/01/2025 0200:00.005."),
                std::string::npos)
          << e.message;
    }
  }
  CaptureBuilder empty;
  EXPECT_FALSE(ReadGoToTime("1", empty.data).ok);
}

}  // namespace
}  // namespace korvalog
