// korvalog-cli export FILE --format vcd|csv|png|svg|pdf [--from TIME --to TIME]
// [--channels LIST] [--all-channels] [--wide] [--width PX] --out OUT: the
// capture, or a range of it, for waveform viewers, spreadsheets and reports.
#include <algorithm>
#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/output_checks.h"
#include "project/export_request.h"
#include "ui/ansi_string_lib.h"

#ifdef KORVALOG_PICTURES
#include "project/qt/chart_picture.h"
#elif defined(_WIN32)
#include <windows.h>

#include <iostream>

#include "core/file_names.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <iostream>
#endif

namespace korvalog::cli {
#ifndef KORVALOG_PICTURES
namespace {

#ifdef _WIN32
// One argument as the C runtime of the started program splits it again.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out.push_back(c);
  }
  out.append(slashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

int RunPictureTool(const CommandArgs& args, CliContext& ctx) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  const std::wstring tool = self.substr(0, self.find_last_of(L"\\/") + 1) + L"korvalog-pictures.exe";
  std::wstring line = Quoted(tool) + L" export";
  for (const std::string& a : args) line += L" " + Quoted(WideFromUtf8(a));
  ctx.out.flush();
  std::cout.flush();
  std::cerr.flush();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(tool.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
    ctx.err << "korvalog-cli: pictures are drawn by " << Utf8FromWide(tool) << ", which cannot be started\n";
    return kExitUsage;
  }
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD status = kExitUsage;
  GetExitCodeProcess(child.hProcess, &status);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<int>(status);
}
#else
// Runs korvalog-pictures (beside this program) with the same arguments and
// gives its exit status; it draws with Qt, which this program does without.
int RunPictureTool(const CommandArgs& args, CliContext& ctx) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string tool = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  tool = tool.substr(0, tool.find_last_of('/') + 1) + "korvalog-pictures";
  std::vector<std::string> words{tool, "export"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  ctx.out.flush();
  std::cout.flush();
  std::cerr.flush();
  pid_t pid = 0;
  if (access(tool.c_str(), X_OK) != 0 || posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    ctx.err << "korvalog-cli: pictures are drawn by " << tool << ", which cannot be started\n";
    return kExitUsage;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitUsage;
}
#endif

}  // namespace
#endif

int RunExport(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] =
      "export FILE --format vcd|csv|png|svg|pdf [--from TIME --to TIME] [--channels CH,...]\n"
      "                      [--all-channels] [--wide] [--width PX] --out OUT";
  // The two switches take no value; the rest go through the option reader.
  ExportRequest request;
  CommandArgs rest;
  for (const std::string& a : args) {
    if (a == "--all-channels") {
      request.allChannels = true;
    } else if (a == "--wide") {
      request.wideCsv = true;
    } else {
      rest.push_back(a);
    }
  }
  ParsedArgs parsed;
  std::string error;
  if (!ParseOptions(rest, {"--format", "--from", "--to", "--channels", "--width", "--out"}, parsed, error)) {
    return UsageError(ctx, error, kUsage);
  }
  if (parsed.positional.size() != 1) return UsageError(ctx, "export takes one file", kUsage);
  std::string format, from, to, width;
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

  const std::string& path = parsed.positional[0];
  if (!OutputAllowed(request.path, {path}, ctx)) return kExitUsage;
#ifndef KORVALOG_PICTURES
  if (IsPictureFormat(request.format)) return RunPictureTool(args, ctx);
#endif
  StreamLoadSinks sinks(ctx.err, path);
  if (!LoadForCommand(path, ctx, sinks)) return kExitUsage;
  // Times are read against the loaded capture's start.
  if (!from.empty() && !ParseExportTime(from, ctx.data, request.from)) {
    return UsageError(ctx, "cannot read --from '" + from + "'", kUsage);
  }
  if (!to.empty() && !ParseExportTime(to, ctx.data, request.to)) {
    return UsageError(ctx, "cannot read --to '" + to + "'", kUsage);
  }
  if (!from.empty() && !to.empty() && request.from > request.to) {
    return UsageError(ctx, "--from is after --to", kUsage);
  }

  FileResult result;
  if (IsPictureFormat(request.format)) {
#ifdef KORVALOG_PICTURES
    result = WriteChartPicture(ctx.data, ctx.settings, request);
#endif
  } else {
    result = ExportCaptureFile(ctx.data, request);
  }
  if (!result.ok) {
    ctx.err << "korvalog-cli: " << result.error << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace korvalog::cli
