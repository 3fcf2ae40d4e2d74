#include "transport/serial_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvalog {
namespace {

class SerialDecoderTest : public ::testing::Test {
 protected:
  ManualClock clock{100.0};
  CaptureData data{clock};
  LoggerSettings settings;
  SerialDecoder decoder{data, settings, clock};

  void SetUp() override { data.SetCapture(true); }
  void Feed(std::vector<uint8_t> bytes) { decoder.OnReceive(bytes.data(), bytes.size()); }
  std::vector<std::tuple<double, int, int>> Events() const {
    std::vector<std::tuple<double, int, int>> out;
    for (uint32_t i = 0; i < data.Store.Count(); ++i) {
      out.emplace_back(data.Store[i].time, data.Store[i].channel, data.Store[i].state);
    }
    return out;
  }
};

TEST_F(SerialDecoderTest, NinetySixChannelForm) {
  settings.LoggerType = kLogger96;
  Feed({0x80, 0x00, 0xFF, 0x7F, 0xFE});
  EXPECT_EQ(decoder.LoggerAlive, 1);
  // 0x7F is channel 128 going low: already low, so dropped; 0xFE is 127 high.
  using E = std::tuple<double, int, int>;
  EXPECT_EQ(Events(), (std::vector<E>{{100.0, 1, 1}, {100.0, 1, 0}, {100.0, 127, 1}}));
  EXPECT_EQ(data.States.Level(128), 0);
}

TEST_F(SerialDecoderTest, HundredTwentyEightChannelForm) {
  settings.LoggerType = kLogger128;
  Feed({254, 0, 253, 0, 254, 127, 254, 255, 255, 253, 4, 7, 254, 200, 254, 1});
  using E = std::tuple<double, int, int>;
  // 254,255 lost its channel byte; 255 is life; 253,4 is channel 5 low
  // (already low); the stray 7 is dropped; 254,200 names no channel.
  EXPECT_EQ(Events(), (std::vector<E>{{100.0, 1, 1}, {100.0, 1, 0}, {100.0, 128, 1}, {100.0, 2, 1}}));
  EXPECT_EQ(decoder.LoggerAlive, 1);
  for (int ch = 1; ch <= 128; ++ch) EXPECT_LE(data.States.Level(ch), 1);
}

// An answer is taken as soon as it arrives: as a chunk's last byte, or
// where a change lost its channel byte on the line.
TEST_F(SerialDecoderTest, AnswersAreTakenAtOnceAmongChanges) {
  const struct {
    uint8_t type;
    std::vector<uint8_t> bytes;
    uint32_t events;
  } cases[] = {
      {kLogger128, {255}, 0},
      {kLogger128, {254, 3, 255}, 1},
      {kLogger128, {254, 255}, 0},
      {kLogger128, {253, 254, 255}, 0},
      {kLogger96, {0x83, 255}, 1},
  };
  for (const auto& c : cases) {
    ManualClock clock{1.0};
    CaptureData data{clock};
    settings.LoggerType = c.type;
    SerialDecoder decoder{data, settings, clock};
    data.SetCapture(true);
    decoder.OnReceive(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(decoder.LoggerAlive, 1) << c.bytes.size();
    EXPECT_EQ(data.Store.Count(), c.events) << c.bytes.size();
    EXPECT_EQ(decoder.BytesSeen(), c.bytes.size());
    EXPECT_EQ(decoder.LastByteAt(), 1.0);
  }
}

TEST_F(SerialDecoderTest, PairSplitAcrossChunksTakesTheSecondChunksTime) {
  settings.LoggerType = kLogger128;
  Feed({254, 3, 254});
  clock.Set(200.0);
  Feed({9});
  using E = std::tuple<double, int, int>;
  EXPECT_EQ(Events(), (std::vector<E>{{100.0, 4, 1}, {200.0, 10, 1}}));
}

TEST_F(SerialDecoderTest, RingWrapsOverManyChunks) {
  settings.LoggerType = kLogger128;
  // 3-byte chunks split pairs at every possible ring position.
  uint8_t level = 1;
  std::vector<uint8_t> stream;
  for (int i = 0; i < 600; ++i) {
    stream.push_back(level ? 254 : 253);
    stream.push_back(5);
    level ^= 1;
  }
  for (size_t i = 0; i < stream.size(); i += 3) {
    decoder.OnReceive(stream.data() + i, std::min<size_t>(3, stream.size() - i));
  }
  EXPECT_EQ(data.Store.Count(), 600u);
  EXPECT_EQ(decoder.Ring().Pending(), 0);
}

TEST_F(SerialDecoderTest, OtherLoggerTypeKeepsBytesPending) {
  settings.LoggerType = kLoggerUsb;
  Feed({0x80, 0x81});
  EXPECT_EQ(decoder.Ring().Pending(), 2);
  settings.LoggerType = kLogger96;
  Feed({0x82});
  EXPECT_EQ(data.Store.Count(), 3u);
}

}  // namespace
}  // namespace korvalog
