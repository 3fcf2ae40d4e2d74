// The lift report's model over the full store (1,048,576 events over 128
// channels, the first 23 with a lift's roles), next to the bare loop of the
// same iteration: every family of figures, the per-hour bins, the notes and
// the tables.
#include <benchmark/benchmark.h>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "analysis/report_plots.h"
#include "analysis/report_tables.h"
#include "app/demo_logger.h"
#include "full_capture.h"

namespace korvalog {

// The demonstration lift's roles on the first 23 channels of the full store.
inline ChannelRoles BenchLiftRoles() {
  ChannelTable names;
  ResetChannelTable(names);
  NameLiftChannels(names);
  return LiftRoles(names);
}

namespace {

void BM_LiftReportModel(benchmark::State& state) {
  const ChannelRoles roles = BenchLiftRoles();
  LiftReport report;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    benchmark::DoNotOptimize(report.health.channels.data());
  });
}

// The model with everything the window and the documents take from it.
void BM_LiftReportWithTablesAndPlots(benchmark::State& state) {
  const ChannelRoles roles = BenchLiftRoles();
  LiftReport report;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    benchmark::DoNotOptimize(ReportTables(report, Capture().view.Traces).size());
    benchmark::DoNotOptimize(ReportPlots(report).size());
  });
}

void BM_LiftReportCsv(benchmark::State& state) {
  const ChannelRoles roles = BenchLiftRoles();
  LiftReport report;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    benchmark::DoNotOptimize(ReportCsv(report).size());
  });
}

BENCHMARK(BM_LiftReportModel)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiftReportWithTablesAndPlots)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiftReportCsv)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
