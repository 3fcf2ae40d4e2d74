// The serial port on Windows, through the communications API: \\.\COMn
// opened exclusively, a binary line with the same settings the POSIX layer
// makes, reads that wait for the first byte no longer than asked and then
// return with what has arrived (COMMTIMEOUTS), the driver's queues purged on
// open, DTR and RTS raised while it is open.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>

#include "core/file_names.h"
#include "transport/serial_port.h"

namespace korvalog {
namespace {

// A write that the line cannot take within this time (flow stopped by a
// misbehaving driver) fails instead of holding the interface thread.
constexpr DWORD kWriteTimeoutMs = 2000;

class WindowsSerialPort final : public SerialPort {
 public:
  explicit WindowsSerialPort(HANDLE h) : h_(h) {}
  ~WindowsSerialPort() override {
    // Nothing waits long in a read (they return at once), but a write or a
    // read on another thread is ended rather than left behind the close.
    CancelIoEx(h_, nullptr);
    CloseHandle(h_);
  }

  bool ApplyLineFormat(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h_, &dcb)) return false;
    dcb.BaudRate = baud;
    dcb.ByteSize = dataBits;
    dcb.Parity = parity;      // NOPARITY, ODDPARITY ... share the codes
    dcb.StopBits = stopBits;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS likewise
    dcb.fBinary = TRUE;
    dcb.fParity = parity != kParityNone;
    // No output flow control of any kind, and no byte is ever changed or
    // dropped by the driver: XON/XOFF values and zeros are logger data.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // A line error must not stall every later read until it is cleared.
    dcb.fAbortOnError = FALSE;
    return SetCommState(h_, &dcb) != 0;
  }

  int Read(uint8_t* buffer, size_t capacity, int waitMs) override {
    if (!WaitAtMost(waitMs < 0 ? 0 : static_cast<DWORD>(waitMs))) return -1;
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(capacity, 0x10000));
    if (!ReadFile(h_, buffer, want, &n, nullptr)) {
      // The adapter was unplugged, or the handle is no longer a line.
      return -1;
    }
    // A line that is gone can still read as "nothing"; asking for its
    // errors then fails (the device is not ready, or no longer there).
    DWORD errors = 0;
    const bool lineThere = ClearCommError(h_, &errors, nullptr) != 0;
    if (n == 0) return lineThere ? 0 : -1;
    // Bytes that failed the parity check (or a framing error) cannot be told
    // apart from good ones here, as POSIX drops them: this read is dropped
    // instead of handing on a damaged byte, which would read as a transition.
    // At the logger's rate a read holds the one or two bytes that came
    // since the last. What arrived before the line failed still counts.
    if (lineThere && (errors & (CE_RXPARITY | CE_FRAME)) != 0) return 0;
    return static_cast<int>(n);
  }

  bool Write(const uint8_t* bytes, size_t length) override {
    DWORD n = 0;
    return WriteFile(h_, bytes, static_cast<DWORD>(length), &n, nullptr) != 0;
  }

  // Reads that return at once with what the driver holds, or (wait > 0)
  // wait that long for the first byte and then return with all there is.
  // The driver keeps the setting, so it is changed only when the wait does.
  static bool SetReadWait(HANDLE h, DWORD waitMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = waitMs > 0 ? MAXDWORD : 0;
    timeouts.ReadTotalTimeoutConstant = waitMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    return SetCommTimeouts(h, &timeouts) != 0;
  }

 private:
  bool WaitAtMost(DWORD waitMs) {
    if (waitMs == readWaitMs_) return true;
    if (!SetReadWait(h_, waitMs)) return false;
    readWaitMs_ = waitMs;
    return true;
  }

  const HANDLE h_;
  DWORD readWaitMs_ = 0;  // as OpenSerialPort set it
};

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& deviceName) {
  // Share mode 0: shared with nobody, a second open gets "in use".
  const HANDLE h = CreateFileW(WideFromUtf8(deviceName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (GetFileType(h) != FILE_TYPE_CHAR || !GetCommState(h, &dcb)) {
    CloseHandle(h);  // not a serial device
    return nullptr;
  }
  auto port = std::make_unique<WindowsSerialPort>(h);
  // Room in the driver for a fast line's bytes while the reader is not
  // scheduled (a driver may keep its own size).
  SetupComm(h, 65536, 4096);
  // Reads return at once with what the driver holds, as VMIN = VTIME = 0
  // does on POSIX, until a read asks to wait.
  if (!WindowsSerialPort::SetReadWait(h, 0)) return nullptr;
  // Whatever an earlier user left in the queues is not this logger's data.
  PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
  // DTR and RTS asserted while open. A line without modem lines (a virtual
  // port) may refuse; that is not a failure.
  EscapeCommFunction(h, SETDTR);
  EscapeCommFunction(h, SETRTS);
  return port;
}

}  // namespace korvalog

#endif  // _WIN32
