// korvalog-bench: the library's own main, with the floor every figure is
// measured against printed once at the head of the run; with the on-screen
// benchmarks, the windows and the application close before main returns.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "full_capture.h"
#if KORVALOG_BENCH_WINDOWS
#include "bench_application.h"
#endif

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  char floor[128];
  std::snprintf(floor, sizeof floor, "%.3f ms for %u events (warm, least of several)",
                korvalog::BareFloorSeconds() * 1e3, korvalog::Capture().data.Store.Count());
  benchmark::AddCustomContext("bare_read_floor", floor);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
#if KORVALOG_BENCH_WINDOWS
  korvalog::CloseBenchApplication();
#endif
  return 0;
}
