// korvalog-cli compare BEFORE AFTER [--roles ROLES] [--targets TARGETS]
// [--site TEXT] [--lift TEXT] [--format html|pdf|csv] --out OUT: two
// captures of a lift side by side, every report figure before and after
// with the change, as a page, a PDF or CSV.
#include <ostream>
#include <string>

#include "analysis/compare_csv.h"
#include "analysis/lift_report.h"
#include "analysis/report_compare.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "app/cli/picture_tool.h"
#include "app/cli/report_inputs.h"

#ifdef KORVALOG_PICTURES
#include "analysis/qt/compare_document.h"
#endif

namespace korvalog::cli {
namespace {

// One capture read and its report made; the names and roles kept beside it.
struct Side {
  LiftReport report;
  TraceList names;
  SiteDetails site;
};

bool ReadSide(const std::string& path, const ChannelRoles* roles, CliContext& ctx, Side& side) {
  if (!LoadForCommand(path, ctx)) return false;
  side.names = ctx.view.Traces;
  if (roles != nullptr) side.names.Roles() = *roles;
  side.site = ctx.view.Site;
  side.report.Compute(ctx.data, ctx.view.Sequence, side.names.Roles());
  return true;
}

}  // namespace

int RunCompare(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{
      "compare BEFORE AFTER [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT] "
      "[--format html|pdf|csv] --out OUT",
      "Two captures of a lift side by side: every report figure before and after, with the change.",
      ReportOptionSpecs(false)};
  const std::string_view usage = kOptions.usage;
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 2, "two files, before and after", parsed, ctx);
      status >= 0) {
    return status;
  }
  ReportInputs in;
  if (const int status = ReadReportInputs(parsed, usage, in, ctx); status >= 0) return status;
#ifndef KORVALOG_PICTURES
  if (in.format != "csv") return RunPictureCommand("compare", "comparison pages", args, ctx, in.out);
#endif
  const std::string& beforePath = parsed.positional[0];
  const std::string& afterPath = parsed.positional[1];
  std::vector<std::string> inputs = {beforePath, afterPath};
  for (const std::string& file : in.Files()) inputs.push_back(file);
  if (!OutputAllowed(in.out, inputs, ctx)) return kExitUsage;
  if (!ReadRolesAndTargets(in, ctx)) return kExitUsage;
  const ChannelRoles* given = in.rolesPath.empty() ? nullptr : &in.roles;
  Side before, after;
  if (!ReadSide(beforePath, given, ctx, before) || !ReadSide(afterPath, given, ctx, after)) return kExitUsage;

  ReportComparison comparison =
      CompareReports(before.report, before.names, after.report, after.names, in.targets);
  SetSources(comparison, BaseName(beforePath), BaseName(afterPath));
  FileResult result;
  if (in.format == "csv") {
    result = WriteTextOutput(in.out, CompareCsv(comparison));
  } else {
#ifdef KORVALOG_PICTURES
    // The site of the later visit, then what was typed.
    SiteDetails site = after.site.site.empty() && after.site.lift.empty() ? before.site : after.site;
    site.TakeFrom(in.typedSite);
    const std::vector<PlotPlan> plots = OverlaidHistograms(before.report, after.report);
    result = in.format == "pdf" ? WriteComparePdf(in.out, comparison, plots, site)
                                : WriteCompareHtml(in.out, comparison, plots, site);
#endif
  }
  return WriteStatus(result, ctx);
}

}  // namespace korvalog::cli
