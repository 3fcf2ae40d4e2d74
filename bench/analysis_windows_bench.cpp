// The analysis windows over the full store, on the offscreen platform:
// opening the Statistics window (accumulate, build the table, first paint)
// and one Sequencer edit (the strip pass it asks for and the repaint), each
// next to the bare loop of the same iteration.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <memory>

#include "analysis/qt/sequence_form.h"
#include "analysis/qt/sequence_grid.h"
#include "analysis/qt/statistics_form.h"
#include "chart/search_strip_plan.h"
#include "full_capture.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "korvalog-bench";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QApplication> app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto a = std::make_unique<QApplication>(argc, argv);
    QApplication::setFont(KitFont());
    return a;
  }();
  return *app;
}

void BM_StatisticsWindowOpen(benchmark::State& state) {
  App();
  TStatisticsForm form(Capture().data);
  form.cbInterval()->setCurrentIndex(0);  // 15-minute intervals: the most cells
  AgainstBareLoop(state, [&](const CaptureData&) {
    form.show();  // accumulates and builds the table
    benchmark::DoNotOptimize(form.grab());
    form.hide();
  });
}

void BM_SequencerEdit(benchmark::State& state) {
  App();
  LoggerSettings settings;
  TSequenceForm form(Capture().data, settings);
  StripPlan plan;
  form.SetOnPatternChanged([&] {
    const CaptureData& d = Capture().data;
    RenderSearchStrip(d, d.CaptureStart, d.CaptureEnd, kStripSequence, 1000, StripGeometry{}, plan);
  });
  form.show();
  TSequenceGrid* grid = form.gSequence();
  grid->SetCurrent(1, kSeqColEvent);
  AgainstBareLoop(state, [&](const CaptureData&) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);  // flips row 1's event
    benchmark::DoNotOptimize(form.grab());
  });
  form.close();
}

BENCHMARK(BM_StatisticsWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequencerEdit)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
