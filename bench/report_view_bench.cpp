// The Report window over the full store on the offscreen platform (compute,
// plots, tables, first paint), the report's HTML page and its PDF, each next
// to the bare loop of the same iteration. The documents' sizes (and the PDF's
// pages) are printed as counters: a page of 3 MB or a PDF over 12 pages is a
// report nobody can hand over.
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

// Opening the window, with the lift's roles; `changed`: the events count as
// changed before each opening (as an edit in place), so the report is
// computed and the page built, as every opening did before the report was
// kept. Otherwise the report of the first opening is kept.
void OpenReportWindow(benchmark::State& state, bool changed) {
  EnsureBenchApplication();
  CaptureData& data = Capture().data;
  CaptureView& view = Capture().view;
  const ChannelRoles saved = view.Traces.Roles();
  view.Traces.SetRoles(ViewLiftRoles());
  TReportForm form(data, view);
  AgainstBareLoop(state, [&](const CaptureData&) {
    if (changed) data.Store.MutableData();
    form.show();
    benchmark::DoNotOptimize(form.grab());
    form.hide();
  });
  view.Traces.SetRoles(saved);
}

void BM_ReportWindowOpen(benchmark::State& state) { OpenReportWindow(state, false); }
void BM_ReportWindowOpenChanged(benchmark::State& state) { OpenReportWindow(state, true); }

int PdfPages(const QByteArray& pdf) {
  int pages = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
    if (pdf.mid(at + 11, 1) != "s") ++pages;
  }
  return pages;
}

void BM_ReportHtml(benchmark::State& state) {
  EnsureBenchApplication();
  const CaptureView& view = Capture().view;
  LiftReport report;
  const ChannelRoles roles = ViewLiftRoles();
  size_t bytes = 0;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    bytes = ReportHtml(report, view.Traces, ReportHeading{"full store", {}, {}}).size();
  });
  state.counters["html_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ReportPdf(benchmark::State& state) {
  EnsureBenchApplication();
  const CaptureView& view = Capture().view;
  LiftReport report;
  const ChannelRoles roles = ViewLiftRoles();
  QByteArray pdf;
  AgainstBareLoop(state, [&](const CaptureData& d) {
    report.Compute(d, Capture().view.Sequence, roles);
    pdf = ReportPdf(report, view.Traces, ReportHeading{"full store", {}, {}});
  });
  state.counters["pdf_MB"] = static_cast<double>(pdf.size()) / 1e6;
  state.counters["pdf_pages"] = PdfPages(pdf);
}

BENCHMARK(BM_ReportWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportWindowOpenChanged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportHtml)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdf)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
