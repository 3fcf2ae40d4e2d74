#include "transport/serial_link.h"

#include <chrono>

#include "transport/port_names.h"

namespace korvalog {

SerialReceiveThread::~SerialReceiveThread() {
  Terminate();
  WaitFor();
}

void SerialReceiveThread::Start() { thread_ = std::thread([this] { Execute(); }); }

void SerialReceiveThread::Terminate() {
  {
    const std::lock_guard<std::mutex> lock(pauseMutex_);
    terminated_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
}

void SerialReceiveThread::Pause(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(pauseMutex_);
  wake_.wait_for(lock, wait, [this] { return terminated_.load(std::memory_order_acquire); });
}

void SerialReceiveThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void SerialReceiveThread::Execute() {
  // The request is tested after each pass, so a pass always completes.
  do {
    comms_.ReceivePass();
  } while (!terminated_.load(std::memory_order_acquire));
}

SerialLink::SerialLink(uint8_t port, ReceiveHandler onReceive)
    : SerialLink(port, SerialDeviceName(port), std::move(onReceive)) {}

SerialLink::SerialLink(uint8_t port, const std::string& deviceName, ReceiveHandler onReceive)
    : onReceive_(std::move(onReceive)), port_(port), deviceName_(deviceName) {
  handle_ = OpenSerialPort(deviceName_);
  // The default line format of a new link; users that need another one
  // configure it afterwards.
  Configure(9600, kParityNone, 8, kStopBitsOne);
  // A port that did not open has nothing to read: no thread to start, and
  // none to wait for when the link is made anew.
  if (!handle_) return;
  thread_ = std::make_unique<SerialReceiveThread>(*this);
  thread_->Start();
}

bool SerialLink::Configure(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
  if (!handle_) return false;
  return handle_->Configure(baud, parity, dataBits, stopBits);
}

bool SerialLink::Write(const uint8_t* bytes, size_t length) {
  if (!handle_) return false;
  return handle_->Write(bytes, length);
}

void SerialLink::Destroy() {
  if (thread_) {
    thread_->Terminate();
    thread_->WaitFor();
    thread_.reset();
  }
  handle_.reset();
}

void SerialLink::ReceivePass() {
  const auto idle = std::chrono::milliseconds(kReadWaitMs);
  // Wakes as soon as bytes arrive and takes all of them: a fast stream is
  // read as fast as it comes, a quiet line costs one wake-up per wait.
  const int n = handle_->Read(RxBuffer, kRxBufferSize, kReadWaitMs);
  lineFailed_.store(n < 0, std::memory_order_release);
  if (n < 0) {
    // A failed line answers at once: tried again after a pause, not in a
    // spin; a pause that a stop request cuts short, as the link is made
    // anew while the device is gone.
    thread_->Pause(idle);
    return;
  }
  if (n == 0) return;
  RxCount = static_cast<uint16_t>(n);
  if (onReceive_) onReceive_(*this);
}

}  // namespace korvalog
