#pragma once
// What the report and compare commands share: the roles and targets files
// named on the command line, the site typed, the form of the page and the
// file it goes to, and how the CSV form is written.
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_targets.h"
#include "app/cli/cli_options.h"
#include "core/channel_roles.h"
#include "core/site_details.h"
#include "project/project_file.h"

namespace korvalog::cli {

// The options of both commands, as their tables list them; `visit` adds
// --engineer and --visit.
std::vector<OptionEntry> ReportOptionSpecs(bool visit);

struct ReportInputs {
  std::string rolesPath, targetsPath, format = "html", out;
  SiteDetails typedSite;
  ChannelRoles roles;  // read from rolesPath, when given
  ReportTargets targets;

  // The files the report is made from besides the captures.
  std::vector<std::string> Files() const;
};

// Takes the options from `parsed`; kExitUsage after telling an unknown form
// or a missing --out, -1 to go on.
int ReadReportInputs(const ParsedArgs& parsed, std::string_view usage, ReportInputs& in, CliContext& ctx);

// Reads the roles and targets files named; false after telling the problem.
bool ReadRolesAndTargets(ReportInputs& in, CliContext& ctx);

// The file's name without its folder, as a page names its source.
std::string BaseName(const std::string& path);

// Writes `text` to `out` in place of what is there.
FileResult WriteTextOutput(const std::string& out, const std::string& text);

// Tells a failed write; the command's exit status.
int WriteStatus(const FileResult& result, CliContext& ctx);

}  // namespace korvalog::cli
