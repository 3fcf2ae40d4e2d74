// SerialLink over real pseudo-terminals: the test holds the logger's end.
#include "transport/serial_link.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/pseudo_terminal.h"
#include "sim/send_queue.h"
#include "support/wait_until.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;

using korvalog::testing::WaitUntil;

// Bytes the program wrote, read at the logger's end.
std::vector<uint8_t> ReadAtLogger(int fd, size_t want) {
  std::vector<uint8_t> got;
  WaitUntil([&] {
    uint8_t b[256];
    const ssize_t n = read(fd, b, sizeof b);
    if (n > 0) got.insert(got.end(), b, b + n);
    return got.size() >= want;
  });
  return got;
}

class CommsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
  }
  // Collects every delivered chunk.
  SerialLink::ReceiveHandler Recorder() {
    return [this](SerialLink& c) {
      std::lock_guard<std::mutex> hold(mu);
      chunks.emplace_back(c.RxBuffer, c.RxBuffer + c.RxCount);
    };
  }
  size_t ReceivedBytes() {
    std::lock_guard<std::mutex> hold(mu);
    size_t n = 0;
    for (const auto& c : chunks) n += c.size();
    return n;
  }

  sim::PseudoTerminal pty;
  std::mutex mu;
  std::vector<std::vector<uint8_t>> chunks;
};

// Tried again every few seconds from the interface thread: no thread to
// start, nor to wait for when it is let go.
TEST_F(CommsTest, MissingPortRunsNoThreadAndRefusesEverything) {
  SerialLink comms(1, "/dev/korvalog-no-such-port", Recorder());
  EXPECT_FALSE(comms.IsOpen());
  EXPECT_FALSE(comms.Receiving());
  EXPECT_FALSE(comms.Configure(1200, kParityOdd, 8, kStopBitsOne));
  EXPECT_FALSE(comms.Write("0"));
  comms.Destroy();
  EXPECT_TRUE(chunks.empty());
}

TEST_F(CommsTest, PortThatIsNotATerminalIsNotOpened) {
  char path[] = "/tmp/korvalog-comms-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "\x80\x81", 2), 2);
  close(fd);
  SerialLink comms(1, path, Recorder());
  EXPECT_FALSE(comms.IsOpen());
  EXPECT_FALSE(comms.Receiving());
  comms.Destroy();
  unlink(path);
  EXPECT_TRUE(chunks.empty());
}

TEST_F(CommsTest, SecondOpenOfABusyPortFailsAndTheFirstKeepsWorking) {
  SerialLink first(1, pty.DevicePath(), Recorder());
  ASSERT_TRUE(first.IsOpen());
  EXPECT_TRUE(first.Receiving());
  SerialLink second(1, pty.DevicePath(), nullptr);
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Write("0"));
  EXPECT_TRUE(first.Write("0"));
  EXPECT_EQ(ReadAtLogger(pty.MasterFd(), 1), std::vector<uint8_t>{'0'});
  // Closing the first frees the port again, exclusive mode included.
  first.Destroy();
  second.Destroy();
  SerialLink third(1, pty.DevicePath(), nullptr);
  EXPECT_TRUE(third.IsOpen());
}

