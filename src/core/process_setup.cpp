#include "core/process_setup.h"

#include <csignal>

namespace korvalog {

void SetUpProcess() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace korvalog
