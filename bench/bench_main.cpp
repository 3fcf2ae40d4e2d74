// korvalog-bench with the on-screen benchmarks: the library's own main, but
// the windows and the application close before main returns.
#include <benchmark/benchmark.h>

#include "bench_application.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  korvalog::CloseBenchApplication();
  return 0;
}
