#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvalog::sim {

bool PseudoTerminal::Open(std::string& error) {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    Close();
    return false;
  }
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) {
    error = "cannot name the pseudo-terminal";
    Close();
    return false;
  }
  path_ = name;
  keeper_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  if (keeper_ < 0 || tcgetattr(keeper_, &t) != 0) {
    error = "cannot open " + path_ + ": " + std::strerror(errno);
    Close();
    return false;
  }
  cfmakeraw(&t);
  tcsetattr(keeper_, TCSANOW, &t);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

void PseudoTerminal::Close() {
  if (keeper_ >= 0) close(keeper_);
  if (master_ >= 0) close(master_);
  keeper_ = master_ = -1;
}

}  // namespace korvalog::sim
