#pragma once
// SerialLink owns one serial port: it opens it, sets the line format, writes
// command bytes and runs SerialReceiveThread, which sleeps on the port until
// bytes arrive and hands all that arrived (1..kRxBufferSize bytes a chunk) to
// OnReceive at once, so the line, not the program, limits the rate. It knows
// nothing of loggers. A port that is missing or busy still gives an object,
// without a thread: Configure and Write return false and nothing is
// delivered. Such an object is let go at once, so trying the port again
// every few seconds from the interface thread never stalls it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "transport/serial_port.h"

namespace korvalog {

class SerialLink;

// The receive thread. Not freed by itself when it ends: its SerialLink frees it.
class SerialReceiveThread {
 public:
  explicit SerialReceiveThread(SerialLink& comms) : comms_(comms) {}
  SerialReceiveThread(const SerialReceiveThread&) = delete;
  SerialReceiveThread& operator=(const SerialReceiveThread&) = delete;
  ~SerialReceiveThread();

  void Start();
  // Asks the loop to end after its current pass (within kReadWaitMs); a
  // pause after a failed read ends at once.
  void Terminate();
  // Waits `wait`, or less when asked to end: the pause after a failed read.
  void Pause(std::chrono::milliseconds wait);
  // Returns once the loop has ended.
  void WaitFor();

 private:
  void Execute();

  SerialLink& comms_;
  std::atomic<bool> terminated_{false};
  std::mutex pauseMutex_;
  std::condition_variable wake_;
  std::thread thread_;
};

class SerialLink {
 public:
  // Runs on the receive thread; reads RxBuffer[0 .. RxCount-1].
  using ReceiveHandler = std::function<void(SerialLink&)>;
  // As much as a terminal hands over in one read.
  static constexpr size_t kRxBufferSize = 4096;
  // The longest a read waits for the first byte: how soon the thread sees a
  // stop request, how often a missing or failed port is tried again, and on
  // Windows (whose reads and writes on one handle take turns) the longest a
  // command waits behind a read.
  static constexpr int kReadWaitMs = 20;

  // Opens the device that `port` names on this platform (SerialDeviceName).
  SerialLink(uint8_t port, ReceiveHandler onReceive);
  // Opens `deviceName` itself; `port` is kept for the record.
  SerialLink(uint8_t port, const std::string& deviceName, ReceiveHandler onReceive);
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;
  ~SerialLink() { Destroy(); }

  // Interface thread. True when the port accepted every setting.
  bool Configure(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits);
  bool Write(const uint8_t* bytes, size_t length);
  bool Write(std::string_view bytes) {
    return Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  // Ends the receive thread and closes the port. Once it returns OnReceive is
  // never called again. Never call it from OnReceive itself.
  void Destroy();

  bool IsOpen() const { return handle_ != nullptr; }
  // A receive thread runs: only while the port is open.
  bool Receiving() const { return thread_ != nullptr; }
  // True while reads fail, as they do once the device is gone (an unplugged
  // adapter); cleared by the next read that succeeds.
  bool LineFailed() const { return lineFailed_.load(std::memory_order_acquire); }
  uint8_t Port() const { return port_; }
  const std::string& DeviceName() const { return deviceName_; }

  // Written and read only on the receive thread.
  uint16_t RxCount = 0;
  uint8_t RxBuffer[kRxBufferSize] = {};

 private:
  friend class SerialReceiveThread;
  void ReceivePass();

  std::unique_ptr<SerialReceiveThread> thread_;
  ReceiveHandler onReceive_;
  std::unique_ptr<SerialPort> handle_;  // null when opening failed
  uint8_t port_;
  std::string deviceName_;
  std::atomic<bool> lineFailed_{false};
};

}  // namespace korvalog
