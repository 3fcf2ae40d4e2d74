#include "app/cli/report_inputs.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "app/cli/cli_load.h"
#include "core/file_identity.h"
#include "core/file_names.h"
#include "project/replacing_file.h"

namespace korvalog::cli {
namespace {

// A small text file named on the command line. Checked before the open: a
// FIFO would wait for a writer.
bool ReadSmallFile(const std::string& path, const char* what, std::string& text, CliContext& ctx) {
  std::ifstream in;
  if (KindOfPath(path) == PathKind::Regular) in.open(PathFromUtf8(path), std::ios::binary);
  if (!in.is_open() || !in) {
    ctx.err << "korvalog-cli: " << path << ": cannot read the " << what << "\n";
    return false;
  }
  std::ostringstream read;
  read << in.rdbuf();
  text = read.str();
  return true;
}

}  // namespace

std::vector<OptionEntry> ReportOptionSpecs(bool visit) {
  std::vector<OptionEntry> entries = {{"--roles", "ROLES", "the file naming each channel's role"},
                                   {"--targets", "TARGETS", "the file of the targets the figures are held to"},
                                   {"--site", "TEXT", "the site's name, instead of the file's"},
                                   {"--lift", "TEXT", "the lift's name"}};
  if (visit) {
    entries.push_back({"--engineer", "TEXT", "the engineer's name"});
    entries.push_back({"--visit", "TEXT", "the visit's reference"});
  }
  entries.push_back({"--format", "html|pdf|csv", "the report's form (html unless given)"});
  entries.push_back({"--out", "OUT", "the file to write"});
  return entries;
}

std::vector<std::string> ReportInputs::Files() const {
  std::vector<std::string> files;
  if (!rolesPath.empty()) files.push_back(rolesPath);
  if (!targetsPath.empty()) files.push_back(targetsPath);
  return files;
}

int ReadReportInputs(const ParsedArgs& parsed, std::string_view usage, ReportInputs& in, CliContext& ctx) {
  for (const auto& [name, value] : parsed.options) {
    if (name == "--roles") in.rolesPath = value;
    if (name == "--targets") in.targetsPath = value;
    if (name == "--site") in.typedSite.site = value;
    if (name == "--lift") in.typedSite.lift = value;
    if (name == "--engineer") in.typedSite.engineer = value;
    if (name == "--visit") in.typedSite.visit = value;
    if (name == "--format") in.format = value;
    if (name == "--out") in.out = value;
  }
  if (in.format != "html" && in.format != "pdf" && in.format != "csv") {
    return UsageError(ctx, "unknown format '" + in.format + "'", usage);
  }
  if (in.out.empty()) return UsageError(ctx, "--out is missing", usage);
  return -1;
}

bool ReadRolesAndTargets(ReportInputs& in, CliContext& ctx) {
  std::string text, error;
  if (!in.rolesPath.empty()) {
    if (!ReadSmallFile(in.rolesPath, "roles", text, ctx)) return false;
    if (!ParseRolesText(text, in.roles, error)) {
      ctx.err << "korvalog-cli: " << in.rolesPath << ": " << error << "\n";
      return false;
    }
  }
  if (!in.targetsPath.empty()) {
    if (!ReadSmallFile(in.targetsPath, "targets", text, ctx)) return false;
    if (!ParseTargets(text, in.targets, error)) {
      ctx.err << "korvalog-cli: " << in.targetsPath << ": " << error << "\n";
      return false;
    }
  }
  return true;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileResult WriteTextOutput(const std::string& out, const std::string& text) {
  ReplacingFile file(out);
  if (!file.Open() || !file.Write(text.data(), text.size()) || !file.Commit()) return FileResult{false, file.Error()};
  return FileResult{};
}

int WriteStatus(const FileResult& result, CliContext& ctx) {
  if (result.ok) return kExitOk;
  ctx.err << "korvalog-cli: " << result.error << "\n";
  return kExitUsage;
}

}  // namespace korvalog::cli
