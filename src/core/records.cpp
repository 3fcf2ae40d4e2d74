#include "core/records.h"

#include <algorithm>
#include <cstring>

namespace korvalog {

std::string ChannelName(const ChannelRecord& rec) {
  const size_t n = std::min<size_t>(rec.nameLength, kChannelNameMax);
  return std::string(rec.nameChars, n);
}

void SetChannelName(ChannelRecord& rec, std::string_view name) {
  const size_t n = std::min<size_t>(name.size(), kChannelNameMax);
  std::memset(rec.nameChars, 0, sizeof rec.nameChars);
  std::memcpy(rec.nameChars, name.data(), n);
  rec.nameLength = static_cast<uint8_t>(n);
}

int CountSequenceSteps(const SequenceTable& table) {
  int n = 0;
  while (n < kSequenceRows && table[n].signal != 0) ++n;
  return n;
}

}  // namespace korvalog
