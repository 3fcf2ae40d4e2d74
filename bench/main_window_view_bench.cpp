// The main window's 250 ms tick when there is nothing to do (no logger, no
// capture, a laid-out chart of a loaded capture): the link supervisor's step
// alone as the baseline, then the whole tick the window runs.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

#include "app/qt/main_form.h"
#include "bench_application.h"
#include "chart/qt/chart_panel.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "transport/usb_loggers.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

struct IdleWindow {
  IdleWindow() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    SetStartupDefaults(data, view);
    // A small capture, laid out once, so the tick has a chart to keep.
    data.SetCapture(true);
    for (int i = 0; i < 1000; ++i) data.ApplyTransition(45658.5 + i / 86400.0, 1 + i % 17, i / 17 % 2);
    data.SetCapture(false);
    data.DataModified.store(0);
    main = std::make_unique<TMainForm>(MainFormContext{data, view, settings, usb, clock, markup, true, nullptr, std::nullopt});
    main->Timer().stop();
    main->show();
    main->Chart().DataLoaded();
    main->TimerTimer();
    QApplication::processEvents();
  }
  QTemporaryDir config;
  ManualClock clock{45658.5};
  CaptureData data{clock};
  CaptureView view;
  LoggerSettings settings;
  NoUsbLoggers usb;
  MarkupStyle markup;
  std::unique_ptr<TMainForm> main;
};

IdleWindow& Window() {
  EnsureBenchApplication();
  static IdleWindow& window = KeepUntilClose(std::make_unique<IdleWindow>());
  return window;
}

void BM_IdleTickLinkOnly(benchmark::State& state) {
  IdleWindow& w = Window();
  for (auto _ : state) benchmark::DoNotOptimize(w.main->Link().tick());
}

void BM_IdleTickWholeWindow(benchmark::State& state) {
  IdleWindow& w = Window();
  for (auto _ : state) w.main->TimerTimer();
}

BENCHMARK(BM_IdleTickLinkOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleTickWholeWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvalog
