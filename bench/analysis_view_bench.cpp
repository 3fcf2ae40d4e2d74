// The analysis windows over the full store, on the offscreen platform:
// opening the Statistics window (accumulate, build the table, first paint)
// and one Sequencer edit (the strip pass it asks for and the repaint), each
// next to the bare loop of the same iteration.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <memory>

#include "analysis/qt/sequence_grid.h"
#include "app/qt/chart_hookup.h"
#include "bench_application.h"
#include "full_capture.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

// Opening the window with 15-minute intervals (the most cells); `changed`:
// the events count as changed before each opening (as an edit in place), so
// it accumulates and builds the table, as every opening did before the table
// was kept. Otherwise the table of the first opening is kept.
void OpenStatisticsWindow(benchmark::State& state, bool changed) {
  EnsureBenchApplication();
  TStatisticsForm form(Capture().data, Capture().view);
  form.cbInterval()->setCurrentIndex(0);
  AgainstBareLoop(state, [&](const CaptureData&) {
    if (changed) Capture().data.Store.MutableData();
    form.show();
    benchmark::DoNotOptimize(form.grab());
    form.hide();
  });
}

void BM_StatisticsWindowOpen(benchmark::State& state) { OpenStatisticsWindow(state, false); }
void BM_StatisticsWindowOpenChanged(benchmark::State& state) { OpenStatisticsWindow(state, true); }

// The chart at the main window's size, zoomed to the whole capture; the
// edit's strip pass walks every event.
void BM_SequencerEdit(benchmark::State& state) {
  EnsureBenchApplication();
  LoggerSettings settings;
  ChartPanel chart(Capture().data, Capture().view, settings);
  TSequenceForm form(Capture().data, Capture().view, settings);
  TStatisticsForm statistics(Capture().data, Capture().view);
  HookAnalysisWindows(chart, form, statistics);
  chart.resize(569, 480);
  chart.show();
  chart.DataLoaded();
  chart.Tick();
  form.show();
  TSequenceGrid* grid = form.gSequence();
  grid->SetCurrent(1, kSeqColEvent);
  AgainstBareLoop(state, [&](const CaptureData&) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);  // flips row 1's event: a strip pass
    grid->repaint();
    chart.Strip()->repaint();
  });
  form.close();
}

BENCHMARK(BM_StatisticsWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsWindowOpenChanged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequencerEdit)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
