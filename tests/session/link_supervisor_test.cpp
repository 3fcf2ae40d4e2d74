// The supervisor's state machine with real serial links: a pseudo-terminal
// whose logger end the test plays, ticks driven directly.
#include "session/link_supervisor.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "sim/pseudo_terminal.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;

using korvalog::testing::WaitUntil;

// A USB side whose device count the test sets; records the reports.
class FakeUsb final : public UsbLoggers {
 public:
  void ScanHidDevices() override { ++scans; }
  int HidDeviceCount() const override { return devices; }
  bool TakeDeviceLost() override { return std::exchange(lost, false); }
  void SendConfigReport(uint16_t debounce, bool ac) override {
    configs.push_back({debounce, ac});
  }
  void SendStartReport() override { ++starts; }

  int devices = 0;
  bool lost = false;
  int scans = 0;
  int starts = 0;
  std::vector<std::pair<uint16_t, bool>> configs;
};

class LinkSupervisorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    link.SetDeviceResolver([this](uint8_t) { return pty.DevicePath(); });
  }
  void Open() {
    link.OpenSerialLink();
    ASSERT_TRUE(link.Comms() && link.Comms()->IsOpen());
  }

  // Everything the program has written to the logger so far.
  std::string Sent() {
    std::string got;
    std::this_thread::sleep_for(2ms);
    char b[256];
    ssize_t n;
    while ((n = read(pty.MasterFd(), b, sizeof b)) > 0) got.append(b, static_cast<size_t>(n));
    return got;
  }
  // Waits for exactly these bytes from the program.
  void ExpectSent(const std::string& want) {
    std::string got;
    WaitUntil([&] {
      got += Sent();
      return got.size() >= want.size();
    });
    EXPECT_EQ(got, want);
  }
  // The logger's sign of life, and the wait until the receive thread saw it.
  void Answer() {
    const uint8_t life = 255;
    ASSERT_EQ(write(pty.MasterFd(), &life, 1), 1);
    ASSERT_TRUE(WaitUntil([&] { return link.Decoder().LoggerAlive.load() == 1; }));
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) link.tick();
  }
  // From a fresh link to state 4, the logger answering every command.
  void Connect() {
    Open();
    Ticks(8);
    ExpectSent("0");
    Answer();
    link.tick();
    ExpectSent(std::string("1\x05", 2));
    Answer();
    link.tick();
    ExpectSent("4");
    Answer();
    link.tick();
    link.tick();
    ExpectSent("2");
    ASSERT_EQ(link.LinkState, LinkStep::Connected);
  }

  ManualClock clock{45658.5};  // 1 January 2025 12:00:00
  CaptureData data{clock};
  LoggerSettings settings;
  FakeUsb usb;
  LinkSupervisor link{data, settings, usb, clock};
  sim::PseudoTerminal pty;
};

TEST_F(LinkSupervisorTest, ProbesEveryTwoSecondsUntilAnswered) {
  Open();
  Ticks(7);
  EXPECT_EQ(Sent(), "");
  link.tick();
  ExpectSent("0");
  Ticks(7);
  EXPECT_EQ(Sent(), "");
  link.tick();
  ExpectSent("0");
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_FALSE(link.View().captureEnabled);
  EXPECT_EQ(link.View().loggerText, "NO Logger");
}

TEST_F(LinkSupervisorTest, ReachesStateFourInFourTicksAfterTheFirstAnswer) {
  Open();
  Ticks(8);
  ExpectSent("0");
  Answer();
  link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::DebounceSent);
  ExpectSent(std::string("1\x05", 2));
  Answer();
  link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::AcModeSent);
  ExpectSent("4");
  Answer();
  link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::AcModeTaken);
  EXPECT_EQ(Sent(), "");  // state 2 only waits
  link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  ExpectSent("2");
  EXPECT_TRUE(link.View().captureEnabled);
  EXPECT_FALSE(link.View().capturePressed);
  // "Logger OK" from the next once-a-second refresh on.
  while (!link.tick().statusRefreshed) {
  }
  EXPECT_EQ(link.View().loggerText, "Logger OK");
  EXPECT_EQ(link.View().clockText, "12:00:00");
  EXPECT_EQ(link.View().capStatText, "");
}

TEST_F(LinkSupervisorTest, DebounceZeroAndAcInputsAreSentAsSuch) {
  settings.Debounce = 0;
  settings.ACSignals = true;
  Open();
  Ticks(8);
  ExpectSent("0");
  Answer();
  link.tick();
  ExpectSent(std::string("1\0", 2));
  Answer();
  link.tick();
  ExpectSent("3");
}

TEST_F(LinkSupervisorTest, MissingAnswerToDebounceFallsBackOneTickLater) {
  Open();
  Ticks(8);
  ExpectSent("0");
  Answer();
  link.tick();
  ExpectSent(std::string("1\x05", 2));
  link.tick();  // no 255 came
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(Sent(), "");
  // Probes again 8 ticks after the debounce command.
  Ticks(7);
  EXPECT_EQ(Sent(), "");
  link.tick();
  ExpectSent("0");
}

