// The serial port on POSIX systems, through termios. Raw binary line, reads
// that wait in poll() and then take what has arrived (VMIN = VTIME = 0 on a
// non-blocking descriptor), the
// port locked against other users, DTR and RTS raised while it is open.
#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "transport/serial_port.h"

namespace korvalog {
namespace {

#ifndef B460800
#define B460800 B0  // not offered by this system: refused below
#endif
#ifndef B921600
#define B921600 B0
#endif
// The speed code of each of kSerialRates, in the same order.
constexpr speed_t kSpeedCodes[] = {B50,   B75,   B110,   B134,    B150,    B200,    B300,
                                   B600,  B1200, B1800,  B2400,   B4800,   B9600,   B19200,
                                   B38400, B57600, B115200, B230400, B460800, B921600};
static_assert(sizeof kSpeedCodes / sizeof kSpeedCodes[0] == sizeof kSerialRates / sizeof kSerialRates[0]);

bool BaudConstant(uint32_t baud, speed_t& out) {
  for (size_t i = 0; i < sizeof kSerialRates / sizeof kSerialRates[0]; ++i) {
    if (kSerialRates[i] == baud) {
      out = kSpeedCodes[i];
      return out != B0;
    }
  }
  return false;
}

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override {
    // The exclusive flag belongs to the terminal, not to this descriptor: drop
    // it so that the next open (a restarted link) is not refused.
    ioctl(fd_, TIOCNXCL);
    close(fd_);
  }

  bool ApplyLineFormat(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) override {
    termios t{};
    speed_t speed;
    if (!BaudConstant(baud, speed)) return false;
    if (tcgetattr(fd_, &t) != 0) return false;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);

    tcflag_t size;
    switch (dataBits) {
      case 5: size = CS5; break;
      case 6: size = CS6; break;
      case 7: size = CS7; break;
      case 8: size = CS8; break;
      default: return false;
    }
    t.c_cflag = (t.c_cflag & ~CSIZE) | size;

    t.c_cflag &= ~(PARENB | PARODD);
#ifdef CMSPAR
    t.c_cflag &= ~CMSPAR;
#endif
    switch (parity) {
      case kParityNone: break;
      case kParityOdd: t.c_cflag |= PARENB | PARODD; break;
      case kParityEven: t.c_cflag |= PARENB; break;
#ifdef CMSPAR
      case kParityMark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
      case kParitySpace: t.c_cflag |= PARENB | CMSPAR; break;
#endif
      default: return false;
    }
    // Parity checking on. A byte that fails it (or a framing error) is dropped
    // rather than handed on as a zero byte, which would read as a transition.
    t.c_iflag |= INPCK | IGNPAR;
    t.c_iflag &= ~PARMRK;

    switch (stopBits) {
      case kStopBitsOne: t.c_cflag &= ~CSTOPB; break;
      case kStopBitsTwo: t.c_cflag |= CSTOPB; break;
      case kStopBitsOneAndHalf: t.c_cflag |= CSTOPB; break;  // 5-bit characters only (checked above)
      default: return false;
    }
#ifdef CRTSCTS
    t.c_cflag &= ~CRTSCTS;  // no CTS output flow control (POSIX has no DSR flow)
#endif
    return tcsetattr(fd_, TCSANOW, &t) == 0;
  }

  int Read(uint8_t* buffer, size_t capacity, int waitMs) override {
    // Sleeps until a byte arrives (or the wait ends). A hung-up line (adapter
    // unplugged, other end of a pseudo-terminal closed) can read as
    // "nothing" under VMIN = 0; poll tells it apart.
    pollfd p{fd_, POLLIN, 0};
    const int ready = poll(&p, 1, waitMs < 0 ? 0 : waitMs);
    if (ready == 0) return 0;
    const bool hungUp = ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    const ssize_t n = read(fd_, buffer, capacity);
    if (n > 0) return static_cast<int>(n);  // what arrived before the hang-up still counts
    if (hungUp) return -1;
    if (n == 0) return 0;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    return -1;
  }

  bool Write(const uint8_t* bytes, size_t length) override {
    ssize_t n;
    do {
      n = write(fd_, bytes, length);
    } while (n < 0 && errno == EINTR);
    return n >= 0;
  }

 private:
  const int fd_;
};

// Raw binary line with reads that return at once: the logger's bytes include
// XON/XOFF values, carriage returns and the like, which must pass unchanged.
bool MakeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& deviceName) {
  const int fd = open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // Shared with nobody: a lock that another Korvalog (or any program that
  // locks serial devices) respects, and the terminal's exclusive mode, which
  // makes every later open fail.
  if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
    close(fd);
    return nullptr;
  }
  auto port = std::make_unique<PosixSerialPort>(fd);
  if (!MakeRaw(fd)) return nullptr;
  // DTR and RTS asserted while open. A pseudo-terminal has no modem lines, so
  // a refusal here is not a failure.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIS, &lines);
  return port;
}

}  // namespace korvalog

#endif  // !_WIN32
