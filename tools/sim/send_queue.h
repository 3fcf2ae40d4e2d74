#pragma once
// The bytes the logger was told to send, in order, waiting for room on the
// non-blocking pseudo-terminal. Nothing is dropped while the program reads
// them, however late; only bytes nobody takes (beyond kLimit waiting, or
// still waiting at the end) are counted as not sent, so that a test can tell
// a loss in the simulator from a loss in the program.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvalog::sim {

class SendQueue {
 public:
  // About a minute of a 128-channel logger at 100,000 changes a second.
  static constexpr size_t kLimit = 16u << 20;

  // Queues `bytes` after those still waiting; past kLimit they are dropped
  // and counted.
  void Add(const std::vector<uint8_t>& bytes);
  // Writes what the descriptor takes now, without waiting. False when the
  // descriptor failed (not when it is only full).
  bool Flush(int fd);

  size_t Waiting() const { return bytes_.size() - head_; }
  uint64_t Sent() const { return sent_; }
  uint64_t Dropped() const { return dropped_; }
  // Dropped plus still waiting: what the program can no longer get from here.
  uint64_t NotSent() const { return dropped_ + Waiting(); }

 private:
  std::vector<uint8_t> bytes_;
  size_t head_ = 0;  // bytes_[0 .. head_) are sent
  uint64_t sent_ = 0;
  uint64_t dropped_ = 0;
};

}  // namespace korvalog::sim
