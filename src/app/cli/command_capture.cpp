// korvalog-cli capture: a live capture without the window, through the same
// link supervisor, decoders and store, written as a project file.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <thread>

#include "app/cli/capture_publish.h"
#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_session.h"
#include "app/cli/stop_signals.h"
#include "base/byte_text.h"
#include "core/file_names.h"
#include "project/project_file.h"
#include "session/link_supervisor.h"
#include "session/rescue_file.h"
#include "transport/hid_devices.h"
#include "transport/system_hid.h"
#include "transport/usb_loggers.h"

namespace korvalog::cli {
namespace {

constexpr char kUsage[] =
    "capture --logger 96|128|usb (--port N | --device PATH) [--debounce MS] [--ac] [--seconds S] "
    "--out FILE.kv [--journal PATH] | --rotate --out DIR/ [--max-files N] [--journal PATH] "
    "[--publish CONNINFO --site S --lift L]";
// Long enough for a 128-channel logger, heard at the second probe, to be
// configured: 2 s + 2 s + four ticks.
constexpr std::chrono::duration<double> kLeastWaitForLogger{6.0};
constexpr std::chrono::duration<double> kLeastWaitForUsb{1.5};
// The capture could not be written where asked; it went to a rescue file.
constexpr int kExitNotWritten = kSessionPartNotWritten;

struct CaptureOptions {
  int loggerType = -1;
  int port = 0;         // 1..16, or 0 when a device is named
  std::string device;   // a device path instead of a port number
  int debounceMs = 50;  // the settings' default of 5 x 10 ms
  bool ac = false;
  double seconds = 0;   // 0: until interrupted or the store is full
  std::string out;
  std::string notice;   // an argument taken, but not as written
  std::string publish;  // the fleet store's conninfo, or empty
  SiteDetails site;     // --site, --lift: the files name them
};
constexpr long kMaxDebounceMs = 2550;  // 255 steps of 10 ms
constexpr double kMaxSeconds = 1e8;

// Every option of capture: the logger's, and those that keep an unattended
// capture safe (read by ReadSafetyOptions).
const CommandOptions kOptions{
    kUsage,
    "A live capture without the window, written as a project (or, with --rotate, as numbered projects in a folder).",
    {{"--logger", "96|128|usb", "the logger's type"},
     {"--port", "N", "a serial logger on the numbered port 1..16"},
     {"--device", "PATH", "a serial logger on the named device"},
     {"--debounce", "MS", "the logger's debounce, 0..2550 ms in steps of 10 (default 50)"},
     {"--ac", "", "the inputs carry AC signals"},
     {"--seconds", "S", "stop after S seconds (default: when interrupted or the store is full)"},
     {"--out", "FILE.kv|DIR/", "the project to write, or with --rotate the parts' folder"},
     {"--journal", "PATH", "the journal (default: beside the output)"},
     {"--rotate", "", "when the store is full, go on into the next numbered project"},
     {"--max-files", "N", "with --rotate: keep at most N parts in the folder"},
     {"--publish", "CONNINFO", "publish each file written to the fleet store (see docs/fleet.md)"},
     {"--site", "S", "the site the files name (needed with --publish)"},
     {"--lift", "L", "the lift the files name (needed with --publish)"},
     {"--store-events", "N", "the store size that counts as full", true}},
    false};

// The logger's options, in the order given: false with `error` set for the
// first that is wrong, or when one that is required is missing.
bool ReadLoggerOptions(const ParsedArgs& parsed, CaptureOptions& o, bool outIsFolder, std::string& error) {
  for (const auto& [a, v] : parsed.options) {
    long n = 0;
    if (a == "--ac") {
      o.ac = true;
    } else if (a == "--logger") {
      if (v == "96") o.loggerType = kLogger96;
      else if (v == "128") o.loggerType = kLogger128;
      else if (v == "usb") o.loggerType = kLoggerUsb;
      else {
        error = "--logger must be 96, 128 or usb";
        return false;
      }
    } else if (a == "--port") {
      if (!WholeNumberOption(v, 1, 16, "--port must be 1..16", n, error)) return false;
      o.port = static_cast<int>(n);
    } else if (a == "--device") {
      o.device = v;
    } else if (a == "--debounce") {
      const std::string message = "--debounce must be 0.." + std::to_string(kMaxDebounceMs) + " milliseconds";
      if (!WholeNumberOption(v, 0, kMaxDebounceMs, message, n, error)) return false;
      // The logger counts in steps of 10 ms: the nearest step is sent.
      o.debounceMs = static_cast<int>((n + 5) / 10 * 10);
      if (o.debounceMs > kMaxDebounceMs) o.debounceMs = kMaxDebounceMs;
      o.notice = o.debounceMs == n ? "" : "--debounce " + v + ": the logger counts in steps of 10 ms; " +
                                              std::to_string(o.debounceMs) + " ms is used";
    } else if (a == "--seconds") {
      char* end = nullptr;
      o.seconds = std::strtod(v.c_str(), &end);
      if (v.empty() || *end != '\0' || std::isnan(o.seconds) || o.seconds <= 0) {
        error = "--seconds must be a positive number";
        return false;
      }
      if (o.seconds > kMaxSeconds) {
        error = "--seconds " + v + " is too large: at most 100000000 (about 3 years)";
        return false;
      }
    } else if (a == "--out") {
      o.out = v;
    } else if (a == "--publish") {
      o.publish = v;
    } else if (a == "--site") {
      o.site.site = v;
    } else if (a == "--lift") {
      o.site.lift = v;
    }
  }
  if (o.loggerType < 0) {
    error = "--logger is required";
  } else if (o.out.empty()) {
    error = "--out is required";
  } else if (!outIsFolder && !ReopensAsProject(o.out)) {
    // A name without ".kv" would be opened again as a logger log, one
    // ending in ".vcd" as a value change dump.
    error = o.out + ": a project name must contain .kv and not end in .vcd";
  } else if (o.loggerType == kLoggerUsb && (o.port != 0 || !o.device.empty())) {
    error = "--port and --device are for the serial loggers";
  } else if (o.loggerType != kLoggerUsb && (o.port != 0) == !o.device.empty()) {
    error = "give either --port N or --device PATH";
  } else if (!o.publish.empty() && (o.site.site.empty() || o.site.lift.empty())) {
    error = "--publish needs --site and --lift";
  }
  return error.empty();
}

// Refuses before capturing what could only fail after it: a folder that is
// missing or read-only, or a name that is a folder.
bool OutputLooksWritable(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p = PathFromUtf8(path);
  if (fs::is_directory(p, ec)) {
    error = path + ": is a folder";
    return false;
  }
  const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) {
    error = path + ": the folder " + Utf8FromPath(folder) + " does not exist";
    return false;
  }
  if (!Writable(folder) || (fs::exists(p, ec) && !Writable(p))) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

// Writes the finished capture; when the named file fails, the capture goes
// to a file in the temporary folder instead of being lost (kExitNotWritten;
// kSessionWrittenNowhere when that fails too).
int WriteCapture(const std::string& path, CliContext& ctx) {
  CaptureData& data = ctx.data;
  const FileResult saved = WriteProjectFile(path, data, ctx.view, data.CaptureStart, data.CaptureEnd);
  if (saved.ok) {
    ctx.err << "korvalog-cli: " << UIntToText(data.Store.Count()) << " events written to " << path << "\n";
    return kExitOk;
  }
  ctx.err << "korvalog-cli: " << saved.error << "\n";
  const RescueResult kept = WriteRescueFile(".kv", [&](const std::string& rescue, std::string& why) {
    const FileResult r = WriteProjectFile(rescue, data, ctx.view, data.CaptureStart, data.CaptureEnd);
    why = r.error;
    return r.ok;
  });
  if (kept.ok) {
    ctx.err << "korvalog-cli: the capture (" << UIntToText(data.Store.Count())
            << " events) was written to " << kept.path << " instead\n";
    return kExitNotWritten;
  }
  // The session tells which journal, if any, still holds it.
  ctx.err << "korvalog-cli: " << kept.error << "\n";
  return kSessionWrittenNowhere;
}

// The capture from the logger's first change until it is stopped (by a
// signal, --seconds, a full store or a logger that never answered), with
// the link's status on stderr as it goes. Gives the reason it ended;
// `started` tells whether the capture began.
const char* CaptureUntilStopped(CaptureSession& session, const CaptureOptions& o, UsbLoggers& usb, CliContext& ctx,
                                CapturePublish& publish, bool& started) {
  using Clock = std::chrono::steady_clock;
  CaptureData& data = ctx.data;
  LinkSupervisor& link = session.Link();
  const StopSignals signals;
  const auto launched = Clock::now();
  auto nextTick = launched;
  Clock::time_point captureStarted{};
  started = false;
  const auto limit = std::chrono::duration<double>(o.seconds);
  // As soon as the logger is connected, before it is told to start: its
  // very first change is an event.
  link.StartCaptureWithLogger();
  for (;;) {
    const LinkView& view = link.tick();
    if (!started && (data.Capturing.load() != 0 || data.StopPending())) {
      started = true;
      captureStarted = Clock::now();
      std::string why;
      if (!session.CaptureStarted(why)) {
        ctx.err << "korvalog-cli: " << why << "; the capture goes on without a journal\n";
      }
    }
    if (view.statusRefreshed) {
      ctx.err << view.clockText << "  " << view.loggerText << "  " << view.capStatText << "\n";
      ctx.err.flush();
    }
    if (view.linkNoteChanged && !view.linkNote.empty()) {
      ctx.err << "korvalog-cli: " << view.linkNote << "\n";
      ctx.err.flush();
    }
    if (started && data.Capturing.load() == 0) {
      session.StoppedByFullStore();
      return "the store is full";
    }
    // A logger that does not answer within the same time (but at least long
    // enough for a few probes) gives a capture without events.
    // A USB logger needs no probing: it is there from the first scan or not,
    // and one that is there is configured within four ticks.
    std::chrono::duration<double> least = kLeastWaitForLogger;
    if (o.loggerType == kLoggerUsb) least = usb.HidDeviceCount() > 0 ? kLeastWaitForUsb : limit;
    const auto wait = started ? limit : std::max(limit, least);
    if (o.seconds > 0 && Clock::now() - (started ? captureStarted : launched) >= wait) {
      return started ? "time is up" : "no logger answered";
    }
    nextTick += std::chrono::milliseconds(LinkSupervisor::kTimerIntervalMs);
    while (!signals.Requested() && Clock::now() < nextTick) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      std::string problem;
      if (session.TakeProblem(problem)) ctx.err << "korvalog-cli: " << problem << "\n";
      session.Tick();
    }
    publish.Poll(session, ctx.err);
    if (signals.Requested()) return "interrupted";
  }
}

// This run's settings only; the stored settings are not touched.
void UseSettings(const CaptureOptions& o, LoggerSettings& settings) {
  settings.LoggerType = static_cast<uint8_t>(o.loggerType);
  settings.Port = static_cast<uint8_t>(o.port != 0 ? o.port : 1);
  settings.Debounce = static_cast<uint16_t>(o.debounceMs / 10);
  settings.ACSignals = o.ac;
}

// Only the USB logger is looked for over USB: a capture from a named serial
// port records that logger alone. `hid` keeps the system's HID library.
std::unique_ptr<UsbLoggers> LoggersToScan(const CaptureOptions& o, CliContext& ctx, std::unique_ptr<HidBackend>& hid) {
  if (o.loggerType != kLoggerUsb) return std::make_unique<NoUsbLoggers>();
  hid = MakeSystemHidBackend();
  return std::make_unique<HidDevices>(*hid, ctx.data, ctx.clock);
}

}  // namespace

