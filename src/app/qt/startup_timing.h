#pragma once
// For the start-up benchmark: with KORVALOG_TIMING set, the program prints
// to standard error the wall-clock time of its first chart painting after
// the start-up load ("korvalog-timing: first-chart-paint-epoch-ms=..."), and
// with KORVALOG_TIMING=exit it then quits. KORVALOG_TIMING_SHOT=PNG saves
// what the window shows at that moment. The same line gives the moments of
// the start-up's phases, in milliseconds since main(), so that a slow start
// can be laid at the door of one of them.
#include <QObject>
#include <array>
#include <chrono>

namespace korvalog {

class TMainForm;

class StartupTiming : public QObject {
 public:
  StartupTiming();
  // Notes that a phase of the start-up ended now (a fixed text).
  void Mark(const char* phase);
  // Watches the main window's chart for its first painting.
  void Watch(TMainForm& main);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Report();
  void MarkAfterQueued(const char* phase, int hops);

  struct Phase {
    const char* name;
    double ms;
  };

  bool enabled_ = false;
  bool exitAfter_ = false;
  bool done_ = false;
  bool shown_ = false;
  bool firstPaint_ = false;
  TMainForm* main_ = nullptr;
  std::chrono::steady_clock::time_point started_;
  std::array<Phase, 12> phases_{};
  size_t phaseCount_ = 0;
};

}  // namespace korvalog
