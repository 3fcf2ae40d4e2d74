#pragma once
// The one way a test waits for another thread (a receive thread, a child
// process, the window's event loop) to make a condition true: polling,
// bounded by a limit that only a broken program reaches. Never a fixed sleep.
#include <chrono>
#include <thread>

namespace korvalog::testing {

// Generous: a sanitized build on a busy machine is many times slower.
constexpr std::chrono::milliseconds kWaitLimit{5000};

// True as soon as `pred` holds; false once `limit` passed without it.
// `between` runs between polls (a Qt test passes one that processes the
// window's events); by default the thread sleeps a millisecond.
template <typename Pred, typename Between>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit, Between between) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return pred();
    between();
  }
  return true;
}

template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit = kWaitLimit) {
  return WaitUntil(pred, limit, [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); });
}

}  // namespace korvalog::testing