int RunCapture(const CommandArgs& args, CliContext& ctx) {
  CaptureOptions o;
  CaptureSafetyOptions keep;
  ParsedArgs parsed;
  if (const int status = ReadCommandOptions(args, kOptions, parsed, ctx); status >= 0) return status;
  std::string error;
  if (!ReadSafetyOptions(parsed, keep, error) || !ReadLoggerOptions(parsed, o, keep.rotate, error)) {
    return UsageError(ctx, error, kUsage);
  }
  if (!o.notice.empty()) ctx.err << "korvalog-cli: " << o.notice << "\n";
  if (!keep.rotate && !OutputLooksWritable(o.out, error)) {
    ctx.err << "korvalog-cli: " << error << "\n";
    return kExitUsage;
  }
  CapturePublish publish;
  if (!publish.Start(o.publish, o.site, error)) return UsageError(ctx, error, kUsage);
  ctx.view.Site.TakeFrom(o.site);
  UseSettings(o, ctx.settings);
  std::unique_ptr<HidBackend> hid;
  const std::unique_ptr<UsbLoggers> usb = LoggersToScan(o, ctx, hid);
  CaptureData& data = ctx.data;
  ProjectSessionFiles files;
  CliNotes notes(ctx.err);
  CaptureSession session(data, ctx.view, ctx.settings, *usb, ctx.clock, files, notes);
  session.Journal().UsePath(JournalPathFor(keep, o.out));
  session.Configure(SessionOptions{keep.rotate, o.out, keep.maxFiles, keep.storeEvents});
  session.SparePartsWhile([&](const std::string& path) { return publish.StillNeeded(session, path); });
  if (!session.Prepare()) return kExitUsage;
  LinkSupervisor& link = session.Link();
  if (!o.device.empty()) link.SetDeviceResolver([&o](uint8_t) { return o.device; });
  link.RestartLink();
  if (link.Comms() != nullptr && !link.Comms()->IsOpen()) {
    ctx.err << "korvalog-cli: cannot open " << link.Comms()->DeviceName()
            << ": missing, in use, or not a serial port\n";
    return kExitUsage;
  }

  bool started = false;
  const char* reason = CaptureUntilStopped(session, o, *usb, ctx, publish, started);
  if (!started) data.SetCapture(true);
  data.SetCapture(false);
  data.DeliverPendingNotifications();
  ctx.err << "korvalog-cli: capture ended (" << reason << ")\n";
  const int status = session.Finish([&] { return WriteCapture(o.out, ctx); });
  if (!keep.rotate && status == kExitOk) publish.Also(o.out);
  return publish.Finish(session, ctx.err, status);
}

}  // namespace korvalog::cli
