#pragma once
// A capture running at 10,000 events per second over 128 channels with the
// live chart beside it, for the live chart's benchmarks.
#include <cstdint>

#include "base/date_time.h"
#include "chart/chart_state.h"
#include "chart/live_chart.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

constexpr double kLiveRate = 10000.0;       // events per second
constexpr uint32_t kLiveFrameEvents = 2500;  // what one 250 ms tick finds

// Two 128-byte reads a 96-channel logger could send: a change on every channel
// in turn, never the 0xFF that starts a status line.
inline void FillLoggerChunks(uint8_t (&chunks)[2][128]) {
  for (int i = 0; i < 128; ++i) {
    chunks[0][i] = static_cast<uint8_t>(0x80 | (i & 0x7F));
    chunks[1][i] = static_cast<uint8_t>(i & 0x7F);
    if (chunks[0][i] == 0xFF) chunks[0][i] = 0xFE;
  }
}

struct LiveCapture {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  ChartState state{data, view};
  LiveChart live{state};
  uint8_t levels[kChannelCount] = {};
  uint32_t seed = 777;
  double t = 45658.25;

  // A running capture that holds `records` already, read by one frame.
  explicit LiveCapture(uint32_t records, bool withChart = true, double start = 45658.25) {
    t = start;
    SetStartupDefaults(data, view);
    view.Traces.SetSearch(1, kSearchHigh);
    view.Traces.SetSearch(2, kSearchLow);
    clock.Set(t);
    data.StartCapture();
    if (withChart) {
      state.CaptureStarted();
      live.Start();
      state.LayoutChart(0, {23, 66, 20, 20, 1000});
    }
    Arrive(records);
    if (withChart) live.Frame();
  }

  // `n` events arrive as the receiving side applies them; the clock follows.
  void Arrive(uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const int c = static_cast<int>((seed >> 24) % kChannelCount);
      t += 1.0 / kLiveRate / kSecondsPerDay;
      levels[c] ^= 1;
      data.ApplyTransition(t, static_cast<uint8_t>(c + 1), levels[c]);
    }
    clock.Set(t);
  }
};

}  // namespace korvalog
