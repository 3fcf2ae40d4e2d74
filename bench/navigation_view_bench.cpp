// Navigation steps on the window's chart over the full store (1,048,576
// events, 128 channels, a 1000-pixel waveform column), each timed from the
// input event sent to the grid to the end of the synchronous repaint of grid
// and strip (wall clock, and the thread's processor time), next to one bare
// read of every event in the same run. One frame is 16 ms.
#include <benchmark/benchmark.h>

#include <QKeyEvent>
#include <QWheelEvent>
#include <chrono>
#include <functional>
#include <memory>

#include "bench_application.h"
#include "chart/qt/chart_panel.h"
#include "full_capture.h"

namespace korvalog {
namespace {

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct NavigationChart {
  ManualClock clock;
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  std::unique_ptr<ChartPanel> panel;

  NavigationChart() {
    EnsureBenchApplication();
    FillFullStore(data, 9090);
    view.Traces.SetSearch(1, kSearchHigh);
    view.Traces.SetSearch(2, kSearchLow);
    view.Sequence[0] = SequenceRow{1, 1, 0, 5};
    view.Sequence[1] = SequenceRow{2, 1, 1, 0};
    panel = std::make_unique<ChartPanel>(data, view, settings);
    panel->resize(1180, 700);
    panel->show();
    panel->Grid()->SetColumnWidth(4, 1000);
    panel->DataLoaded();
    panel->Tick();
    panel->Grid()->SetCurrentCell(4, 1);
    panel->Navigator().Index();     // built once per load
    panel->Navigator().Findings();  // found once per search
  }
  void Paint() {
    panel->Grid()->repaint();
    panel->Strip()->repaint();
    panel->Stats()->repaint();
  }
};

NavigationChart& Chart() {
  static NavigationChart& chart = KeepUntilClose(std::make_unique<NavigationChart>());
  return chart;
}

void SendWheel(QWidget* grid, QPoint at, int delta, Qt::KeyboardModifiers mods) {
  QWheelEvent event(QPointF(at), QPointF(grid->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid, &event);
}

void SendKey(QWidget* grid, int key, Qt::KeyboardModifiers mods) {
  QKeyEvent event(QEvent::KeyPress, key, mods);
  QApplication::sendEvent(grid, &event);
}

// Times `step(i)` plus the repaint, against a bare read, for each iteration.
void TimeSteps(benchmark::State& state, const std::function<void(uint64_t)>& step) {
  NavigationChart& c = Chart();
  double bare = 0, timed = 0, worst = 0, cpu = 0;
  uint64_t n = 0;
  for (auto _ : state) {
    const double t0 = WallSeconds();
    benchmark::DoNotOptimize(BareRead(c.data));
    const double t1 = WallSeconds();
    const double c1 = ThreadSeconds();
    step(n);
    c.Paint();
    cpu += ThreadSeconds() - c1;
    const double t2 = WallSeconds();
    state.SetIterationTime(t2 - t1);
    bare += t1 - t0;
    timed += t2 - t1;
    worst = std::max(worst, t2 - t1);
    ++n;
  }
  state.counters["bare_ms"] = bare / n * 1e3;
  state.counters["step_ms"] = timed / n * 1e3;
  state.counters["x_bare"] = bare > 0 ? timed / bare : 0;
  state.counters["worst_ms"] = worst * 1e3;
  // The thread's own time: what the step costs when the machine is not shared.
  state.counters["cpu_ms"] = cpu / n * 1e3;
  state.counters["frame_ms"] = 16;
}

void BM_NavWheelZoomInAndOut(benchmark::State& state) {
  NavigationChart& c = Chart();
  c.panel->Navigator().ShowWindow(c.data.CaptureStart.time, c.data.CaptureEnd.time, false);
  const QPoint at(c.panel->State().StripLeft + 300, 200);
  TimeSteps(state, [&](uint64_t i) {
    // In three notches, out three notches: the whole capture every other step.
    SendWheel(c.panel->Grid(), at, i % 2 == 0 ? 360 : -360, Qt::ControlModifier);
  });
}

void BM_NavShiftWheelPan(benchmark::State& state) {
  NavigationChart& c = Chart();
  const double span = (c.data.CaptureEnd.time - c.data.CaptureStart.time) / 3;
  c.panel->Navigator().ShowWindow(c.data.CaptureStart.time + span, c.data.CaptureStart.time + 2 * span, false);
  const QPoint at(c.panel->State().StripLeft + 300, 200);
  TimeSteps(state, [&](uint64_t i) { SendWheel(c.panel->Grid(), at, i % 2 == 0 ? 120 : -120, Qt::ShiftModifier); });
}

void BM_NavGoToTime(benchmark::State& state) {
  NavigationChart& c = Chart();
  const double start = c.data.CaptureStart.time, whole = c.data.CaptureEnd.time - start;
  c.panel->Navigator().ShowWindow(start, start + whole / 10, false);
  TimeSteps(state, [&](uint64_t i) { c.panel->GoTo(start + whole * (0.2 + 0.6 * ((i * 37) % 100) / 100.0)); });
}

void BM_NavNextEdge(benchmark::State& state) {
  NavigationChart& c = Chart();
  const double start = c.data.CaptureStart.time, whole = c.data.CaptureEnd.time - start;
  c.panel->Navigator().ShowWindow(start, start + whole / 1000, false);
  TimeSteps(state, [&](uint64_t i) {
    if (i % 4000 == 3999) c.panel->Navigator().ShowWindow(start, start + whole / 1000, false);
    SendKey(c.panel->Grid(), Qt::Key_Right, Qt::ControlModifier);
  });
}

void BM_NavNextMatch(benchmark::State& state) {
  NavigationChart& c = Chart();
  const double start = c.data.CaptureStart.time, whole = c.data.CaptureEnd.time - start;
  c.panel->Navigator().ShowWindow(start, start + whole / 1000, false);
  TimeSteps(state, [&](uint64_t i) {
    if (i % 4000 == 3999) c.panel->Navigator().ShowWindow(start, start + whole / 1000, false);
    c.panel->StepFinding(true);
  });
}

// The keys, each sent to the grid as a key press: + and -, Left and Right,
// Home and End in turn over a tenth of the capture; Backspace after a zoom.
void TimeKeys(benchmark::State& state, int forward, int back) {
  NavigationChart& c = Chart();
  const double start = c.data.CaptureStart.time, whole = c.data.CaptureEnd.time - start;
  c.panel->Navigator().ShowWindow(start + whole * 0.4, start + whole * 0.5, false);
  TimeSteps(state, [&](uint64_t i) { SendKey(c.panel->Grid(), i % 2 == 0 ? forward : back, Qt::NoModifier); });
}

void BM_NavKeyZoomPlusMinus(benchmark::State& state) { TimeKeys(state, Qt::Key_Plus, Qt::Key_Minus); }
void BM_NavKeyPanLeftRight(benchmark::State& state) { TimeKeys(state, Qt::Key_Right, Qt::Key_Left); }
void BM_NavKeyHomeEnd(benchmark::State& state) { TimeKeys(state, Qt::Key_End, Qt::Key_Home); }

void BM_NavBackspacePreviousZoom(benchmark::State& state) {
  NavigationChart& c = Chart();
  const double start = c.data.CaptureStart.time, whole = c.data.CaptureEnd.time - start;
  c.panel->Navigator().ShowWindow(start + whole * 0.4, start + whole * 0.5, false);
  TimeSteps(state, [&](uint64_t i) {
    // Every other step zooms in (a history entry); the next one goes back.
    if (i % 2 == 0) c.panel->Navigator().ShowWindow(start + whole * 0.42, start + whole * 0.45, true);
    else SendKey(c.panel->Grid(), Qt::Key_Backspace, Qt::NoModifier);
  });
}

BENCHMARK(BM_NavWheelZoomInAndOut)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavShiftWheelPan)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavGoToTime)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavNextEdge)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavNextMatch)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavKeyZoomPlusMinus)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavKeyPanLeftRight)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavKeyHomeEnd)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavBackspacePreviousZoom)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
