#include "transport/comms.h"

#include <chrono>

#include "transport/port_names.h"

namespace korvalog {

TRxThread::~TRxThread() {
  Terminate();
  WaitFor();
}

void TRxThread::Start() { thread_ = std::thread([this] { Execute(); }); }

void TRxThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TRxThread::Execute() {
  // The request is tested after each pass, so a pass always completes.
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(TComms::kPollMs));
    comms_.ReceivePass();
  } while (!terminated_.load(std::memory_order_acquire));
}

TComms::TComms(uint8_t port, ReceiveHandler onReceive)
    : TComms(port, SerialDeviceName(port), std::move(onReceive)) {}

TComms::TComms(uint8_t port, const std::string& deviceName, ReceiveHandler onReceive)
    : onReceive_(std::move(onReceive)), port_(port), deviceName_(deviceName) {
  handle_ = OpenSerialPort(deviceName_);
  // The default line format of a new link; users that need another one
  // configure it afterwards.
  Configure(9600, kParityNone, 8, kStopBitsOne);
  // The thread runs even when the port did not open: it then only idles.
  thread_ = std::make_unique<TRxThread>(*this);
  thread_->Start();
}

bool TComms::Configure(uint32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
  if (!handle_) return false;
  return handle_->Configure(baud, parity, dataBits, stopBits);
}

bool TComms::Write(const uint8_t* bytes, size_t length) {
  if (!handle_) return false;
  return handle_->Write(bytes, length);
}

void TComms::Destroy() {
  if (thread_) {
    thread_->Terminate();
    thread_->WaitFor();
    thread_.reset();
  }
  handle_.reset();
}

void TComms::ReceivePass() {
  if (!handle_) return;
  // A failed read is passed over and tried again on the next pass.
  const int n = handle_->Read(RxBuffer, kRxBufferSize);
  lineFailed_.store(n < 0, std::memory_order_release);
  if (n <= 0) return;
  RxCount = static_cast<uint16_t>(n);
  if (onReceive_) onReceive_(*this);
}

}  // namespace korvalog
