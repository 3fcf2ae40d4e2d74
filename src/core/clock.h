#pragma once
// The PC clock as a date-time double with millisecond resolution. Everything
// that stamps or schedules takes a Clock& so tests can set the time.
#include <atomic>

namespace korvalog {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date and time now, whole milliseconds.
  virtual double Now() const = 0;
};

class SystemClock final : public Clock {
 public:
  double Now() const override;
};

// A clock that only moves when told to; safe to read from any thread.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(double start = 0.0) : now_(start) {}
  double Now() const override { return now_.load(std::memory_order_acquire); }
  void Set(double t) { now_.store(t, std::memory_order_release); }
  void AdvanceMs(double ms);

 private:
  std::atomic<double> now_;
};

}  // namespace korvalog
