#include "chart/channel_index.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvalog {
namespace {

// The links are written once and read much later: past the caches, so the
// write does not first fetch the lines it fills.
inline void PutLink(uint32_t* at, uint32_t value) {
#if defined(__SSE2__)
  _mm_stream_si32(reinterpret_cast<int*>(at), static_cast<int>(value));
#else
  *at = value;
#endif
}

}  // namespace

void ChannelIndex::Clear() {
  built_ = false;
  count_ = 0;
  ordered_ = true;
  events_ = nullptr;
  checkpoints_.clear();
}

size_t ChannelIndex::MemoryBytes() const {
  return capacity_ * sizeof(uint32_t) + checkpoints_.capacity() * sizeof(Checkpoint);
}

void ChannelIndex::Build(const EventRecord* events, uint32_t count, const uint8_t (&startLevels)[kChannelCount]) {
  Clear();
  if (count > capacity_) {
    previous_.reset(new uint32_t[count]);  // no zero fill: every slot is written below
    capacity_ = count;
  }
  checkpoints_.reserve(count / block_ + 2);
  Checkpoint now;
  now.last.fill(kNone);
  for (int c = 0; c < kChannelCount; ++c) startLevels_[c] = startLevels[c] != 0 ? 1 : 0;
  uint32_t* previous = previous_.get();
  bool ordered = true;
  double before = count > 0 ? static_cast<double>(events[0].time) : 0.0;
  // One pass; the checkpoint is taken as each block begins.
  for (uint32_t start = 0; start < count; start += block_) {
    checkpoints_.push_back(now);
    const uint32_t end = std::min(count, start + block_);
    for (uint32_t i = start; i < end; ++i) {
      const EventRecord& e = events[i];
      const unsigned c = e.channel;
      const double t = e.time;
      ordered &= !(t < before);
      before = t;
      if (!Valid(c)) {
        PutLink(previous + i, kNone);
        continue;
      }
      PutLink(previous + i, now.last[c - 1]);
      now.last[c - 1] = i;
    }
  }
  checkpoints_.push_back(now);  // the end
#if defined(__SSE2__)
  _mm_sfence();  // the links are visible to every later read
#endif
  events_ = events;
  count_ = count;
  ordered_ = ordered;
  built_ = true;
}

uint32_t ChannelIndex::LastBefore(int channel, uint32_t p) const {
  if (!built_ || !Valid(static_cast<unsigned>(channel))) return kNone;
  if (p >= count_) return checkpoints_.back().last[channel - 1];
  const uint32_t blockStart = p / block_ * block_;
  for (uint32_t i = p; i-- > blockStart;) {
    if (events_[i].channel == channel) return i;
  }
  return checkpoints_[p / block_].last[channel - 1];
}

uint32_t ChannelIndex::FirstFrom(int channel, uint32_t p) const {
  if (!built_ || !Valid(static_cast<unsigned>(channel)) || p >= count_) return kNone;
  const uint32_t blockEnd = std::min(count_, (p / block_ + 1) * block_);
  for (uint32_t i = p; i < blockEnd; ++i) {
    if (events_[i].channel == channel) return i;
  }
  // The first later block the channel has an event in: its latest event
  // there, then back along the links to the block's first.
  for (size_t k = p / block_ + 1; k + 1 < checkpoints_.size(); ++k) {
    uint32_t last = checkpoints_[k + 1].last[channel - 1];
    const uint32_t start = static_cast<uint32_t>(k * block_);
    if (last == kNone || last < start) continue;
    while (previous_[last] != kNone && previous_[last] >= start) last = previous_[last];
    return last;
  }
  return kNone;
}

uint8_t ChannelIndex::LevelBefore(int channel, uint32_t p) const {
  if (!built_ || !Valid(static_cast<unsigned>(channel))) return 0;
  const uint32_t last = LastBefore(channel, p);
  if (last != kNone) return events_[last].state != 0 ? 1 : 0;
  return startLevels_[channel - 1];
}

void ChannelIndex::LevelsBefore(uint32_t p, uint8_t (&levels)[kChannelCount]) const {
  if (!built_) {
    std::fill(std::begin(levels), std::end(levels), uint8_t{0});
    return;
  }
  p = std::min(p, count_);
  const size_t k = std::min<size_t>(p / block_, checkpoints_.size() - 1);
  for (int c = 0; c < kChannelCount; ++c) {
    const uint32_t last = checkpoints_[k].last[c];
    levels[c] = last == kNone ? startLevels_[c] : (events_[last].state != 0 ? 1 : 0);
  }
  for (uint32_t i = static_cast<uint32_t>(k * block_); i < p; ++i) {
    const unsigned c = events_[i].channel;
    if (Valid(c)) levels[c - 1] = events_[i].state != 0 ? 1 : 0;
  }
}

}  // namespace korvalog
