#include "core/skipped_events.h"

#include "core/records.h"

namespace korvalog {

std::string SkippedEvents::Warning() const {
  if (Total() == 0) return {};
  std::string text = std::to_string(Total()) + (Total() == 1 ? " event skipped:" : " events skipped:");
  const char* separator = " ";
  auto reason = [&](uint64_t n, const std::string& why) {
    if (n == 0) return;
    text += separator + std::to_string(n) + " " + why;
    separator = ", ";
  };
  reason(channel, "with a channel outside 1..128");
  reason(level, "with a level other than 0 or 1");
  reason(time, "with a time that is not a finite number");
  reason(order, "with a time before the event before it");
  reason(late, "with a time beyond the latest allowed");
  reason(full, "beyond the store's " + std::to_string(kEventCapacity) + " events");
  return text;
}

}  // namespace korvalog
