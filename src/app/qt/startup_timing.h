#pragma once
// For the start-up benchmark: with KORVALOG_TIMING set, the program prints
// to standard error the wall-clock time of its first chart painting after
// the start-up load ("korvalog-timing: first-chart-paint-epoch-ms=..."), and
// with KORVALOG_TIMING=exit it then quits. KORVALOG_TIMING_SHOT=PNG saves
// what the window shows at that moment.
#include <QObject>
#include <chrono>

namespace korvalog {

class TMainForm;

class StartupTiming : public QObject {
 public:
  StartupTiming();
  // Watches the main window's chart for its first painting.
  void Watch(TMainForm& main);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Report();

  bool enabled_ = false;
  bool exitAfter_ = false;
  bool done_ = false;
  TMainForm* main_ = nullptr;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace korvalog
