#include "app/cli/stop_signals.h"

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvalog::cli {
namespace {

volatile std::sig_atomic_t gStopRequested = 0;

#ifdef _WIN32
// Set once the capture has been written (this object is gone).
HANDLE gWritten = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  gStopRequested = 1;
  // For a closed window, log-off and shut-down Windows ends the process as
  // soon as this returns: hold it until the capture is written, within the
  // few seconds Windows allows.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    if (gWritten != nullptr) WaitForSingleObject(gWritten, 4500);
  }
  return TRUE;
}
#else
void OnStopSignal(int) { gStopRequested = 1; }
#endif

}  // namespace

#ifdef _WIN32

StopSignals::StopSignals() {
  gStopRequested = 0;
  gWritten = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  if (gWritten != nullptr) SetEvent(gWritten);
}

#else

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

#endif

bool StopSignals::Requested() const { return gStopRequested != 0; }

}  // namespace korvalog::cli
