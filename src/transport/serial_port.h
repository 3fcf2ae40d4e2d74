#pragma once
// The operating-system side of a serial port, kept small so that each platform
// supplies one implementation: POSIX termios here, the Windows
// communications API on Windows. SerialLink is written against this interface.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace korvalog {

// Parity codes as the Windows serial interface numbers them.
constexpr uint8_t kParityNone = 0;
constexpr uint8_t kParityOdd = 1;
constexpr uint8_t kParityEven = 2;
constexpr uint8_t kParityMark = 3;
constexpr uint8_t kParitySpace = 4;
// Stop-bit codes: one, one and a half, two.
constexpr uint8_t kStopBitsOne = 0;
constexpr uint8_t kStopBitsOneAndHalf = 1;
constexpr uint8_t kStopBitsTwo = 2;

// The rates a port offers, the same on every system so that a setting works
// on all of them or on none.
constexpr uint32_t kSerialRates[] = {50,   75,   110,   134,   150,   200,    300,    600,    1200,   1800,
                                     2400, 4800, 9600,  19200, 38400, 57600, 115200, 230400, 460800, 921600};

// Whether a line format is one a port can be set to: a rate of kSerialRates,
// 5 to 8 data bits, a parity and a stop-bit code above, and one and a half
// stop bits only for 5-bit characters (a UART sends them for no other size).
constexpr bool LineFormatSupported(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
  bool rate = false;
  for (const uint32_t r : kSerialRates) rate = rate || r == baud;
  return rate && dataBits >= 5 && dataBits <= 8 && parity <= kParitySpace && stopBits <= kStopBitsTwo &&
         (stopBits != kStopBitsOneAndHalf || dataBits == 5);
}

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Line format: the arguments, parity checking on, no hardware output flow
  // control. True when the port took every setting; a format that
  // LineFormatSupported refuses is not tried on any system.
  bool Configure(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
    return LineFormatSupported(baud, parity, dataBits, stopBits) && ApplyLineFormat(baud, parity, dataBits, stopBits);
  }
  // Waits up to `waitMs` for the first byte, then returns at once with all
  // that has arrived, up to `capacity`: the byte count (0 when nothing came),
  // or -1 when the read failed. A wait of 0 only looks.
  virtual int Read(uint8_t* buffer, size_t capacity, int waitMs) = 0;
  int Read(uint8_t* buffer, size_t capacity) { return Read(buffer, capacity, 0); }
  // One write of `length` bytes; true when the system accepted it.
  virtual bool Write(const uint8_t* bytes, size_t length) = 0;

 protected:
  // The system's part of Configure, for a supported format.
  virtual bool ApplyLineFormat(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) = 0;
};

// Opens a port for reading and writing, shared with nobody, with reads that
// wait no longer than asked and DTR and RTS asserted. Null when the device is missing,
// busy or not a serial device. Each platform defines it.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& deviceName);

}  // namespace korvalog
