// korvalog-cli compare BEFORE AFTER [--roles ROLES] [--targets TARGETS]
// [--site TEXT] [--lift TEXT] [--format html|pdf|csv] --out OUT: two
// captures of a lift side by side, every report figure before and after
// with the change, as a page, a PDF or CSV.
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "analysis/compare_csv.h"
#include "analysis/lift_report.h"
#include "analysis/report_compare.h"
#include "analysis/report_targets.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "app/cli/picture_tool.h"
#include "core/channel_roles.h"
#include "core/file_identity.h"
#include "core/file_names.h"
#include "project/project_file.h"
#include "project/replacing_file.h"

#ifdef KORVALOG_PICTURES
#include "analysis/qt/compare_document.h"
#endif

namespace korvalog::cli {
namespace {

constexpr char kUsage[] =
    "compare BEFORE AFTER [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT] "
    "[--format html|pdf|csv] --out OUT";

bool ReadSmallFile(const std::string& path, const char* what, std::string& text, CliContext& ctx) {
  // Checked before the open: a FIFO would wait for a writer.
  std::ifstream in;
  if (KindOfPath(path) == PathKind::Regular) in.open(PathFromUtf8(path), std::ios::binary);
  if (!in) {
    ctx.err << "korvalog-cli: " << path << ": cannot read the " << what << "\n";
    return false;
  }
  std::ostringstream read;
  read << in.rdbuf();
  text = read.str();
  return true;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One capture read and its report made; the names and roles kept beside it.
struct Side {
  LiftReport report;
  TraceList names;
  SiteDetails site;
};

bool ReadSide(const std::string& path, const ChannelRoles* roles, CliContext& ctx, Side& side) {
  StreamLoadSinks sinks(ctx.err, path);
  if (!LoadForCommand(path, ctx, sinks)) return false;
  side.names = ctx.view.Traces;
  if (roles != nullptr) side.names.Roles() = *roles;
  side.site = ctx.view.Site;
  side.report.Compute(ctx.data, ctx.view.Sequence, side.names.Roles());
  return true;
}

}  // namespace

int RunCompare(const CommandArgs& args, CliContext& ctx) {
  ParsedArgs parsed;
  std::string error;
  if (!ParseOptions(args, std::vector<std::string_view>{"--roles", "--targets", "--site", "--lift", "--format", "--out"}, parsed, error)) {
    return UsageError(ctx, error, kUsage);
  }
  if (parsed.positional.size() != 2) return UsageError(ctx, "compare takes two files, before and after", kUsage);
  std::string rolesPath, targetsPath, format = "html", out;
  SiteDetails typedSite;
  for (const auto& [name, value] : parsed.options) {
    if (name == "--roles") rolesPath = value;
    if (name == "--targets") targetsPath = value;
    if (name == "--site") typedSite.site = value;
    if (name == "--lift") typedSite.lift = value;
    if (name == "--format") format = value;
    if (name == "--out") out = value;
  }
  if (format != "html" && format != "pdf" && format != "csv") {
    return UsageError(ctx, "unknown format '" + format + "'", kUsage);
  }
  if (out.empty()) return UsageError(ctx, "--out is missing", kUsage);
#ifndef KORVALOG_PICTURES
  if (format != "csv") return RunPictureCommand("compare", "comparison pages", args, ctx, out);
#endif
  const std::string& beforePath = parsed.positional[0];
  const std::string& afterPath = parsed.positional[1];
  std::vector<std::string> inputs = {beforePath, afterPath};
  if (!rolesPath.empty()) inputs.push_back(rolesPath);
  if (!targetsPath.empty()) inputs.push_back(targetsPath);
  if (!OutputAllowed(out, inputs, ctx)) return kExitUsage;

  ChannelRoles roles;
  if (!rolesPath.empty()) {
    std::string text;
    if (!ReadSmallFile(rolesPath, "roles", text, ctx)) return kExitUsage;
    if (!ParseRolesText(text, roles, error)) {
      ctx.err << "korvalog-cli: " << rolesPath << ": " << error << "\n";
      return kExitUsage;
    }
  }
  ReportTargets targets;
  if (!targetsPath.empty()) {
    std::string text;
    if (!ReadSmallFile(targetsPath, "targets", text, ctx)) return kExitUsage;
    if (!ParseTargets(text, targets, error)) {
      ctx.err << "korvalog-cli: " << targetsPath << ": " << error << "\n";
      return kExitUsage;
    }
  }
  const ChannelRoles* given = rolesPath.empty() ? nullptr : &roles;
  Side before, after;
  if (!ReadSide(beforePath, given, ctx, before) || !ReadSide(afterPath, given, ctx, after)) return kExitUsage;

  ReportComparison comparison = CompareReports(before.report, before.names, after.report, after.names, targets);
  SetSources(comparison, BaseName(beforePath), BaseName(afterPath));
  FileResult result;
  if (format == "csv") {
    const std::string csv = CompareCsv(comparison);
    ReplacingFile file(out);
    if (!file.Open() || !file.Write(csv.data(), csv.size()) || !file.Commit()) result = FileResult{false, file.Error()};
  } else {
#ifdef KORVALOG_PICTURES
    // The site of the later visit, then what was typed.
    SiteDetails site = after.site.site.empty() && after.site.lift.empty() ? before.site : after.site;
    site.TakeFrom(typedSite);
    const std::vector<PlotPlan> plots = OverlaidHistograms(before.report, after.report);
    result = format == "pdf" ? WriteComparePdf(out, comparison, plots, site)
                             : WriteCompareHtml(out, comparison, plots, site);
#endif
  }
  if (!result.ok) {
    ctx.err << "korvalog-cli: " << result.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
