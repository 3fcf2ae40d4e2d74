#include "core/process_setup.h"

#include <csignal>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#else
#include <unistd.h>
#endif

namespace korvalog {

void SetUpProcess() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef _WIN32
  // The output is written byte for byte as on Linux: a dump's CR LF must not
  // become CR CR LF, nor an info line's LF a CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

unsigned long CurrentProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

}  // namespace korvalog