TEST_F(LinkSupervisorTest, AnsweringLoggerIsProbedEveryFiveSeconds) {
  Connect();
  Answer();  // the answer to the start command
  Ticks(19);
  EXPECT_EQ(Sent(), "");
  link.tick();
  ExpectSent("0");
  Answer();
  Ticks(19);
  link.tick();
  ExpectSent("0");
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
}

TEST_F(LinkSupervisorTest, SilentLoggerIsLostTwentyTicksAfterTheLastCommand) {
  Connect();  // the start command goes unanswered
  Ticks(19);
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_FALSE(link.View().captureEnabled);
  while (!link.tick().statusRefreshed) {
  }
  EXPECT_EQ(link.View().loggerText, "NO Logger");
}

TEST_F(LinkSupervisorTest, UnpluggedLoggerKeepsTheCaptureAndShowsNoLogger) {
  Connect();
  data.SetCapture(true);
  const uint8_t transitions[] = {0x80, 0x81, 0x00};
  ASSERT_EQ(write(pty.MasterFd(), transitions, 3), 3);
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 3; }));
  pty.Close();
  ASSERT_TRUE(WaitUntil([&] { return link.Comms()->LineFailed(); }));
  int ticks = 0;
  do {
    link.tick();
    ++ticks;
  } while (link.View().loggerText != "NO Logger" && ticks < 100);
  EXPECT_LE(ticks, 4);  // within a second of noticing, not after 5 to 10
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(data.Capturing.load(), 1);
  EXPECT_TRUE(link.View().captureEnabled);  // the capture can still be stopped
  EXPECT_TRUE(link.View().capturePressed);
  EXPECT_EQ(link.View().capStatText, "Capturing [3 events]");
  Ticks(40);  // probing a dead line does no harm
  data.SetCapture(false);
  EXPECT_EQ(data.Store.Count(), 3u);
  while (!link.tick().statusRefreshed) {
  }
  EXPECT_EQ(link.View().capStatText, "Captured: 3 events");
  EXPECT_FALSE(link.View().captureEnabled);
}

// Changes that keep coming prove the link though the logger's answers are
// late behind them: it is probed again, never called lost.
TEST_F(LinkSupervisorTest, AStreamingLoggerIsNotLostWhileItsBytesArrive) {
  Connect();  // the start command and every probe go unanswered
  for (int i = 0; i < 60; ++i) {
    const uint8_t change = i % 2 == 0 ? 0x80 : 0x00;
    const uint32_t before = link.Decoder().BytesSeen();
    ASSERT_EQ(write(pty.MasterFd(), &change, 1), 1);
    ASSERT_TRUE(WaitUntil([&] { return link.Decoder().BytesSeen() != before; }));
    link.tick();
    ASSERT_EQ(link.LinkState, LinkStep::Connected) << "tick " << i;
  }
  EXPECT_EQ(Sent(), "000");  // probed every twenty ticks
  int ticks = 0;  // silent from now on: lost within two probe periods
  while (link.LinkState == LinkStep::Connected && ticks < 100) {
    link.tick();
    ++ticks;
  }
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_LE(ticks, 40);
}

// A gap in the record runs from the last byte before the loss to the first
// after it, however long finding the loss and configuring took.
TEST_F(LinkSupervisorTest, AGapRunsFromTheLastByteBeforeToTheFirstAfter) {
  Connect();
  data.SetCapture(true);
  const double lastByte = 45658.6, found = 45658.7, firstByte = 45658.8, configured = 45658.9;
  clock.Set(lastByte);
  const uint8_t change = 0x81;
  ASSERT_EQ(write(pty.MasterFd(), &change, 1), 1);
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 1; }));
  pty.Close();
  ASSERT_TRUE(WaitUntil([&] { return link.Comms()->LineFailed(); }));
  clock.Set(found);
  link.tick();
  ASSERT_EQ(link.LinkState, LinkStep::Searching);
  ASSERT_EQ(link.Gaps().Gaps().size(), 1u);
  EXPECT_EQ(link.Gaps().Gaps()[0].lostAt, lastByte);
  // Plugged back: the port is opened again and probed; the answer is the
  // first byte after the gap.
  std::string error;
  ASSERT_TRUE(pty.Open(error)) << error;
  std::string sent;
  for (int i = 0; i < 100 && sent.empty(); ++i) {
    link.tick();
    sent = Sent();
  }
  ASSERT_EQ(sent, "0");
  clock.Set(firstByte);
  Answer();
  clock.Set(configured);
  for (int i = 0; i < 4; ++i) {
    link.tick();
    if (link.LinkState < LinkStep::AcModeTaken) Answer();
  }
  ASSERT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(link.Gaps().Gaps()[0].backAt, firstByte);
  data.SetCapture(false);
}

