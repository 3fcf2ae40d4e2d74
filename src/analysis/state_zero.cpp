#include "analysis/state_zero.h"

namespace korvalog {

StateZeroTable BuildStateZero(const SequenceTable& table) {
  StateZeroTable zero;
  zero.fill(kSearchIgnore);
  for (const SequenceRow& row : table) {
    // A signal byte outside 1..128 (only from a damaged file) names no channel.
    if (row.signal < 1 || row.signal > kChannelCount) continue;
    uint8_t& z = zero[row.signal - 1];
    if (z == kSearchIgnore) z = row.event != 0 ? 0 : 1;
  }
  return zero;
}

std::string StateZeroMarkup(const SequenceTable& table, const ChannelTable& channels) {
  std::string out;
  bool seen[kChannelCount] = {};
  for (const SequenceRow& row : table) {
    if (row.signal < 1 || row.signal > kChannelCount || seen[row.signal - 1]) continue;
    seen[row.signal - 1] = true;
    // The first row asks for a change, so the channel must start opposite.
    out += row.event != 0 ? "\\1" : "\\9";
    out += ChannelName(channels[row.signal - 1]);
    out += ' ';
  }
  return out;
}

}  // namespace korvalog
