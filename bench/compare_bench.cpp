// Comparing two full stores (1,048,576 events each, the first 23 channels
// with a lift's roles): the comparison as korvalog-cli compare makes it (two
// reports, the comparison, the CSV) next to the two reports alone, and both
// next to the bare read of every byte of both stores in the same run.
#include <benchmark/benchmark.h>

#include <memory>

#include "analysis/compare_csv.h"
#include "analysis/lift_report.h"
#include "analysis/report_compare.h"
#include "app/demo_logger.h"
#include "full_capture.h"

namespace korvalog {
namespace {

struct SecondCapture {
  ManualClock clock;
  CaptureData data{clock};
  SecondCapture() { FillFullStore(data, 777); }
};

const CaptureData& Second() {
  static std::unique_ptr<SecondCapture> second(new SecondCapture);
  return second->data;
}

ChannelRoles CompareRoles() {
  ChannelTable names;
  ResetChannelTable(names);
  NameLiftChannels(names);
  return LiftRoles(names);
}

template <class Pass>
void AgainstBareReadOfBoth(benchmark::State& state, Pass&& pass) {
  const CaptureData& a = Capture().data;
  const CaptureData& b = Second();
  double bare = 0, timed = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    benchmark::DoNotOptimize(BareRead(a) + BareRead(b));
    const double t1 = ThreadSeconds();
    pass(a, b);
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t2 - t1);
    bare += t1 - t0;
    timed += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare / n * 1e3;
  state.counters["pass_ms"] = timed / n * 1e3;
  state.counters["x_bare"] = bare > 0 ? timed / bare : 0;
}

void BM_TwoReports(benchmark::State& state) {
  const ChannelRoles roles = CompareRoles();
  LiftReport before, after;
  AgainstBareReadOfBoth(state, [&](const CaptureData& a, const CaptureData& b) {
    before.Compute(a, Capture().view.Sequence, roles);
    after.Compute(b, Capture().view.Sequence, roles);
    benchmark::DoNotOptimize(after.health.channels.data());
  });
}

// What korvalog-cli compare --format csv does once the files are read.
void BM_CompareTwoCaptures(benchmark::State& state) {
  const ChannelRoles roles = CompareRoles();
  TraceList names;
  names.SetRoles(roles);
  LiftReport before, after;
  size_t rows = 0;
  AgainstBareReadOfBoth(state, [&](const CaptureData& a, const CaptureData& b) {
    before.Compute(a, Capture().view.Sequence, roles);
    after.Compute(b, Capture().view.Sequence, roles);
    const ReportComparison c = CompareReports(before, names, after, names, ReportTargets());
    rows = c.rows.size();
    benchmark::DoNotOptimize(CompareCsv(c).size());
  });
  state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_TwoReports)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareTwoCaptures)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
