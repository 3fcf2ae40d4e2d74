#pragma once
// Turns the serial logger's bytes into transitions. The 96-channel logger sends
// one byte per transition (bit 7 level, bits 0-6 channel - 1); the 128-channel
// logger sends 253 (low) or 254 (high) followed by channel - 1. Both send 255
// as their sign of life.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/capture_data.h"
#include "core/clock.h"
#include "core/records.h"

namespace korvalog {

// Bytes received and not yet decoded. The byte-wide indices wrap by themselves;
// the ring lives as long as the program; only a lost line that is opened
// again drops what it holds.
struct ReceiveRing {
  uint8_t bytes[256] = {};
  uint8_t write = 0;
  uint8_t read = 0;
  uint8_t Pending() const { return static_cast<uint8_t>(write - read); }
};

class SerialDecoder {
 public:
  SerialDecoder(CaptureData& data, const LoggerSettings& settings, const Clock& clock)
      : data_(data), settings_(settings), clock_(clock) {}

  // Called on the serial receive thread with each chunk of received bytes,
  // of any size.
  void OnReceive(const uint8_t* rxBuffer, size_t rxCount);

  // Set when the byte 255 is met; the link supervisor clears it whenever it
  // sends a command.
  std::atomic<uint8_t> LoggerAlive{0};

  // Bytes received so far (any: input changes prove the line as well as
  // answers do), and the clock's time of the newest of them (0: none yet).
  uint32_t BytesSeen() const { return bytesSeen_.load(std::memory_order_acquire); }
  double LastByteAt() const { return lastByteAt_.load(std::memory_order_acquire); }
  // Interface thread: the link was lost; the time of the first byte after
  // this call is kept for FirstByteAfterQuiet.
  void NoteQuiet() {
    firstAfterQuiet_.store(0.0, std::memory_order_relaxed);
    quiet_.store(1, std::memory_order_release);
  }
  // The time of the first byte since NoteQuiet; 0 while none came.
  double FirstByteAfterQuiet() const {
    return quiet_.load(std::memory_order_acquire) == 0 ? firstAfterQuiet_.load(std::memory_order_relaxed) : 0.0;
  }

  const ReceiveRing& Ring() const { return ring_; }
  // Forgets the bytes not yet decoded. Only while no receive thread runs.
  void DropPending() { ring_.read = ring_.write; }

 private:
  // Turns the ring's complete transitions into events stamped `time`; the
  // transition lock is held.
  void DecodePending(double time);

  CaptureData& data_;
  const LoggerSettings& settings_;
  const Clock& clock_;
  ReceiveRing ring_;
  std::atomic<uint32_t> bytesSeen_{0};
  std::atomic<double> lastByteAt_{0.0};
  std::atomic<double> firstAfterQuiet_{0.0};
  std::atomic<uint8_t> quiet_{0};
};

}  // namespace korvalog
