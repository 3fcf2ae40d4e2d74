// korvalog-cli report FILE [--roles ROLES] [--targets TARGETS] [--site TEXT]
// [--lift TEXT] [--engineer TEXT] [--visit TEXT] [--format html|pdf|csv] --out OUT:
// the lift performance report of a capture as a page to hand over, a PDF,
// or every measured occurrence as CSV.
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "analysis/report_targets.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/picture_tool.h"
#include "core/channel_roles.h"
#include "core/file_identity.h"
#include "core/file_names.h"
#include "project/project_file.h"
#include "project/replacing_file.h"

#ifdef KORVALOG_PICTURES
#include "analysis/qt/report_document.h"
#endif

namespace korvalog::cli {
namespace {

constexpr char kUsage[] =
    "report FILE [--roles ROLES] [--targets TARGETS] [--site TEXT] [--lift TEXT] [--engineer TEXT] [--visit TEXT] "
    "[--format html|pdf|csv] --out OUT";

// A small text file named on the command line (roles, targets). Checked
// before the open: a FIFO would wait for a writer.
bool ReadSmallFile(const std::string& path, const char* what, std::string& text, CliContext& ctx) {
  if (KindOfPath(path) != PathKind::Regular) {
    ctx.err << "korvalog-cli: " << path << ": cannot read the " << what << "\n";
    return false;
  }
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) {
    ctx.err << "korvalog-cli: " << path << ": cannot read the " << what << "\n";
    return false;
  }
  std::ostringstream read;
  read << in.rdbuf();
  text = read.str();
  return true;
}

#ifdef KORVALOG_PICTURES
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
#endif

}  // namespace

int RunReport(const CommandArgs& args, CliContext& ctx) {
  static const CommandOptions kOptions{kUsage,
                                       "The lift's report over the capture: figures, tables and plots.",
                                       {{"--roles", "ROLES", "the file naming each channel's role"},
                                        {"--targets", "TARGETS", "the file of the targets the figures are held to"},
                                        {"--site", "TEXT", "the site's name, instead of the file's"},
                                        {"--lift", "TEXT", "the lift's name"},
                                        {"--engineer", "TEXT", "the engineer's name"},
                                        {"--visit", "TEXT", "the visit's reference"},
                                        {"--format", "html|pdf|csv", "the report's form (html unless given)"},
                                        {"--out", "OUT", "the file to write"}}};
  ParsedArgs parsed;
  if (const int status = ReadCommandOptions(args, kOptions, parsed, ctx); status >= 0) return status;
  std::string error;
  if (parsed.positional.size() != 1) return UsageError(ctx, "report takes one file", kUsage);
  std::string rolesPath, targetsPath, format = "html", out;
  SiteDetails typedSite;
  for (const auto& [name, value] : parsed.options) {
    if (name == "--roles") rolesPath = value;
    if (name == "--targets") targetsPath = value;
    if (name == "--site") typedSite.site = value;
    if (name == "--lift") typedSite.lift = value;
    if (name == "--engineer") typedSite.engineer = value;
    if (name == "--visit") typedSite.visit = value;
    if (name == "--format") format = value;
    if (name == "--out") out = value;
  }
  if (format != "html" && format != "pdf" && format != "csv") {
    return UsageError(ctx, "unknown format '" + format + "'", kUsage);
  }
  if (out.empty()) return UsageError(ctx, "--out is missing", kUsage);
#ifndef KORVALOG_PICTURES
  // The page and the PDF carry plots drawn with Qt, which this program does
  // without: the pictures tool beside it writes them.
  if (format != "csv") return RunPictureCommand("report", "report pages", args, ctx, out);
#endif
  const std::string& path = parsed.positional[0];
  if (SameFile(path, out) || (!rolesPath.empty() && SameFile(rolesPath, out)) ||
      (!targetsPath.empty() && SameFile(targetsPath, out))) {
    ctx.err << "korvalog-cli: " << out << ": is the file the report is made from\n";
    return kExitUsage;
  }
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
  StreamLoadSinks sinks(ctx.err, path);
  if (!LoadForCommand(path, ctx, sinks)) return kExitUsage;
  if (rolesPath.empty()) roles = ctx.view.Traces.Roles();

  LiftReport report;
  report.Compute(ctx.data, ctx.view.Sequence, roles);
  FileResult result;
  if (format == "csv") {
    const std::string csv = ReportCsv(report);
    ReplacingFile file(out);
    if (!file.Open() || !file.Write(csv.data(), csv.size()) || !file.Commit()) result = FileResult{false, file.Error()};
  } else {
#ifdef KORVALOG_PICTURES
    // The site from the project or the log's description, then what was typed.
    SiteDetails site = ctx.view.Site;
    site.TakeFrom(typedSite);
    const ReportHeading heading{BaseName(path), site, targets};
    result = format == "pdf" ? WriteReportPdf(out, report, ctx.view.Traces, heading)
                             : WriteReportHtml(out, report, ctx.view.Traces, heading);
#endif
  }
  if (!result.ok) {
    ctx.err << "korvalog-cli: " << result.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
