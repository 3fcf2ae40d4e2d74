// The per-channel index and the look-ups made from it: positions, levels,
// next and previous changes, snapshots at a time (checked against a walk)
// and the pulse around a time.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "chart/capture_lookup.h"
#include "chart/channel_index.h"
#include "chart/snapshot_walk.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

// Channel 1: a square wave, HIGH at 10..14, 20..24, 30..34 s; channel 2: a
// repeated level (only a damaged file has one) and one change; channel 3:
// only the capture's last event; channel 4 starts HIGH.
struct Sample {
  CaptureBuilder b;
  ChannelIndex index;
  Sample() {
    b.StartLevel(4, 1);
    b.Event(10, 1, 1).Event(12, 2, 0).Event(14, 1, 0).Event(16, 2, 1).Event(20, 1, 1).Event(24, 1, 0);
    b.Event(25, 4, 0).Event(30, 1, 1).Event(34, 1, 0).Event(39, 3, 1);
    b.Finish(40);
    index.Build(b.data);
  }
  CaptureLookup Lookup() const { return CaptureLookup(b.data, index); }
};

// Every answer of the index against a plain search of the events, for
// blocks of several sizes (one event, a few, more than the capture).
TEST(ChannelIndex, AnswersAsAPlainSearchDoes) {
  CaptureBuilder b;
  b.StartLevel(3, 1);
  uint32_t seed = 99;
  for (int i = 0; i < 400; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const int c = i == 200 ? 0 : 1 + static_cast<int>((seed >> 24) % 6);  // one event naming no channel
    b.Event(i * 0.5, c, (seed >> 8) & 1);
  }
  b.Event(200, 5, 1);  // channel 5's only event is the last
  b.Finish(201);
  const EventRecord* events = b.data.Store.Data();
  const uint32_t n = b.data.Store.Count();
  for (uint32_t block : {1u, 7u, 64u, 1000u}) {
    ChannelIndex index(block);
    index.Build(b.data);
    ASSERT_EQ(index.Indexed(), n);
    EXPECT_TRUE(index.TimeOrdered());
    for (int c = 0; c <= 7; ++c) {
      for (uint32_t p = 0; p <= n + 1; ++p) {
        uint32_t last = ChannelIndex::kNone, first = ChannelIndex::kNone;
        for (uint32_t i = 0; i < std::min(p, n); ++i)
          if (events[i].channel == c && c >= 1) last = i;
        for (uint32_t i = p; i < n; ++i)
          if (events[i].channel == c && c >= 1) {
            first = i;
            break;
          }
        ASSERT_EQ(index.LastBefore(c, p), last) << "block " << block << " channel " << c << " at " << p;
        ASSERT_EQ(index.FirstFrom(c, p), first) << "block " << block << " channel " << c << " at " << p;
        const uint8_t level = c < 1 ? 0 : last == ChannelIndex::kNone ? b.data.CaptureStart.states[c - 1]
                                                                        : events[last].state;
        ASSERT_EQ(index.LevelBefore(c, p), level) << "block " << block << " channel " << c << " at " << p;
      }
    }
    for (uint32_t p = 0; p <= n; p += 13) {
      uint8_t levels[kChannelCount];
      index.LevelsBefore(p, levels);
      for (int c = 1; c <= 7; ++c) ASSERT_EQ(levels[c - 1], index.LevelBefore(c, p)) << c << " at " << p;
    }
    EXPECT_EQ(index.Previous(200), ChannelIndex::kNone);  // the event naming no channel
    EXPECT_EQ(index.Previous(n), ChannelIndex::kNone);
    EXPECT_EQ(index.LastBefore(5, n), n - 1);
  }
}

TEST(ChannelIndex, FourBytesAnEventAndTimeGoingBack) {
  CaptureBuilder b;
  for (int i = 0; i < 100000; ++i) b.Event(i, 1 + i % 128, (i / 128) % 2);
  b.Finish(100000);
  ChannelIndex index;
  index.Build(b.data);
  EXPECT_LE(static_cast<double>(index.MemoryBytes()) / index.Indexed(), 4.1);
  EXPECT_TRUE(index.TimeOrdered());
  CaptureBuilder back;
  back.Event(1, 1, 1).Event(0.5, 2, 1).Finish(2);
  index.Build(back.data);
  EXPECT_FALSE(index.TimeOrdered());
  // Built again over fewer events: the old answers are gone.
  index.Build(back.data.Store.Data(), 1, back.data.CaptureStart.states);
  EXPECT_EQ(index.FirstFrom(2, 0), ChannelIndex::kNone);
  index.Clear();
  EXPECT_EQ(index.LastBefore(1, 5), ChannelIndex::kNone);
}

