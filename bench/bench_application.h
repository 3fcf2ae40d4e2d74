#pragma once
// The one application object of the benchmark program, made by whichever
// on-screen benchmark runs first (offscreen unless a platform is named), and
// the windows the benchmarks build once and keep between runs. main
// (bench_main.cpp) closes them, windows first, before it returns: left to
// the exit handlers, ~QApplication would run after Qt's own globals that
// were first used after it had been made, and crash.
#include <QApplication>

#include <memory>
#include <vector>

#include "ui/qt/kit_look.h"

namespace korvalog {

namespace bench_detail {

struct BenchQt {
  std::vector<std::shared_ptr<void>> kept;  // closed last kept, first
  std::unique_ptr<QApplication> app;
};

inline BenchQt& Held() {
  static BenchQt held;
  return held;
}

}  // namespace bench_detail

inline void EnsureBenchApplication() {
  bench_detail::BenchQt& held = bench_detail::Held();
  if (held.app || QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korvalog-bench";
  static char* argv[] = {name, nullptr};
  held.app = std::make_unique<QApplication>(argc, argv);
  QApplication::setFont(KitFont());
}

// Keeps what a benchmark built once (a window, a panel) until the
// application closes, and closes it before the application.
template <class T>
T& KeepUntilClose(std::unique_ptr<T> object) {
  T& kept = *object;
  bench_detail::Held().kept.push_back(std::shared_ptr<T>(std::move(object)));
  return kept;
}

// At the end of main: the kept objects, newest first, then the application.
inline void CloseBenchApplication() {
  bench_detail::BenchQt& held = bench_detail::Held();
  while (!held.kept.empty()) held.kept.pop_back();
  held.app.reset();
}

}  // namespace korvalog
