#include "sim/send_queue.h"

#include <unistd.h>

#include <cerrno>

namespace korvalog::sim {

void SendQueue::Add(const std::vector<uint8_t>& bytes) {
  const size_t room = Waiting() < kLimit ? kLimit - Waiting() : 0;
  const size_t take = bytes.size() < room ? bytes.size() : room;
  dropped_ += bytes.size() - take;
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
}

bool SendQueue::Flush(int fd) {
  while (Waiting() > 0) {
    const ssize_t n = write(fd, bytes_.data() + head_, Waiting());
    if (n > 0) {
      head_ += static_cast<size_t>(n);
      sent_ += static_cast<uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;  // full: poll says when
    return false;
  }
  // The sent front is given back once it is the larger part, so the queue
  // stays as large as what waits.
  if (head_ > 0 && head_ >= Waiting()) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  return true;
}

}  // namespace korvalog::sim
