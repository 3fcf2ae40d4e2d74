// korvalog-cli export FILE --format vcd|csv|png|svg|pdf [--from TIME --to TIME]
// [--channels LIST] [--all-channels] [--wide] [--width PX] --out OUT: the
// capture, or a range of it, for waveform viewers, spreadsheets and reports.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "base/byte_text.h"
#include "project/export_request.h"

#ifdef KORVALOG_PICTURES
#include "project/qt/chart_picture.h"
#else
#include "app/cli/picture_tool.h"
#endif

namespace korvalog::cli {
namespace {

constexpr char kUsage[] =
    "export FILE --format vcd|csv|png|svg|pdf [--from TIME --to TIME] [--channels CH,...]\n"
    "                      [--all-channels] [--wide] [--width PX] --out OUT";
const CommandOptions kOptions{
    kUsage,
    "The capture, or a range of it, for waveform viewers, spreadsheets and reports.",
    {{"--format", "vcd|csv|png|svg|pdf", "the file's form"},
     {"--from", "TIME", "the range's start: seconds from the capture's start, or a date and time"},
     {"--to", "TIME", "the range's end"},
     {"--channels", "CH,...", "these channels only (the default: those that change in the range)"},
     {"--all-channels", "", "every channel, changing or not"},
     {"--wide", "", "csv: one column a channel"},
     {"--width", "PX", "png, svg, pdf: the picture's width"},
     {"--out", "OUT", "the file to write"}}};

// The options into `request`; the range's ends as typed, read once the
// capture is loaded. kExitUsage after telling the error, -1 to go on.
int ReadExportOptions(const ParsedArgs& parsed, ExportRequest& request, std::string& from, std::string& to,
                      CliContext& ctx) {
  std::string error;
  std::string format, width;
  bool formatGiven = false, widthGiven = false;
  for (const auto& [name, value] : parsed.options) {
    if (name == "--format") {
      format = value;
      formatGiven = true;
    } else if (name == "--from") {
      from = value;
    } else if (name == "--to") {
      to = value;
    } else if (name == "--width") {
      width = value;
      widthGiven = true;
    } else if (name == "--out") {
      request.path = value;
    } else if (name == "--all-channels") {
      request.allChannels = true;
    } else if (name == "--wide") {
      request.wideCsv = true;
    } else if (!ParseChannelList(value, request.channels, error)) {
      return UsageError(ctx, error, kUsage);
    }
  }
  if (!formatGiven) return UsageError(ctx, "--format is missing", kUsage);
  if (!ParseExportFormat(format, request.format)) {
    return UsageError(ctx, "unknown format '" + format + "'", kUsage);
  }
  if (request.path.empty()) return UsageError(ctx, "--out is missing", kUsage);
  if (request.allChannels && !request.channels.empty()) {
    return UsageError(ctx, "--channels and --all-channels exclude each other", kUsage);
  }
  if (request.wideCsv && request.format != ExportFormat::Csv) return UsageError(ctx, "--wide is for csv", kUsage);
  if (widthGiven) {
    if (!IsPictureFormat(request.format)) return UsageError(ctx, "--width is for png, svg and pdf", kUsage);
    const int px = TextToInt(width);
    if (width.find_first_not_of("0123456789") != std::string::npos || px < kMinPictureWidth ||
        px > kMaxPictureWidth) {
      return UsageError(ctx,
                        "--width must be " + std::to_string(kMinPictureWidth) + ".." +
                            std::to_string(kMaxPictureWidth) + " pixels",
                        kUsage);
    }
    request.width = px;
  }
  return -1;
}

// The range's ends against the loaded capture's start.
int ReadExportRange(const std::string& from, const std::string& to, CliContext& ctx, ExportRequest& request) {
  if (!from.empty() && !ParseExportTime(from, ctx.data, request.from)) {
    return UsageError(ctx, "cannot read --from '" + from + "'", kUsage);
  }
  if (!to.empty() && !ParseExportTime(to, ctx.data, request.to)) {
    return UsageError(ctx, "cannot read --to '" + to + "'", kUsage);
  }
  if (!from.empty() && !to.empty() && request.from > request.to) {
    return UsageError(ctx, "--from is after --to", kUsage);
  }
  return -1;
}

}  // namespace

int RunExport(const CommandArgs& args, CliContext& ctx) {
  ParsedArgs parsed;
  if (const int status = ReadFileArguments(args, kOptions, 1, "one file", parsed, ctx); status >= 0) return status;
  ExportRequest request;
  std::string from, to;
  if (const int status = ReadExportOptions(parsed, request, from, to, ctx); status >= 0) return status;
  const std::string& path = parsed.positional[0];
  if (!OutputAllowed(request.path, {path}, ctx)) return kExitUsage;
#ifndef KORVALOG_PICTURES
  if (IsPictureFormat(request.format)) return RunPictureCommand("export", "pictures", args, ctx, request.path);
#endif
  if (!LoadForCommand(path, ctx)) return kExitUsage;
  if (const int status = ReadExportRange(from, to, ctx, request); status >= 0) return status;

  FileResult result;
  if (IsPictureFormat(request.format)) {
#ifdef KORVALOG_PICTURES
    result = WriteChartPicture(ctx.data, ctx.view, ctx.settings, request);
#endif
  } else {
    result = ExportCaptureFile(ctx.data, ctx.view.Traces, request);
  }
  if (!result.ok) {
    ctx.err << "korvalog-cli: " << result.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
