// Appending and serial decoding must never allocate: count every operator new.
#include <gtest/gtest.h>

#include "common/allocation_counter.h"
#include "core/capture_data.h"
#include "transport/serial_decoder.h"

namespace korvalog {
namespace {

TEST(NoAllocation, AppendAndDecode) {
  ManualClock clock(1.0);
  CaptureData data(clock);
  LoggerSettings settings;
  SerialDecoder decoder(data, settings, clock);
  data.SetCapture(true);
  uint8_t chunk96[128];
  uint8_t chunk128[128];
  for (int i = 0; i < 128; ++i) {
    chunk96[i] = static_cast<uint8_t>(i);
    chunk128[i] = static_cast<uint8_t>(i % 2 ? i / 2 : 253 + (i / 2) % 2);
  }

  const long before = testing::AllocationCount();
  for (int i = 0; i < 10000; ++i) data.ApplyTransition(i, 1 + i % 128, static_cast<uint8_t>((i / 128) & 1));
  settings.LoggerType = kLogger96;
  for (int i = 0; i < 100; ++i) {
    chunk96[0] ^= 0x80;
    decoder.OnReceive(chunk96, sizeof chunk96);
  }
  settings.LoggerType = kLogger128;
  for (int i = 0; i < 100; ++i) decoder.OnReceive(chunk128, sizeof chunk128);
  EXPECT_EQ(testing::AllocationCount() - before, 0);
  EXPECT_GT(data.Store.Count(), 10000u);
}

}  // namespace
}  // namespace korvalog
