// The live chart: the marks made from new records give the same waveforms
// and search trace as a pass over the window; following keeps the newest in
// view, standing still keeps the view while records arrive; a frame walks
// only the records that are new.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "chart/chart_navigator.h"
#include "chart/live_chart.h"
#include "chart/live_frame_pacer.h"
#include "core/store_rotation.h"
#include "common/capture_builder.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;

using Widths = std::array<int, kGridColumns>;

struct Live {
  CaptureBuilder b;
  ChartState s{b.data, b.view};
  LiveChart live{s};
  ChartNavigator nav{s};
  uint8_t levels[kChannelCount] = {};

  explicit Live(int width) {
    nav.SetLive(&live);
    b.clock.Set(At(0));
    b.data.StartCapture();
    s.CaptureStarted();
    live.Start();
    s.LayoutChart(0, Widths{23, 66, 20, 20, width});
  }
  // The receiving side: a change of `channel` at `seconds`.
  void Flip(double seconds, int channel) {
    levels[channel - 1] ^= 1;
    b.data.ApplyTransition(At(seconds), static_cast<uint8_t>(channel), levels[channel - 1]);
  }
  void Frame(double nowSeconds) {
    b.clock.Set(At(nowSeconds));
    live.Frame();
  }
};

struct WindowCase {
  int width;
  double spanSeconds;
  int events;
  double lastSeconds;  // events are spread over [0, lastSeconds]
  int frames;          // frames taken while they arrive
};

class LiveWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(LiveWindow, MarksGiveWhatAPassOverTheWindowGives) {
  const WindowCase& w = GetParam();
  Live c(w.width);
  c.b.Search(3, kSearchHigh).Search(4, kSearchLow);
  c.live.FollowWithSpan(w.spanSeconds / kSecondsPerDay);
  const double dt = w.spanSeconds / (w.width - 1);
  std::mt19937 random(static_cast<unsigned>(w.width * 7 + w.events));
  const int columns = static_cast<int>(w.lastSeconds / dt);
  std::vector<int> at(static_cast<size_t>(w.events));
  for (int& n : at) n = static_cast<int>(random() % static_cast<unsigned>(columns));
  std::sort(at.begin(), at.end());
  int next = 0;
  for (int f = 1; f <= w.frames; ++f) {
    // Events in the middle of their column, so both mappings agree exactly.
    const int until = w.events * f / w.frames;
    for (; next < until; ++next) c.Flip((at[static_cast<size_t>(next)] + 0.5) * dt, 1 + static_cast<int>(random() % 6));
    c.Frame((at[static_cast<size_t>(until - 1)] + 0.75) * dt);
    ASSERT_TRUE(c.live.Following());
    WaveformPlan pass;
    RenderWaveforms(c.b.data, c.s.ZoomStart, c.s.ZoomEnd, static_cast<uint16_t>(w.width), pass, true);
    // Until the span has filled, the traces stop after the newest column.
    const int newestColumn = at[static_cast<size_t>(until - 1)];
    const uint16_t shown = static_cast<uint16_t>(std::min(w.width, newestColumn + 1));
    for (std::vector<LevelSegment>& segments : pass.channels) segments.back().x1 = shown;
    for (int ch = 1; ch <= 6; ++ch) {
      EXPECT_EQ(c.s.Waveforms().channels[ch - 1], pass.channels[ch - 1]) << "frame " << f << " channel " << ch;
    }
    StripPlan strip;
    RenderSearchStrip(c.b.data, c.b.view, c.s.ZoomStart, c.s.ZoomEnd, kStripSearch, static_cast<uint16_t>(w.width),
                      StripGeometry{kStripHeight, c.s.RowHeight}, strip, true);
    strip.searchTrace.back().x1 = shown;
    EXPECT_EQ(c.s.Strip().searchTrace, strip.searchTrace) << "frame " << f;
    EXPECT_EQ(c.s.Strip().stats.MatchCount, strip.stats.MatchCount) << "frame " << f;
    EXPECT_NEAR(c.s.ZoomEnd.time - c.s.ZoomStart.time, w.spanSeconds / kSecondsPerDay, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, LiveWindow,
                         ::testing::Values(WindowCase{601, 60, 50, 30, 3},        // before the span fills
                                           WindowCase{601, 60, 3000, 600, 12},    // scrolling
                                           WindowCase{121, 60, 5000, 300, 7},     // many events per column
                                           WindowCase{1001, 10, 800, 100, 25},    // short span, many frames
                                           WindowCase{301, 30, 1, 500, 1}));      // one event long ago

// Frames come at the display's pace while they are cheap, and no more
// often than keeps them to a tenth of the thread when they are not.
TEST(LiveFramePacer, PaceWhileCheapATenthOfTheThreadWhenNot) {
  const struct {
    double frameMs;
    int pause;
  } cases[] = {{0, 33}, {-5, 33}, {1, 32}, {2.5, 31}, {3.3, 30}, {3.4, 31}, {10, 90}, {200, 1000}};
  for (const auto& c : cases) {
    const int pause = LiveFramePacer::PauseAfter(c.frameMs);
    EXPECT_EQ(pause, c.pause) << c.frameMs;
    if (c.frameMs > 0 && pause < LiveFramePacer::kLongestPauseMs) {
      EXPECT_LE(c.frameMs / (c.frameMs + pause), 0.1) << c.frameMs;
    }
  }
}

TEST(LiveChart, FollowingKeepsTheNewestEventInView) {
  Live c(601);
  for (int i = 0; i < 300; ++i) {
    c.Flip(i * 1.0 + 0.5, 2);
    c.Frame(i * 1.0 + 0.6);
    const double newest = c.b.data.Store[c.b.data.Store.Count() - 1].time;
    ASSERT_LE(c.s.ZoomStart.time, newest) << i;
    ASSERT_GE(c.s.ZoomEnd.time, newest) << i;
    // Its edge is drawn near the right end once the span has filled.
    const std::vector<LevelSegment>& segments = c.s.Waveforms().channels[1];
    ASSERT_GE(segments.size(), 2u);
    if (i > 60) {
      ASSERT_GE(segments[segments.size() - 2].x1, 595) << i;
    }
  }
}

// "Zoom to entire capture" while capturing: the start stays in view and the
// span widens with the capture, never far past its newest time.
TEST(LiveChart, FollowingWholeKeepsTheStartAndWidens) {
  Live c(601);
  for (int i = 0; i < 10; ++i) c.Flip(i + 0.5, 2);
  c.Frame(10);
  c.live.FollowWhole();
  for (int i = 10; i < 400; ++i) {
    c.Flip(i + 0.5, 2);
    c.Frame(i + 0.6);
    ASSERT_TRUE(c.live.FollowingWhole()) << i;
    ASSERT_EQ(c.s.ZoomStart.time, At(0)) << i;
    const double shown = (c.s.ZoomEnd.time - c.s.ZoomStart.time) * kSecondsPerDay;
    ASSERT_GE(shown, i + 0.6) << i;
    ASSERT_LE(shown, (i + 0.6) * 1.125 + 1e-6) << i;
  }
  // A zoom leaves it for a fixed span.
  ASSERT_TRUE(c.nav.ZoomCentre(3.0));
  EXPECT_FALSE(c.live.FollowingWhole());
}

TEST(LiveChart, StandingStillKeepsTheViewWhileTheCountGrows) {
  Live c(601);
  for (int i = 0; i < 200; ++i) c.Flip(i + 0.5, 1 + i % 3);
  c.Frame(200);
  ASSERT_TRUE(c.nav.Pan(-0.5));  // back in time: the view stands still
  EXPECT_FALSE(c.live.Following());
  // The look-ups over the finished capture wait for its end.
  EXPECT_FALSE(c.nav.HasData());
  EXPECT_FALSE(c.nav.StepEdge(1, true));
  EXPECT_FALSE(c.nav.GoTo(At(50)));
  const double from = c.s.ZoomStart.time, to = c.s.ZoomEnd.time;
  const uint32_t version = c.s.WaveformVersion();
  const std::vector<LevelSegment> before = c.s.Waveforms().channels[0];
  for (int i = 200; i < 400; ++i) {
    c.Flip(i + 0.5, 1 + i % 3);
    c.Frame(i + 1);
  }
  EXPECT_EQ(c.s.ZoomStart.time, from);
  EXPECT_EQ(c.s.ZoomEnd.time, to);
  EXPECT_EQ(c.s.WaveformVersion(), version);
  EXPECT_EQ(c.s.Waveforms().channels[0], before);
  // End returns to the newest events.
  EXPECT_TRUE(c.nav.ToCaptureEnd());
  c.Frame(400);
  EXPECT_TRUE(c.live.Following());
  EXPECT_GE(c.s.ZoomEnd.time, At(399.5));
}

TEST(LiveChart, ZoomWhileFollowingChangesTheSpanAndKeepsFollowing) {
  Live c(601);
  for (int i = 0; i < 100; ++i) c.Flip(i + 0.5, 1);
  c.Frame(100);
  ASSERT_TRUE(c.nav.ZoomCentre(3.0));
  c.Frame(100);
  EXPECT_TRUE(c.live.Following());
  EXPECT_NEAR((c.s.ZoomEnd.time - c.s.ZoomStart.time) * kSecondsPerDay, 60 * 0.512, 1e-4);
  ASSERT_TRUE(c.nav.ZoomCentre(-6.0));
  c.Frame(100);
  EXPECT_TRUE(c.live.Following());
  EXPECT_NEAR((c.s.ZoomEnd.time - c.s.ZoomStart.time) * kSecondsPerDay, 60 / 0.8 / 0.8 / 0.8, 1e-4);
}

TEST(LiveChart, AFrameWalksOnlyTheNewRecords) {
  Live c(1201);
  for (int i = 0; i < 200000; ++i) c.Flip(i * 0.0005, 1 + i % 128);
  c.Frame(1000);
  for (int round = 0; round < 5; ++round) {
    const uint64_t before = c.live.EventsWalked();
    for (int i = 0; i < 100; ++i) c.Flip(1000 + round + i * 0.001, 1 + i % 128);
    c.Frame(1000 + round + 0.5);
    EXPECT_EQ(c.live.EventsWalked() - before, 100u) << round;
  }
}

TEST(LiveChart, LookUpsUseTheCheckpointsAndReadOnlyPublishedRecords) {
  Live c(601);
  for (int i = 0; i < 200000; ++i) c.Flip(i * 0.001, 5);
  c.Frame(200);
  const PositionSnapshot s = c.live.SnapshotAt(At(150.0005));
  EXPECT_EQ(s.index, 150001u);
  EXPECT_EQ(s.states[4], c.b.data.Store[150000].state);
  const PositionSnapshot end = c.live.EndSnapshot();
  EXPECT_EQ(end.index, c.b.data.Store.Count());
  EXPECT_EQ(end.states[4], c.levels[4]);
  // A record appended after the frame is not read until the next one.
  c.Flip(300, 5);
  EXPECT_EQ(c.live.SnapshotAt(At(400)).index, 200000u);
}

TEST(LiveChart, StopGivesTheWholeCaptureWithTheHistoryReset) {
  Live c(601);
  for (int i = 0; i < 500; ++i) c.Flip(i + 0.5, 7);
  c.Frame(500);
  ASSERT_TRUE(c.nav.Pan(-1.0));
  ASSERT_GT(c.s.HistoryDepth, 0);
  c.b.clock.Set(At(501));
  c.b.data.StopCapture();
  c.live.Stop();
  c.s.CaptureStopped();
  c.s.LayoutChart(0, Widths{23, 66, 20, 20, 601});
  EXPECT_FALSE(c.s.Live);
  EXPECT_EQ(c.s.HistoryDepth, 0);
  EXPECT_EQ(c.s.ZoomStart.time, c.b.data.CaptureStart.time);
  EXPECT_EQ(c.s.ZoomEnd.time, c.b.data.CaptureEnd.time);
  EXPECT_EQ(c.s.ZoomEnd.index, 500u);
  // Every edge of the capture is in the plan (a column apart at most 1).
  EXPECT_GE(c.s.Waveforms().channels[6].size(), 400u);
}

bool SameStairs(const std::vector<StepSegment>& a, const std::vector<StepSegment>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].x0 != b[i].x0 || a[i].x1 != b[i].x1 || a[i].level != b[i].level || a[i].violation != b[i].violation) {
      return false;
    }
  }
  return true;
}

// " x0-x1:level" per stair, "!" after a violation.
std::string StairsText(const std::vector<StepSegment>& stairs) {
  std::string text;
  for (const StepSegment& st : stairs) {
    text += " " + std::to_string(st.x0) + "-" + std::to_string(st.x1) + ":" + std::to_string(st.level);
    if (st.violation) text += "!";
  }
  return text;
}

// The Sequencer staircase with its violation marks, one change per column:
// the same stairs as a pass over the window from the capture start.
TEST(LiveChart, StaircaseAndViolationsAsAPassDrawsThem) {
  Live c(601);  // 0.1 s a column
  c.b.Row(1, 1, 1).Row(2, 2, 1, 0, 2).Row(3, 1, 0);
  c.s.SetStripMode(kStripSequence);
  // Door, motor, door again; the second round's motor comes too late, then a
  // step out of turn.
  const double times[] = {1.05, 2.05, 3.05, 10.05, 20.05, 25.05, 30.05, 31.05, 33.05, 40.05};
  const int channels[] = {1, 2, 1, 1, 2, 1, 2, 1, 2, 2};
  c.Flip(0.55, 2);
  c.Flip(0.65, 2);
  for (int i = 0; i < 10; ++i) {
    c.Flip(times[i], channels[i]);
    c.Frame(times[i] + 0.02);
    StripPlan pass;
    RenderSearchStrip(c.b.data, c.b.view, c.s.ZoomStart, c.s.ZoomEnd, kStripSequence, 601,
                      StripGeometry{kStripHeight, c.s.RowHeight}, pass, true);
    ASSERT_FALSE(pass.steps.empty());
    // The closing stair (when drawn) runs up to the newest column only.
    if (pass.steps.back().x1 == 601) pass.steps.back().x1 = static_cast<uint16_t>(times[i] * 10 + 1);
    EXPECT_TRUE(SameStairs(c.s.Strip().steps, pass.steps))
        << i << "\n live" << StairsText(c.s.Strip().steps) << "\n pass" << StairsText(pass.steps);
  }
  int violations = 0;
  for (const StepSegment& st : c.s.Strip().steps) violations += st.violation ? 1 : 0;
  EXPECT_GE(violations, 1);
}

