#include "core/trace_list.h"

#include <cstring>

namespace korvalog {

void ResetChannelTable(ChannelTable& table) {
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    ChannelRecord& rec = table[ch - 1];
    SetChannelName(rec, "#" + std::to_string(ch));
    rec.SearchCondition = kSearchIgnore;
  }
}

void ResetDisplayOrder(DisplayOrder& order) {
  for (int i = 0; i < kChannelCount; ++i) order[i] = static_cast<uint8_t>(i + 1);
}

bool IsPermutation(const DisplayOrder& order) {
  bool seen[kChannelCount + 1] = {};
  for (uint8_t ch : order) {
    if (ch < 1 || ch > kChannelCount || seen[ch]) return false;
    seen[ch] = true;
  }
  return true;
}

void TraceList::Reset() {
  ResetChannelTable(records_);
  ResetDisplayOrder(order_);
  roles_.Clear();
  IndexRows();
}

void TraceList::IndexRows() {
  for (int r = 1; r <= kChannelCount; ++r) rowOf_[order_[r - 1] - 1] = static_cast<uint8_t>(r);
}

Trace TraceList::At(int row) const {
  const int channel = ChannelAt(row);
  if (channel == 0) return Trace{};
  return Trace{channel, Name(channel), Search(channel), roles_[channel]};
}

std::array<uint8_t, kChannelCount> TraceList::SearchConditions() const {
  std::array<uint8_t, kChannelCount> out{};
  for (int c = 0; c < kChannelCount; ++c) out[c] = records_[c].SearchCondition;
  return out;
}

bool TraceList::MoveRow(int from, int to) {
  if (!ValidIndex(from) || !ValidIndex(to) || from == to) return false;
  const uint8_t c = order_[from - 1];
  if (from > to) {
    for (int r = from; r > to; --r) order_[r - 1] = order_[r - 2];
  } else {
    for (int r = from; r < to; ++r) order_[r - 1] = order_[r];
  }
  order_[to - 1] = c;
  IndexRows();
  return true;
}

TraceList TraceList::WithFirst(const std::vector<int>& channels) const {
  bool wanted[kChannelCount + 1] = {};
  for (int ch : channels) {
    if (ValidIndex(ch)) wanted[ch] = true;
  }
  TraceList out = *this;
  size_t n = 0;
  for (uint8_t ch : order_) {
    if (wanted[ch]) out.order_[n++] = ch;
  }
  for (uint8_t ch : order_) {
    if (!wanted[ch]) out.order_[n++] = ch;
  }
  out.IndexRows();
  return out;
}

bool TraceList::SetOrder(const DisplayOrder& order) {
  if (!IsPermutation(order)) return false;
  order_ = order;
  IndexRows();
  return true;
}

void TraceList::ResetOrder() {
  ResetDisplayOrder(order_);
  IndexRows();
}

bool TraceList::operator==(const TraceList& o) const {
  return std::memcmp(records_.data(), o.records_.data(), sizeof records_) == 0 && order_ == o.order_ &&
         roles_ == o.roles_;
}

}  // namespace korvalog