TEST_F(LinkSupervisorTest, RepaintIsRequestedOncePerChange) {
  Open();
  link.tick();
  EXPECT_FALSE(link.View().repaintGrid);
  const uint8_t high = 0x85;
  ASSERT_EQ(write(pty.MasterFd(), &high, 1), 1);
  ASSERT_TRUE(WaitUntil([&] { return data.States.Level(6) == 1; }));
  EXPECT_TRUE(link.tick().repaintGrid);
  EXPECT_FALSE(link.tick().repaintGrid);
  EXPECT_TRUE(link.View().layoutChart);
}

TEST_F(LinkSupervisorTest, RestartReopensTheSamePortAndStartsOver) {
  Connect();
  link.RestartLink();
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(usb.scans, 1);
  ASSERT_TRUE(link.Comms() && link.Comms()->IsOpen());
  Ticks(8);
  ExpectSent("0");
}

// No device behind the port: nothing reported, nothing enabled.
TEST(LinkSupervisorNoPort, MissingPortShowsNoLogger) {
  ManualClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link(data, settings, usb, clock);
  link.SetDeviceResolver([](uint8_t) { return std::string("/dev/korvalog-no-such-port"); });
  link.OpenSerialLink();
  ASSERT_NE(link.Comms(), nullptr);
  EXPECT_FALSE(link.Comms()->IsOpen());
  for (int i = 0; i < 40; ++i) link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Searching);
  EXPECT_EQ(link.View().loggerText, "NO Logger");
  EXPECT_FALSE(link.View().captureEnabled);
  // While capturing the button stays usable and pressed.
  data.SetCapture(true);
  link.tick();
  EXPECT_TRUE(link.View().captureEnabled);
  EXPECT_TRUE(link.View().capturePressed);
}

TEST(LinkSupervisorUsb, UsbLoggerAloneConnectsAndStaysConnected) {
  ManualClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kLoggerUsb;
  settings.Debounce = 255;
  FakeUsb usb;
  LinkSupervisor link(data, settings, usb, clock);
  link.RestartLink();
  EXPECT_EQ(link.Comms(), nullptr);  // no serial link for the USB logger
  EXPECT_EQ(usb.scans, 1);
  // No device: after 8 ticks a scan on every tick.
  for (int i = 0; i < 7; ++i) link.tick();
  EXPECT_EQ(usb.scans, 1);
  link.tick();
  link.tick();
  EXPECT_EQ(usb.scans, 3);
  usb.devices = 1;
  link.tick();
  ASSERT_EQ(usb.configs.size(), 1u);
  EXPECT_EQ(usb.configs[0], (std::pair<uint16_t, bool>{255, false}));
  link.tick();
  link.tick();
  EXPECT_EQ(usb.starts, 0);
  link.tick();
  EXPECT_EQ(usb.starts, 1);
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  for (int i = 0; i < 100; ++i) link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  // The last device goes: the next tick rescans (finds none) and repaints.
  usb.devices = 0;
  usb.lost = true;
  EXPECT_TRUE(link.tick().repaintGrid);
  EXPECT_EQ(link.LinkState, LinkStep::Searching);  // the tick counter had long reached 20
}

TEST(LinkSupervisorUsb, SerialTypeWithAUsbLoggerGetsNoStartReport) {
  ManualClock clock;
  CaptureData data(clock);
  LoggerSettings settings;
  FakeUsb usb;
  usb.devices = 1;
  LinkSupervisor link(data, settings, usb, clock);
  link.SetDeviceResolver([](uint8_t) { return std::string("/dev/korvalog-no-such-port"); });
  link.OpenSerialLink();
  for (int i = 0; i < 4; ++i) link.tick();
  EXPECT_EQ(link.LinkState, LinkStep::Connected);
  EXPECT_EQ(usb.configs.size(), 1u);
  EXPECT_EQ(usb.starts, 0);
}

TEST(LinkSupervisorStore, StopByAFullStoreIsToldOnTheTickAndReleasesTheButton) {
  struct Watcher : CaptureObserver {
    int stops = 0;
    void CaptureStopped() override { ++stops; }
  } watcher;
  ManualClock clock;
  CaptureData data(clock);
  data.AddObserver(&watcher);
  LoggerSettings settings;
  NoUsbLoggers usb;
  LinkSupervisor link(data, settings, usb, clock);
  data.SetCapture(true);
  {
    std::lock_guard<TransitionMutex> hold(data.TransitionLock());
    for (uint32_t i = 0; i < kEventCapacity; ++i) {
      data.ApplyTransition(1.0, static_cast<uint8_t>(1 + i % 2), static_cast<uint8_t>((i / 2 + 1) % 2));
    }
  }
  EXPECT_EQ(data.Capturing.load(), 0);
  EXPECT_EQ(watcher.stops, 0);
  link.tick();
  EXPECT_EQ(watcher.stops, 1);
  EXPECT_FALSE(link.View().capturePressed);
  while (!link.tick().statusRefreshed) {
  }
  EXPECT_EQ(link.View().capStatText, "Captured: 1048576 events");
}

}  // namespace
}  // namespace korvalog
