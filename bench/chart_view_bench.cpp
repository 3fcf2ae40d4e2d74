// The chart on screen over a full store (1,048,576 events, 128 channels):
// the waveform images drawn from the plan next to the plan alone, one
// repaint of the visible grid and strip, and the events read while a
// selection handle and a cursor are dragged (none are expected).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <time.h>

#include <memory>

#include "base/date_time.h"
#include "bench_application.h"
#include "chart/chart_state.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_painting.h"
#include "chart/qt/chart_panel.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "full_capture.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

struct FullChart {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;

  FullChart() {
    FillFullStore(data, 4242);
    view.Traces.SetSearch(1, kSearchHigh);
  }
};

FullChart& Chart() {
  static std::unique_ptr<FullChart> chart(new FullChart);
  return *chart;
}

void BM_WaveformImagesAgainstPlan1000px(benchmark::State& state) {
  EnsureBenchApplication();
  const CaptureData& data = Chart().data;
  WaveformPlan plan;
  WaveformImages images;
  StoreSummary blocks;
  blocks.Follow(data.Store);
  double planTime = 0, imageTime = 0, summedTime = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    RenderWaveforms(data, data.CaptureStart, data.CaptureEnd, 1000, plan);
    const double t1 = ThreadSeconds();
    images.Render(plan, kDefaultRowHeight, 0, 1);
    for (int c = 1; c <= kChannelCount; ++c) benchmark::DoNotOptimize(images.Image(c).constBits());
    const double t2 = ThreadSeconds();
    // The same plan as the chart makes it, whole blocks in a column at once.
    RenderWaveforms(data, data.CaptureStart, data.CaptureEnd, 1000, plan, false, &blocks);
    summedTime += ThreadSeconds() - t2;
    state.SetIterationTime(t2 - t0);
    planTime += t1 - t0;
    imageTime += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plan_ms"] = planTime / n * 1e3;
  state.counters["plan_by_blocks_ms"] = summedTime / n * 1e3;
  state.counters["images_ms"] = imageTime / n * 1e3;
  state.counters["x_plan"] = (planTime + imageTime) / planTime;  // plan and images over the plan alone
}

// Summing the full store up in blocks, as the first view of a loaded file
// does, next to a bare read of the same records.
void BM_StoreSummaryOfFullStore(benchmark::State& state) {
  const CaptureData& data = Chart().data;
  double summing = 0, bare = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    StoreSummary blocks;
    blocks.Follow(data.Store);
    benchmark::DoNotOptimize(blocks.At(data.Store.Data(), 0));
    const double t1 = ThreadSeconds();
    benchmark::DoNotOptimize(BareRead(data));
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t1 - t0);
    summing += t1 - t0;
    bare += t2 - t1;
  }
  state.counters["sum_ms"] = summing / state.iterations() * 1e3;
  state.counters["bare_ms"] = bare / state.iterations() * 1e3;
}

// A panel of a 1000-pixel waveform column, laid out once; then one repaint
// of the visible grid and of the strip, as the widgets paint them.
struct ShownPanel {
  std::unique_ptr<ChartPanel> panel;
  ShownPanel() {
    EnsureBenchApplication();
    FullChart& c = Chart();
    panel = std::make_unique<ChartPanel>(c.data, c.view, c.settings);
    panel->resize(1180, 700);
    panel->Grid()->setGeometry(0, kSummaryHeight, 1180, 700 - kSummaryHeight);
    panel->Grid()->SetColumnWidth(4, 1000);
    panel->DataLoaded();
    panel->Tick();
  }
};

ShownPanel& Panel() {
  static ShownPanel& shown = KeepUntilClose(std::make_unique<ShownPanel>());
  return shown;
}

void BM_RepaintVisibleGridAndStrip(benchmark::State& state) {
  ChartPanel& panel = *Panel().panel;
  const QSize gridSize = panel.Grid()->size();
  const QSize stripSize(panel.State().ZoomWidth, kStripHeight);
  QImage grid(gridSize, QImage::Format_ARGB32_Premultiplied);
  QImage strip(stripSize, QImage::Format_ARGB32_Premultiplied);
  const uint64_t read = panel.State().EventsRead();
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    {
      QPainter p(&grid);
      PaintGrid(p, panel.DrawContext(), panel.Grid()->Layout(), gridSize, panel.Grid()->TopRow());
    }
    {
      QPainter p(&strip);
      PaintZoomStrip(p, panel.DrawContext(), stripSize);
      PaintZoomStats(p, panel.DrawContext());
    }
    state.SetIterationTime(ThreadSeconds() - t0);
  }
  state.counters["wave_px"] = panel.State().WaveWidth;
  state.counters["rows"] = panel.Grid()->VisibleRows();
  state.counters["events_read"] = static_cast<double>(panel.State().EventsRead() - read);
}

void BM_DragHandleAndCursor(benchmark::State& state) {
  ChartPanel& panel = *Panel().panel;
  ChartState& s = panel.State();
  const uint64_t read = s.EventsRead();
  QImage strip(QSize(s.ZoomWidth, kStripHeight), QImage::Format_ARGB32_Premultiplied);
  int x = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    x = (x + 7) % 900;
    s.SelectionHandleMoving(SelectionHandle::Left, s.ZoomLeft + x);
    s.CursorMoved(MeasuringCursor::First, s.StripLeft + 10 + x);
    QPainter p(&strip);
    PaintZoomStrip(p, panel.DrawContext(), strip.size());
    state.SetIterationTime(ThreadSeconds() - t0);
  }
  s.SelectionHandleMoving(SelectionHandle::Left, s.ZoomLeft);
  state.counters["events_read"] = static_cast<double>(s.EventsRead() - read);
}

BENCHMARK(BM_StoreSummaryOfFullStore)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformImagesAgainstPlan1000px)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisibleGridAndStrip)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragHandleAndCursor)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvalog
