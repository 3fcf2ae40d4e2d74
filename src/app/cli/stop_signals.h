#pragma once
// The signals that end a live capture: Ctrl+C (SIGINT), SIGTERM, a closed
// terminal (SIGHUP) and Ctrl+\ (SIGQUIT) all stop it the same way, so that
// the capture is still written. On Windows: Ctrl+C, Ctrl+Break, a closed
// console window, log-off and shut-down. Installed for the life of the capture.
#ifndef _WIN32
#include <signal.h>
#endif

namespace korvalog::cli {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool Requested() const;

#ifndef _WIN32
 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  struct sigaction old_[4] {};
  // A status line written to a pipe whose reader went away with the
  // terminal must not end the capture either.
  struct sigaction oldPipe_ {};
#endif
};

}  // namespace korvalog::cli
