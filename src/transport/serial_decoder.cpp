#include "transport/serial_decoder.h"

#include <mutex>

namespace korvalog {
namespace {
constexpr uint8_t kSignOfLife = 255;
constexpr uint8_t kPrefixLow = 253;
constexpr uint8_t kPrefixHigh = 254;
}  // namespace

void SerialDecoder::OnReceive(const uint8_t* rxBuffer, size_t rxCount) {
  const double time = clock_.Now();  // one reading for the whole chunk
  if (quiet_.load(std::memory_order_relaxed) != 0) {
    firstAfterQuiet_.store(time, std::memory_order_relaxed);
    quiet_.store(0, std::memory_order_release);
  }
  lastByteAt_.store(time, std::memory_order_relaxed);
  bytesSeen_.fetch_add(static_cast<uint32_t>(rxCount), std::memory_order_release);
  std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
  // Taken in slices of 128: at most 129 bytes are ever pending, so the ring
  // cannot overrun, whatever the size of the chunk.
  while (rxCount > 0) {
    // Bytes kept for a logger type that changed under an old link: the rest
    // of the chunk is not for this decoder either.
    if (ring_.Pending() > 128) return;
    const size_t slice = rxCount < 128 ? rxCount : 128;
    for (size_t i = 0; i < slice; ++i) ring_.bytes[ring_.write++] = rxBuffer[i];
    rxBuffer += slice;
    rxCount -= slice;
    DecodePending(time);
  }
}

void SerialDecoder::DecodePending(double time) {
  for (;;) {
    uint8_t channel = 0;
    uint8_t level = 0;
    const uint8_t type = settings_.LoggerType.load(std::memory_order_relaxed);
    if (type == kLogger96) {
      if (ring_.Pending() == 0) return;
      const uint8_t b = ring_.bytes[ring_.read++];
      if (b == kSignOfLife) {
        LoggerAlive.store(1, std::memory_order_release);
      } else {
        channel = static_cast<uint8_t>((b & 0x7F) + 1);
        level = b >> 7;
      }
    } else if (type == kLogger128) {
      if (ring_.Pending() == 0) return;
      const uint8_t prefix = ring_.bytes[ring_.read];
      if (prefix == kSignOfLife) {
        // An answer is taken at once, even as the last byte of a chunk.
        ++ring_.read;
        LoggerAlive.store(1, std::memory_order_release);
      } else if (prefix == kPrefixLow || prefix == kPrefixHigh) {
        if (ring_.Pending() < 2) return;
        const uint8_t c = ring_.bytes[static_cast<uint8_t>(ring_.read + 1)];
        if (c >= 0x80) {
          // No channel byte: the prefix's own was lost on the line. The
          // prefix is dropped and this byte read as what it is (an answer
          // or the next prefix).
          ++ring_.read;
          continue;
        }
        ring_.read = static_cast<uint8_t>(ring_.read + 2);
        channel = static_cast<uint8_t>(c + 1);
        level = prefix == kPrefixHigh ? 1 : 0;
      } else {
        ++ring_.read;  // a stray byte, dropped so the stream falls back into step
      }
    } else {
      return;  // the settings changed under an old link: keep the bytes
    }
    if (channel != 0) data_.ApplyTransition(time, channel, level);
  }
}

}  // namespace korvalog
