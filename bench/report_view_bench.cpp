// The Report window over the full store on the offscreen platform (compute,
// plots, tables, first paint) and the report's PDF, each next to the bare
// loop of the same iteration.
#include <benchmark/benchmark.h>

#include "analysis/qt/report_document.h"
#include "analysis/qt/report_form.h"
#include "app/demo_logger.h"
#include "bench_application.h"
#include "full_capture.h"

namespace korvalog {
namespace {

ChannelRoles ViewLiftRoles() {
  ChannelTable names;
  ResetChannelTable(names);
  NameLiftChannels(names);
  return LiftRoles(names);
}

void BM_ReportWindowOpen(benchmark::State& state) {
  EnsureBenchApplication();
  CaptureData& data = Capture().data;
  CaptureView& view = Capture().view;
  const ChannelRoles saved = view.Traces.Roles();
  view.Traces.SetRoles(ViewLiftRoles());
  TReportForm form(data, view);
  AgainstBareLoop(state, [&](const CaptureData&) {
    form.show();  // computes the report, builds plots and tables
    benchmark::DoNotOptimize(form.grab());
    form.hide();
  });
  view.Traces.SetRoles(saved);
}

void BM_ReportPdf(benchmark::State& state) {
  EnsureBenchApplication();
  const CaptureView& view = Capture().view;
  LiftReport report;
  const ChannelRoles roles = ViewLiftRoles();
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    benchmark::DoNotOptimize(ReportPdf(report, view.Traces, ReportHeading{"full store"}).size());
  });
}

BENCHMARK(BM_ReportWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdf)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
