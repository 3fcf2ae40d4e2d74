// Comparing in the window over two full stores (1,048,576 events each): the
// Report window's Compare page opened from the two reports, and one chart
// frame with the reference's rows under the chart (grid, strip and the
// reference panel painted after a zoom step), each next to the bare read of
// every byte of both stores in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

#include "analysis/qt/compare_page.h"
#include "analysis/report_compare.h"
#include "app/demo_logger.h"
#include "bench_application.h"
#include "chart/qt/chart_painting.h"
#include "chart/qt/chart_panel.h"
#include "chart/qt/reference_panel.h"
#include "chart/reference_chart.h"
#include "full_capture.h"

namespace korvalog {
namespace {

struct TwoCaptures {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  ReferenceChart reference{clock};
  LiftReport before, after;
  std::unique_ptr<ChartPanel> panel;
  std::unique_ptr<ReferencePanel> rows;

  TwoCaptures() {
    EnsureBenchApplication();
    FillFullStore(data, 4242);
    NameLiftInputs(view.Traces);
    FillFullStore(reference.Data(), 777);
    NameLiftInputs(reference.View().Traces);
    reference.Loaded("reference", view.Traces);
    reference.AlignTimeOfDay(data.CaptureStart.time);
    before.Compute(reference.Data(), view.Sequence, view.Traces.Roles());
    after.Compute(data, view.Sequence, view.Traces.Roles());
    panel = std::make_unique<ChartPanel>(data, view, settings);
    panel->resize(1180, 700);
    panel->Grid()->setGeometry(0, kSummaryHeight, 1180, 700 - kSummaryHeight);
    panel->Grid()->SetColumnWidth(4, 1000);
    panel->DataLoaded();
    panel->Tick();
    rows = std::make_unique<ReferencePanel>(*panel, reference, nullptr);
    rows->resize(1180, rows->WantedHeight(1000));
    rows->Refresh();
  }
};

TwoCaptures& Two() {
  static TwoCaptures& two = KeepUntilClose(std::make_unique<TwoCaptures>());
  return two;
}

double BareBoth() {
  const double t0 = ThreadSeconds();
  benchmark::DoNotOptimize(BareRead(Two().data) + BareRead(Two().reference.Data()));
  return ThreadSeconds() - t0;
}

void Report(benchmark::State& state, double bare, double timed) {
  const double n = static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare / n * 1e3;
  state.counters["pass_ms"] = timed / n * 1e3;
  state.counters["x_bare"] = bare > 0 ? timed / bare : 0;
}

void BM_ComparePageOpen(benchmark::State& state) {
  TwoCaptures& two = Two();
  ComparePage page;
  page.resize(900, 680);
  double bare = 0, timed = 0;
  for (auto _ : state) {
    bare += BareBoth();
    const double t0 = ThreadSeconds();
    page.Show(CompareReports(two.before, two.reference.View().Traces, two.after, two.view.Traces, ReportTargets()),
              OverlaidHistograms(two.before, two.after));
    page.show();
    benchmark::DoNotOptimize(page.grab());
    page.hide();
    const double t = ThreadSeconds() - t0;
    state.SetIterationTime(t);
    timed += t;
  }
  Report(state, bare, timed);
}

// A zoom step (the selection's start moves), then the frame: the grid, the
// strip and the reference's rows as their widgets paint them.
void ChartFrame(benchmark::State& state, bool withReference) {
  TwoCaptures& two = Two();
  ChartPanel& panel = *two.panel;
  ChartState& s = panel.State();
  const QSize gridSize = panel.Grid()->size();
  QImage grid(gridSize, QImage::Format_ARGB32_Premultiplied);
  QImage strip(QSize(s.ZoomWidth, kStripHeight), QImage::Format_ARGB32_Premultiplied);
  QImage rows(two.rows->size(), QImage::Format_ARGB32_Premultiplied);
  double bare = 0, timed = 0;
  int x = 0;
  for (auto _ : state) {
    bare += BareBoth();
    const double t0 = ThreadSeconds();
    x = (x + 37) % 600;
    s.SelectionHandleChanged(SelectionHandle::Left, s.ZoomLeft + x);
    s.RenderWaveforms();
    {
      QPainter p(&grid);
      PaintGrid(p, panel.DrawContext(), panel.Grid()->Layout(), gridSize, panel.Grid()->TopRow());
    }
    {
      QPainter p(&strip);
      PaintZoomStrip(p, panel.DrawContext(), strip.size());
    }
    if (withReference) two.rows->render(&rows);
    const double t = ThreadSeconds() - t0;
    state.SetIterationTime(t);
    timed += t;
  }
  s.SelectionHandleChanged(SelectionHandle::Left, s.ZoomLeft);
  Report(state, bare, timed);
  state.counters["reference_rows"] = withReference ? static_cast<double>(two.reference.Rows().size()) : 0.0;
}

void BM_ChartFrameWithReference(benchmark::State& state) { ChartFrame(state, true); }
// The same frame without the reference, for what the reference adds.
void BM_ChartFrameAlone(benchmark::State& state) { ChartFrame(state, false); }

BENCHMARK(BM_ComparePageOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartFrameWithReference)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartFrameAlone)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