// A clock set back (or forward) during the capture: times out of order,
// before the capture start, far ahead, or unreadable never put a segment
// outside the column or out of order.
TEST(LiveChart, TimesOutOfOrderKeepEverySegmentInsideTheColumn) {
  Live c(401);
  const double times[] = {5, 3, -100, 70, 69.5, 1e7, 20, std::nan(""), 30, 1e7 + 1, 2};
  int n = 0;
  for (double t : times) {
    c.Flip(t, 1 + n % 4);
    c.b.data.ApplyTransition(t == t ? At(t) : t, 9, static_cast<uint8_t>(n % 2));
    c.Frame(n * 3.0);
    ++n;
    for (int ch = 1; ch <= 9; ++ch) {
      const std::vector<LevelSegment>& segments = c.s.Waveforms().channels[ch - 1];
      ASSERT_FALSE(segments.empty());
      uint16_t last = 0;
      for (const LevelSegment& seg : segments) {
        ASSERT_LE(seg.x0, seg.x1);
        ASSERT_LE(seg.x1, 401);
        ASSERT_GE(seg.x0, last);
        last = seg.x1;
      }
      ASSERT_GE(segments.back().x1, 1);
    }
  }
  EXPECT_EQ(c.live.Consumed(), c.b.data.Store.Count());
}

