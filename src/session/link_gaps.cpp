#include "session/link_gaps.h"

#include <algorithm>
#include <cmath>

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {
std::string ClockText(double at) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(at));
  return TwoDigitText(static_cast<uint8_t>(f.hour)) + ":" + TwoDigitText(static_cast<uint8_t>(f.minute)) + ":" +
         TwoDigitText(static_cast<uint8_t>(f.second));
}
}  // namespace

void LinkGaps::Back(double at) {
  if (Open()) gaps_.back().backAt = at;
}

std::string LinkGaps::LostText(const LinkGap& gap, bool reconnecting) {
  return "Logger link lost at " + ClockText(gap.lostAt) + " after " + UIntToText(gap.eventIndex) +
         (gap.eventIndex == 1 ? " event" : " events") + (reconnecting ? ", reconnecting" : "");
}

std::string LinkGaps::BackText(const LinkGap& gap) {
  const double seconds = std::max(0.0, (gap.backAt - gap.lostAt) * kSecondsPerDay);
  return "Logger link back at " + ClockText(gap.backAt) + ", " + UIntToText(static_cast<uint32_t>(std::lround(seconds))) +
         " s without it";
}

}  // namespace korvalog
