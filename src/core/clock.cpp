#include "core/clock.h"

#include <chrono>
#include <ctime>

#include "base/date_time.h"

namespace korvalog {

double SystemClock::Now() const {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  DateTimeFields f;
  f.year = local.tm_year + 1900;
  f.month = local.tm_mon + 1;
  f.day = local.tm_mday;
  f.hour = local.tm_hour;
  f.minute = local.tm_min;
  f.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second shows as :59
  f.millisecond = static_cast<int>(ms % 1000);
  double t = 0.0;
  TryEncodeDateTime(f, t);
  return t;
}

void ManualClock::AdvanceMs(double ms) {
  double cur = now_.load(std::memory_order_acquire);
  while (!now_.compare_exchange_weak(cur, cur + ms / kMsPerDay, std::memory_order_acq_rel)) {
  }
}

}  // namespace korvalog