// The receiving thread appends under the transition lock, as the readers do,
// while the interface thread takes frames, looks positions up and pans: the
// thread build finds any record read before it was published.
TEST(LiveChart, FramesRunBesideTheReceivingThread) {
  Live c(801);
  c.b.Search(2, kSearchHigh);
  c.b.data.SetStoreLimit(60000);
  std::atomic<bool> done{false};
  std::thread receiver([&] {
    uint8_t level[kChannelCount] = {};
    for (int i = 0; i < 60000; ++i) {
      const int ch = 1 + i % 16;
      level[ch - 1] ^= 1;
      std::lock_guard<TransitionMutex> hold(c.b.data.TransitionLock());
      c.b.data.ApplyTransition(At(i * 0.002), static_cast<uint8_t>(ch), level[ch - 1]);
    }
    done.store(true, std::memory_order_release);
  });
  int frames = 0;
  while (!done.load(std::memory_order_acquire) || c.live.Consumed() < c.b.data.Store.Count()) {
    c.Frame(frames * 0.05);
    if (frames % 50 == 25) c.nav.Pan(-0.3);
    if (frames % 50 == 45) c.nav.ToCaptureEnd();
    ++frames;
  }
  receiver.join();
  c.Frame(200);
  EXPECT_EQ(c.live.Consumed(), 60000u);
  EXPECT_TRUE(c.b.data.StopPending());  // the limit stopped the capture on the receiving side
  EXPECT_EQ(c.live.SnapshotAt(At(200)).index, 60000u);
}

// A continuous capture's store fills again and again: at each frame the
// chart shows the levels of every change so far, on the newest part.
TEST(LiveChart, EachNewPartStartsTheChartOverWithTheLevelsSoFar) {
  Live c(301);
  StoreRotation rotation;
  c.b.data.SetFullStoreHandler(&rotation);
  c.b.data.SetStoreLimit(10);
  double t = 0;
  for (const int changes : {8, 5, 9, 1, 10, 7}) {  // parts end at 10, 20, 30 changes
    for (int i = 0; i < changes; ++i) {
      t += 0.5;
      c.Flip(t, 1 + static_cast<int>(t * 2) % 7);
    }
    c.Frame(t);
    EXPECT_EQ(c.live.Part(), c.b.data.Store.Part());
    EXPECT_EQ(c.live.Consumed(), c.b.data.Store.Count());
    EXPECT_EQ(c.live.PartStart().time, c.b.data.CurrentPartStart().time);
    for (int ch = 1; ch <= 7; ++ch) {
      EXPECT_EQ(c.live.EndSnapshot().states[ch - 1], c.levels[ch - 1]) << ch << " at " << t;
      EXPECT_EQ(c.s.Waveforms().channels[ch - 1].back().level, c.levels[ch - 1]) << ch << " at " << t;
    }
    if (rotation.SpareWaiting()) rotation.ReleaseSpare();  // the part was saved
  }
  EXPECT_EQ(c.live.Part(), 4u);
  EXPECT_EQ(c.live.PartStart().time, At(t));  // the part began with the 40th change
  c.b.data.StopCapture();
  c.b.data.SetFullStoreHandler(nullptr);
}

}  // namespace
}  // namespace korvalog
