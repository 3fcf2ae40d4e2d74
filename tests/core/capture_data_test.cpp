#include "core/capture_data.h"
#include "core/capture_view.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvalog {
namespace {

struct Recorder : CaptureObserver {
  int started = 0, stopped = 0;
  void CaptureStarted() override { ++started; }
  void CaptureStopped() override { ++stopped; }
};

class CaptureDataTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.5};
  CaptureData data{clock};
  CaptureView view;
  Recorder rec;
  void SetUp() override { data.AddObserver(&rec); }
};

TEST(RecordLayout, EventRecordBytesAreBinding) {
  EventRecord r{1.5, 7, 1};
  uint8_t bytes[10];
  std::memcpy(bytes, &r, 10);
  double t;
  std::memcpy(&t, bytes, 8);
  EXPECT_EQ(t, 1.5);
  EXPECT_EQ(bytes[8], 7);
  EXPECT_EQ(bytes[9], 1);
  EXPECT_EQ(offsetof(PositionSnapshot, time), 8u);
  EXPECT_EQ(offsetof(PositionSnapshot, states), 16u);
  EXPECT_EQ(offsetof(ChannelRecord, SearchCondition), 33u);
}

TEST_F(CaptureDataTest, StartupDefaults) {
  EXPECT_EQ(view.Traces.Name(1), "#1");
  EXPECT_EQ(view.Traces.Name(128), "#128");
  EXPECT_EQ(view.Traces.Search(6), kSearchIgnore);
  EXPECT_EQ(view.Traces.Order()[0], 1);
  EXPECT_EQ(view.Traces.Order()[127], 128);
  EXPECT_EQ(view.Sequence[14].event, 1);
  EXPECT_EQ(view.Sequence[14].signal, 0);
  EXPECT_EQ(data.Capturing, 0);
  EXPECT_EQ(data.DataPresent, 0);
  EXPECT_EQ(data.Store.Count(), 0u);
}

TEST_F(CaptureDataTest, TransitionsOutsideCaptureOnlyMoveLevels) {
  data.ApplyTransition(1.0, 5, 1);
  EXPECT_EQ(data.States.Level(5), 1);
  EXPECT_TRUE(data.States.TakeStatesChanged());
  EXPECT_EQ(data.Store.Count(), 0u);
  // A repeated level adds nothing and signals nothing.
  data.ApplyTransition(1.1, 5, 1);
  EXPECT_FALSE(data.States.TakeStatesChanged());
  // Channels outside 1..128 never touch anything.
  data.ApplyTransition(1.2, 0, 1);
  data.ApplyTransition(1.2, 129, 1);
  EXPECT_FALSE(data.States.TakeStatesChanged());
}

TEST_F(CaptureDataTest, CaptureRecordsAndSnapshots) {
  data.ApplyTransition(1.0, 3, 1);  // high before the capture
  data.SetCapture(true);
  EXPECT_EQ(rec.started, 1);
  EXPECT_EQ(data.Capturing, 1);
  EXPECT_EQ(data.DataPresent, 0);
  EXPECT_EQ(data.CaptureStart.index, 0u);
  EXPECT_EQ(data.CaptureStart.time, 45000.5);
  EXPECT_EQ(data.CaptureStart.states[2], 1);
  data.SetCapture(true);  // already capturing: nothing
  EXPECT_EQ(rec.started, 1);

  data.ApplyTransition(2.0, 1, 1);
  data.ApplyTransition(2.0, 1, 1);  // repeat: no record
  data.ApplyTransition(3.0, 3, 0);
  ASSERT_EQ(data.Store.Count(), 2u);
  EXPECT_EQ(data.Store[1].channel, 3);
  EXPECT_EQ(data.Store[1].state, 0);
  EXPECT_EQ(data.Store[1].time, 3.0);

  clock.Set(45001.0);
  data.SetCapture(false);
  EXPECT_EQ(rec.stopped, 1);
  EXPECT_EQ(data.CaptureEnd.index, 2u);
  EXPECT_EQ(data.CaptureEnd.time, 45001.0);
  EXPECT_EQ(data.CaptureEnd.states[0], 1);
  EXPECT_EQ(data.DataPresent, 1);
  EXPECT_EQ(data.DataModified, 1);
  data.SetCapture(false);  // idle: nothing
  EXPECT_EQ(rec.stopped, 1);
}

TEST_F(CaptureDataTest, EmptyCaptureIsPresent) {
  data.SetCapture(true);
  data.SetCapture(false);
  EXPECT_EQ(data.Store.Count(), 0u);
  EXPECT_EQ(data.CaptureStart.index, 0u);
  EXPECT_EQ(data.CaptureEnd.index, 0u);
  EXPECT_EQ(data.DataPresent, 1);
}

TEST_F(CaptureDataTest, FullStoreStopsItselfAndNotifiesLater) {
  int wakes = 0;
  data.SetStopWake([&] { ++wakes; });
  data.SetCapture(true);
  for (uint32_t i = 0; i < kEventCapacity; ++i) {
    data.ApplyTransition(i, 1 + (i >> 1) % 128, 1 - data.States.Level(1 + (i >> 1) % 128));
  }
  EXPECT_EQ(data.Store.Count(), kEventCapacity);
  EXPECT_EQ(data.Capturing, 0);
  EXPECT_EQ(data.CaptureEnd.index, kEventCapacity);
  EXPECT_EQ(data.DataPresent, 1);
  EXPECT_EQ(wakes, 1);
  // The appending side only flags the stop; the interface side raises it.
  EXPECT_EQ(rec.stopped, 0);
  EXPECT_TRUE(data.StopPending());

  // The next transition only changes the live level.
  const uint8_t before = data.States.Level(9);
  data.ApplyTransition(9e9, 9, 1 - before);
  EXPECT_EQ(data.States.Level(9), 1 - before);
  EXPECT_EQ(data.Store.Count(), kEventCapacity);

  // A user stop now changes nothing; the tick delivers the one notification.
  data.SetCapture(false);
  EXPECT_TRUE(data.DeliverPendingNotifications());
  EXPECT_FALSE(data.DeliverPendingNotifications());
  EXPECT_EQ(rec.stopped, 1);
}

TEST_F(CaptureDataTest, PendingStopIsToldBeforeTheNextStart) {
  data.SetCapture(true);
  for (uint32_t i = 0; i < kEventCapacity; ++i) {
    data.ApplyTransition(i, 1, static_cast<uint8_t>((i + 1) & 1));
  }
  ASSERT_TRUE(data.StopPending());
  data.SetCapture(true);
  EXPECT_EQ(rec.stopped, 1);
  EXPECT_EQ(rec.started, 2);
  EXPECT_EQ(data.Store.Count(), 0u);
}

TEST(ChannelNames, CutToThirtyTwo) {
  ChannelRecord r;
  SetChannelName(r, std::string(40, 'x'));
  EXPECT_EQ(r.nameLength, 32);
  r.nameLength = 200;  // as a damaged file might hold
  EXPECT_EQ(ChannelName(r).size(), 32u);
}

}  // namespace
}  // namespace korvalog