TEST(CaptureLookup, NextAndPreviousChange) {
  Sample s;
  const CaptureLookup look = s.Lookup();
  struct Case {
    int channel;
    uint32_t from;
    std::optional<uint32_t> next;      // NextChange(channel, from)
    std::optional<uint32_t> previous;  // PreviousChange(channel, from)
  };
  const Case cases[] = {
      {1, 0, 0, std::nullopt}, {1, 1, 2, 0},  {1, 5, 5, 4},  {1, 9, std::nullopt, 8},
      {1, 100, std::nullopt, 8},
      // Channel 2 starts LOW: its first event repeats LOW and is no change.
      {2, 0, 3, std::nullopt}, {2, 2, 3, std::nullopt}, {2, 4, std::nullopt, 3},
      {3, 0, 9, std::nullopt}, {3, 10, std::nullopt, 9}, {4, 0, 6, std::nullopt}, {5, 0, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto next = look.NextChange(c.channel, c.from);
    const auto previous = look.PreviousChange(c.channel, c.from);
    EXPECT_EQ(next ? std::optional<uint32_t>(next->index) : std::nullopt, c.next) << c.channel << " from " << c.from;
    EXPECT_EQ(previous ? std::optional<uint32_t>(previous->index) : std::nullopt, c.previous)
        << c.channel << " before " << c.from;
    if (next) {
      EXPECT_EQ(next->time, s.b.data.Store[next->index].time);
    }
  }
  EXPECT_EQ(look.NextRise(1, 3)->index, 4u);
  EXPECT_EQ(look.PreviousRise(1, 4)->index, 0u);
  EXPECT_FALSE(look.NextRise(4, 0));
}

TEST(CaptureLookup, FirstIndexAtAndLevels) {
  Sample s;
  const CaptureLookup look = s.Lookup();
  struct Case {
    double seconds;
    uint32_t atOrAfter, after;
  };
  const Case cases[] = {{0, 0, 0}, {10, 0, 1}, {11, 1, 1}, {39, 9, 10}, {40, 10, 10}, {-5, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(look.FirstIndexAt(At(c.seconds)), c.atOrAfter) << c.seconds;
    EXPECT_EQ(look.FirstIndexAt(At(c.seconds), true), c.after) << c.seconds;
  }
  EXPECT_EQ(look.LevelBefore(1, 1), 1);
  EXPECT_EQ(look.LevelBefore(1, 2), 1);
  EXPECT_EQ(look.LevelBefore(1, 3), 0);
  EXPECT_EQ(look.LevelBefore(4, 0), 1);
  EXPECT_EQ(look.LevelBefore(4, 7), 0);
}

// A snapshot made from the index equals the one a walk from the capture's
// start makes, for ordered and for out-of-order captures.
TEST(CaptureLookup, SnapshotAtEqualsAWalk) {
  for (bool ordered : {true, false}) {
    CaptureBuilder b;
    uint8_t level[4] = {};
    double t = 0;
    for (int i = 0; i < 300; ++i) {
      const int c = 1 + (i * 7) % 4;
      level[c - 1] ^= 1;
      t += (i % 5 == 0) ? 0.0 : 0.25;  // several events share a time
      const double when = !ordered && i == 150 ? t - 10 : t;
      b.Event(when, c, level[c - 1]);
    }
    b.Finish(t + 1);
    ChannelIndex index;
    index.Build(b.data);
    EXPECT_EQ(index.TimeOrdered(), ordered);
    const CaptureLookup look(b.data, index);
    for (double seconds = -1; seconds <= t + 1; seconds += 0.125) {
      PositionSnapshot walked = b.data.CaptureStart;
      EventWalker walker(b.data, b.view);
      walker.StartPass(walked);
      walker.AdvanceSnapshot(walked, At(seconds), b.data.CaptureEnd);
      const PositionSnapshot made = look.SnapshotAt(At(seconds));
      ASSERT_EQ(made.index, walked.index) << seconds;
      ASSERT_EQ(made.time, walked.time);
      for (int c = 0; c < 4; ++c) ASSERT_EQ(made.states[c], walked.states[c]) << "channel " << c + 1 << " at " << seconds;
    }
  }
}

TEST(CaptureLookup, PulseAroundATime) {
  Sample s;
  const CaptureLookup look = s.Lookup();
  struct Case {
    int channel;
    double seconds;
    uint8_t level;
    std::optional<double> pulse, period, high;  // seconds
  };
  const std::optional<double> none;
  const Case cases[] = {
      {1, 5, 0, none, none, none},      // before the first change: no pulse start
      {1, 11, 1, 4.0, 10.0, 4.0},       // in the first HIGH pulse
      {1, 14, 0, 6.0, 10.0, 4.0},       // at a change: the level after it
      {1, 22, 1, 4.0, 10.0, 4.0},
      {1, 27, 0, 6.0, 10.0, 4.0},       // LOW between the 2nd and 3rd pulse
      {1, 36, 0, none, none, none},     // after the last change
      {3, 20, 0, none, none, none},
      {4, 10, 1, none, none, none},
  };
  for (const Case& c : cases) {
    const PulseReading r = look.PulseAt(c.channel, At(c.seconds));
    EXPECT_EQ(r.level, c.level) << c.channel << " at " << c.seconds;
    const auto seconds = [](std::optional<double> days) {
      return days ? std::optional<double>(std::round(testing::Seconds(*days) * 1000) / 1000) : std::nullopt;
    };
    const std::optional<double> pulse =
        r.previous && r.next ? std::optional<double>(r.next->time - r.previous->time) : std::nullopt;
    EXPECT_EQ(seconds(pulse), c.pulse) << c.channel << " at " << c.seconds;
    EXPECT_EQ(seconds(r.period), c.period) << c.channel << " at " << c.seconds;
    EXPECT_EQ(seconds(r.highTime), c.high) << c.channel << " at " << c.seconds;
  }
}

}  // namespace
}  // namespace korvalog
