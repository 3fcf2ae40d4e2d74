// korvalog-cli fleet --db CONNINFO [--from DATE] [--to DATE] [--site S]
// --format html|pdf|csv --out OUT: the fleet report,
// every lift's key figures over the period from the daily summaries. The PDF
// is painted by korvalog-pictures, which runs this command with Qt.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "core/file_identity.h"
#include "project/replacing_file.h"

#ifdef KORVALOG_FLEET_STORE
#include "fleet/fleet_html.h"
#include "fleet/fleet_report.h"
#include "fleet/pg_connection.h"
#ifdef KORVALOG_PICTURES
#include "fleet/qt/fleet_pdf.h"
#else
#include "app/cli/picture_tool.h"
#endif
#endif

namespace korvalog::cli {

#ifndef KORVALOG_FLEET_STORE
int RunFleet(const CommandArgs&, CliContext& ctx) {
  ctx.err << "korvalog-cli: this build has no fleet store (it was built without libpq)\n";
  return kExitUsage;
}
#else
int RunFleet(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] =
      "fleet --db CONNINFO [--from DATE] [--to DATE] [--site S] --format html|pdf|csv --out OUT";
  ParsedArgs parsed;
  std::string error, db, fromText, toText, format = "html", out;
  FleetQuery query;
  if (!ParseOptions(args, std::vector<std::string_view>{"--db", "--from", "--to", "--site", "--format", "--out"}, parsed, error)) {
    return UsageError(ctx, error, kUsage);
  }
  for (const auto& [name, value] : parsed.options) {
    if (name == "--db") db = value;
    if (name == "--from") fromText = value;
    if (name == "--to") toText = value;
    if (name == "--site") query.site = value;
    if (name == "--format") format = value;
    if (name == "--out") out = value;
  }
  if (!parsed.positional.empty()) return UsageError(ctx, "fleet takes options only", kUsage);
  if (db.empty()) return UsageError(ctx, "--db is missing", kUsage);
  if (out.empty()) return UsageError(ctx, "--out is missing", kUsage);
  if (format != "html" && format != "pdf" && format != "csv") {
    return UsageError(ctx, "unknown format '" + format + "'", kUsage);
  }
  if (!fromText.empty() && !ParseDay(fromText, query.fromDay)) {
    return UsageError(ctx, "cannot read --from '" + fromText + "' (a date as 2026-03-10)", kUsage);
  }
  if (!toText.empty()) {
    if (!ParseDay(toText, query.toDay)) return UsageError(ctx, "cannot read --to '" + toText + "'", kUsage);
    query.toDay += 1;  // the last day is included
  }
  if (KindOfPath(out) == PathKind::Folder || KindOfPath(out) == PathKind::Other) {
    ctx.err << "korvalog-cli: " << out << ": is not a regular file\n";
    return kExitUsage;
  }
#ifndef KORVALOG_PICTURES
  if (format == "pdf") return RunPictureCommand("fleet", "fleet report pages", args, ctx, out);
#endif
  PgConnection conn;
  FleetReport report;
  if (!conn.Open(db) || !LoadFleetReport(conn, query, ReportTargets(), report, error)) {
    ctx.err << "korvalog-cli: " << (error.empty() ? conn.Error() : error) << "\n";
    return kExitUsage;
  }
  std::string text;
  if (format == "csv") {
    text = FleetCsv(report);
  } else if (format == "html") {
    text = FleetHtml(report, ReportTargets());
  } else {
#ifdef KORVALOG_PICTURES
    const FileResult written = WriteFleetPdf(out, report, ReportTargets());
    if (!written.ok) {
      ctx.err << "korvalog-cli: " << written.error << "\n";
      return kExitUsage;
    }
#endif
  }
  ReplacingFile file(out);
  if (format != "pdf" && (!file.Open() || !file.Write(text.data(), text.size()) || !file.Commit())) {
    ctx.err << "korvalog-cli: " << file.Error() << "\n";
    return kExitUsage;
  }
  ctx.out << out << "\t" << report.lifts.size() << " lifts\t" << DayText(report.period.fromDay) << " to "
          << DayText(report.period.toDay - 1) << "\n";
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}
#endif

}  // namespace korvalog::cli
