// korvalog-sim: a 96- or 128-channel serial logger on a pseudo-terminal, for
// trying the program and for the integration tests without hardware.
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include "sim/logger_sim.h"
#include "sim/pseudo_terminal.h"
#include "sim/send_queue.h"
#include "sim/sim_options.h"
#include "transport/transition_source.h"

namespace {

// The logger was told to send bytes that the program never read.
constexpr int kExitNotAllSent = 3;

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

using namespace korvalog::sim;

std::unique_ptr<TransitionSource> MakeSource(const SimOptions& o, std::string& error) {
  if (!o.scriptPath.empty()) {
    std::ifstream in(o.scriptPath);
    if (!in) {
      error = "cannot read script " + o.scriptPath;
      return nullptr;
    }
    std::vector<SimTransition> list;
    if (!ParseScript(in, o.channels, list, error)) return nullptr;
    return std::make_unique<ScriptSource>(std::move(list));
  }
  if (o.liftPattern) return std::make_unique<LiftPattern>(o.rate, o.seed);
  return std::make_unique<ScriptSource>(std::vector<SimTransition>{});
}

int64_t MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "korvalog-sim: " << error << "\n" << kSimUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kSimUsage;
    return 0;
  }
  std::unique_ptr<TransitionSource> source = MakeSource(options, error);
  if (!source) {
    std::cerr << "korvalog-sim: " << error << "\n";
    return 2;
  }
  PseudoTerminal pty;
  if (!pty.Open(error)) {
    std::cerr << "korvalog-sim: " << error << "\n";
    return 1;
  }
  if (!options.linkPath.empty()) {
    struct stat st{};
    if (lstat(options.linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(options.linkPath.c_str());
    if (symlink(pty.DevicePath().c_str(), options.linkPath.c_str()) != 0) {
      std::cerr << "korvalog-sim: cannot make the link " << options.linkPath << "\n";
      return 1;
    }
  }
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGPIPE, SIG_IGN);

  std::cout << pty.DevicePath() << std::endl;
  std::cerr << "korvalog-sim: " << options.channels << "-channel logger on " << pty.DevicePath()
            << "\n";

  LoggerSim logger(options.channels, options.answer);
  const auto launched = std::chrono::steady_clock::now();
  int64_t startMs = -1;  // when the start command came
  SimTransition next{};
  bool haveNext = source->Next(next);
  std::vector<uint8_t> answer, out;
  std::vector<std::string> log;
  uint8_t buffer[256];
  // Answers and changes leave in the order they were made, as fast as the
  // program reads them: a slow reader delays them, never loses them.
  SendQueue sending;

  while (gStop == 0) {
    int64_t now = MsSince(launched);
    if (options.seconds > 0 && now >= static_cast<int64_t>(options.seconds * 1000)) break;
    int timeout = 100;
    if (startMs >= 0 && haveNext) {
      const int64_t wait = startMs + next.atMs - now;
      timeout = static_cast<int>(wait < 0 ? 0 : (wait > 100 ? 100 : wait));
    }
    const short events = static_cast<short>(POLLIN | (sending.Waiting() > 0 ? POLLOUT : 0));
    pollfd p{pty.MasterFd(), events, 0};
    if (poll(&p, 1, timeout) > 0 && (p.revents & POLLIN) != 0) {
      ssize_t n;
      while ((n = read(pty.MasterFd(), buffer, sizeof buffer)) > 0) {
        answer.clear();
        log.clear();
        logger.OnPcBytes(buffer, static_cast<size_t>(n), answer, log);
        sending.Add(answer);
        if (options.logCommands) {
          for (const std::string& line : log) std::cerr << "korvalog-sim: command " << line << "\n";
        }
      }
    }
    now = MsSince(launched);
    if (startMs < 0 && logger.Started()) startMs = now;
    if (startMs >= 0) {
      out.clear();
      while (haveNext && startMs + next.atMs <= now) {
        logger.EncodeTransition(next.channel, next.level, out);
        haveNext = source->Next(next);
      }
      sending.Add(out);
    }
    sending.Flush(pty.MasterFd());
  }
  if (!options.linkPath.empty()) unlink(options.linkPath.c_str());
  pty.Close();
  // Told, so that a change missing from a capture is not blamed on the
  // program when it never left here.
  if (sending.NotSent() > 0) {
    std::cerr << "korvalog-sim: " << sending.NotSent() << " of " << sending.Sent() + sending.NotSent()
              << " bytes could not be sent (nobody read them)\n";
    return kExitNotAllSent;
  }
  return 0;
}
