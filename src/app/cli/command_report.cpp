// korvalog-cli report FILE [--roles ROLES] [--targets TARGETS] [--site TEXT]
// [--lift TEXT] [--engineer TEXT] [--visit TEXT] [--format html|pdf|csv] --out OUT:
// the lift performance report of a capture as a page to hand over, a PDF,
// or every measured occurrence as CSV.
#include <ostream>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/picture_tool.h"
#include "app/cli/report_inputs.h"
#include "core/file_identity.h"

#ifdef KORVALOG_PICTURES
#include "analysis/qt/report_document.h"
#endif

namespace korvalog::cli {

int RunReport(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{
      "report FILE [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT] [--engineer TEXT] "
      "[--visit TEXT] [--format html|pdf|csv] --out OUT",
      "The lift's report over the capture: figures, tables and plots.", ReportOptionSpecs(true)};
  const std::string_view usage = kOptions.usage;
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 1, "one file", parsed, ctx); status >= 0) return status;
  ReportInputs in;
  if (const int status = ReadReportInputs(parsed, usage, in, ctx); status >= 0) return status;
#ifndef KORVALOG_PICTURES
  // The page and the PDF carry plots drawn with Qt, which this program does
  // without: the pictures tool beside it writes them.
  if (in.format != "csv") return RunPictureCommand("report", "report pages", args, ctx, in.out);
#endif
  const std::string& path = parsed.positional[0];
  if (SameFile(path, in.out) || (!in.rolesPath.empty() && SameFile(in.rolesPath, in.out)) ||
      (!in.targetsPath.empty() && SameFile(in.targetsPath, in.out))) {
    ctx.err << "korvalog-cli: " << in.out << ": is the file the report is made from\n";
    return kExitUsage;
  }
  if (!ReadRolesAndTargets(in, ctx)) return kExitUsage;
  if (!LoadForCommand(path, ctx)) return kExitUsage;
  const ChannelRoles& roles = in.rolesPath.empty() ? ctx.view.Traces.Roles() : in.roles;

  LiftReport report;
  report.Compute(ctx.data, ctx.view.Sequence, roles);
  FileResult result;
  if (in.format == "csv") {
    result = WriteTextOutput(in.out, ReportCsv(report));
  } else {
#ifdef KORVALOG_PICTURES
    // The site from the project or the log's description, then what was typed.
    SiteDetails site = ctx.view.Site;
    site.TakeFrom(in.typedSite);
    const ReportHeading heading{BaseName(path), site, in.targets};
    result = in.format == "pdf" ? WriteReportPdf(in.out, report, ctx.view.Traces, heading)
                                : WriteReportHtml(in.out, report, ctx.view.Traces, heading);
#endif
  }
  return WriteStatus(result, ctx);
}

}  // namespace korvalog::cli