TEST_F(CommsTest, ConfigureSetsTheLineFormatOnARawLine) {
  SerialLink comms(1, pty.DevicePath(), Recorder());
  ASSERT_TRUE(comms.IsOpen());
  EXPECT_TRUE(comms.Configure(1200, kParityOdd, 8, kStopBitsOne));
  const int fd = open(pty.DevicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  termios t{};
  // Root may open an exclusive terminal; others read the settings via /proc.
  if (fd >= 0 && tcgetattr(fd, &t) == 0) {
    EXPECT_EQ(cfgetospeed(&t), B1200);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_NE(t.c_iflag & INPCK, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    close(fd);
  }
  EXPECT_FALSE(comms.Configure(1234, kParityOdd, 8, kStopBitsOne));
  EXPECT_FALSE(comms.Configure(1200, 7, 8, kStopBitsOne));
  EXPECT_FALSE(comms.Configure(1200, kParityOdd, 9, kStopBitsOne));
  EXPECT_FALSE(comms.Configure(1200, kParityOdd, 8, kStopBitsOneAndHalf));
  EXPECT_FALSE(comms.Configure(1200, kParityOdd, 8, 3));
  EXPECT_TRUE(comms.Configure(1200, kParityNone, 5, kStopBitsOneAndHalf));
  EXPECT_TRUE(comms.Configure(9600, kParityEven, 7, kStopBitsTwo));
}

TEST_F(CommsTest, BytesThatControlATerminalPassUnchanged) {
  SerialLink comms(1, pty.DevicePath(), Recorder());
  ASSERT_TRUE(comms.IsOpen());
  const uint8_t special[] = {0x03, 0x0A, 0x0D, 0x11, 0x13, 0x1A, 0x7F, 0xFF, 0x00};
  ASSERT_EQ(write(pty.MasterFd(), special, sizeof special), static_cast<ssize_t>(sizeof special));
  ASSERT_TRUE(WaitUntil([&] { return ReceivedBytes() >= sizeof special; }));
  comms.Destroy();
  std::vector<uint8_t> all;
  for (const auto& c : chunks) all.insert(all.end(), c.begin(), c.end());
  EXPECT_EQ(all, std::vector<uint8_t>(special, special + sizeof special));
  EXPECT_FALSE(comms.Write("0"));  // after Destroy
}

// Far more than the terminal holds, written as fast as it takes it: every
// byte arrives, in order, in chunks no larger than the receive buffer.
TEST_F(CommsTest, AFastBurstArrivesWholeAndInOrder) {
  SerialLink comms(1, pty.DevicePath(), Recorder());
  ASSERT_TRUE(comms.IsOpen());
  std::vector<uint8_t> sent(300000);
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<uint8_t>(i * 7 + i / 256);
  sim::SendQueue logger;
  logger.Add(sent);
  ASSERT_TRUE(WaitUntil([&] {
    logger.Flush(pty.MasterFd());
    return ReceivedBytes() >= sent.size();
  }));
  comms.Destroy();
  std::vector<uint8_t> all;
  for (const auto& c : chunks) {
    EXPECT_GE(c.size(), 1u);
    EXPECT_LE(c.size(), SerialLink::kRxBufferSize);
    all.insert(all.end(), c.begin(), c.end());
  }
  EXPECT_TRUE(all == sent);
  EXPECT_EQ(logger.Dropped(), 0u);
}

TEST_F(CommsTest, DestroyDuringABurstWaitsForTheLastDelivery) {
  std::atomic<int> inside{0};
  std::atomic<int> calls{0};
  auto comms = std::make_unique<SerialLink>(1, pty.DevicePath(), [&](SerialLink& c) {
    inside.store(1);
    EXPECT_LE(c.RxCount, SerialLink::kRxBufferSize);
    std::this_thread::sleep_for(3ms);  // a slow consumer
    calls.fetch_add(1);
    inside.store(0);
  });
  ASSERT_TRUE(comms->IsOpen());
  std::atomic<bool> stop{false};
  std::thread logger([&] {
    uint8_t burst[64];
    for (size_t i = 0; i < sizeof burst; ++i) burst[i] = static_cast<uint8_t>(i);
    while (!stop.load()) {
      (void)!write(pty.MasterFd(), burst, sizeof burst);
      std::this_thread::sleep_for(1ms);
    }
  });
  ASSERT_TRUE(WaitUntil([&] { return calls.load() >= 5; }));
  comms->Destroy();
  EXPECT_EQ(inside.load(), 0);
  const int afterDestroy = calls.load();
  std::this_thread::sleep_for(40ms);
  EXPECT_EQ(calls.load(), afterDestroy);
  comms.reset();
  stop.store(true);
  logger.join();
}

TEST_F(CommsTest, ClosedFarEndIsReportedAsAFailedLine) {
  SerialLink comms(1, pty.DevicePath(), Recorder());
  ASSERT_TRUE(comms.IsOpen());
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(comms.LineFailed());
  pty.Close();
  EXPECT_TRUE(WaitUntil([&] { return comms.LineFailed(); }));
  EXPECT_FALSE(comms.Write("0"));
}

TEST_F(CommsTest, HundredTwentyEightChannelPairSplitAcrossChunks) {
  ManualClock clock(1000.0);
  CaptureData data(clock);
  LoggerSettings settings;
  settings.LoggerType = kLogger128;
  SerialDecoder decoder(data, settings, clock);
  std::atomic<int> delivered{0};
  SerialLink comms(1, pty.DevicePath(), [&](SerialLink& c) {
    decoder.OnReceive(c.RxBuffer, c.RxCount);
    delivered.fetch_add(1);
  });
  ASSERT_TRUE(comms.IsOpen());
  data.SetCapture(true);
  const uint8_t prefix = 254, channelByte = 9;
  ASSERT_EQ(write(pty.MasterFd(), &prefix, 1), 1);
  ASSERT_TRUE(WaitUntil([&] { return delivered.load() == 1; }));
  clock.Set(1001.0);
  ASSERT_EQ(write(pty.MasterFd(), &channelByte, 1), 1);
  ASSERT_TRUE(WaitUntil([&] { return data.Store.Count() == 1; }));
  comms.Destroy();
  EXPECT_EQ(data.Store[0].channel, 10);
  EXPECT_EQ(data.Store[0].state, 1);
  EXPECT_EQ(data.Store[0].time, 1001.0);  // the chunk that completed the pair
}

}  // namespace
}  // namespace korvalog
