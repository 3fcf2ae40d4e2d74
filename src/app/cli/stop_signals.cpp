#include "app/cli/stop_signals.h"

#include <csignal>

namespace korvalog::cli {
namespace {

volatile std::sig_atomic_t gStopRequested = 0;
void OnStopSignal(int) { gStopRequested = 1; }

}  // namespace

StopSignals::StopSignals() {
  gStopRequested = 0;
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  for (int i = 0; i < 4; ++i) sigaction(kSignals[i], &sa, &old_[i]);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &oldPipe_);
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 4; ++i) sigaction(kSignals[i], &old_[i], nullptr);
  sigaction(SIGPIPE, &oldPipe_, nullptr);
}

bool StopSignals::Requested() const { return gStopRequested != 0; }

}  // namespace korvalog::cli
