#include "app/qt/startup_timing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/qt/main_form.h"
#include "chart/qt/chart_panel.h"

namespace korvalog {

StartupTiming::StartupTiming() : started_(std::chrono::steady_clock::now()) {
  const char* mode = std::getenv("KORVALOG_TIMING");
  enabled_ = mode != nullptr && *mode != '\0';
  exitAfter_ = enabled_ && std::strcmp(mode, "exit") == 0;
}

void StartupTiming::Mark(const char* phase) {
  if (!enabled_ || phaseCount_ == phases_.size()) return;
  phases_[phaseCount_++] = {phase, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count()};
}

// Marked after what is queued now has run, `hops` times over: the start-up
// load is queued when the window is first shown.
void StartupTiming::MarkAfterQueued(const char* phase, int hops) {
  QMetaObject::invokeMethod(
      this, [this, phase, hops] { hops > 1 ? MarkAfterQueued(phase, hops - 1) : Mark(phase); }, Qt::QueuedConnection);
}

void StartupTiming::Watch(TMainForm& main) {
  if (!enabled_) return;
  Mark("windows-made");
  main_ = &main;
  main.installEventFilter(this);
  // The grid and its parts: it paints the waveform cells.
  QWidget* grid = main.Chart().Grid();
  grid->installEventFilter(this);
  for (QWidget* w : grid->findChildren<QWidget*>()) w->installEventFilter(this);
}

bool StartupTiming::eventFilter(QObject* watched, QEvent* event) {
  if (!shown_ && watched == main_ && event->type() == QEvent::Show) {
    shown_ = true;
    Mark("shown");
    MarkAfterQueued("loaded", 2);  // the load was queued by the window after this filter
  }
  if (!firstPaint_ && watched == main_ && event->type() == QEvent::Paint) {
    firstPaint_ = true;
    Mark("window-painted");
  }
  // Only a painting of the laid-out chart counts.
  if (!done_ && event->type() == QEvent::Paint && main_->StartupLoadDone() &&
      main_->Chart().State().WaveWidth != 0) {
    done_ = true;
    // Reported once this painting pass has been drawn and flushed.
    QTimer::singleShot(0, this, [this] { Report(); });
  }
  return QObject::eventFilter(watched, event);
}

void StartupTiming::Report() {
  const auto epochMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
  const auto sinceMain = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_);
  std::fprintf(stderr, "korvalog-timing: first-chart-paint-epoch-ms=%lld since-main-ms=%.1f",
               static_cast<long long>(epochMs), sinceMain.count());
  for (size_t i = 0; i < phaseCount_; ++i) std::fprintf(stderr, " %s=%.1f", phases_[i].name, phases_[i].ms);
  std::fprintf(stderr, "\n");
  std::fflush(stderr);
  if (const char* shot = std::getenv("KORVALOG_TIMING_SHOT")) main_->grab().save(QString::fromLocal8Bit(shot));
  if (exitAfter_) QCoreApplication::exit(0);
}

}  // namespace korvalog
