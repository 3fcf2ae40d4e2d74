#pragma once
// Waits, boundedly, for another thread (a receive thread, a child process)
// to make a condition true; polling every millisecond.
#include <chrono>
#include <thread>

namespace korvalog::testing {

template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace korvalog::testing
