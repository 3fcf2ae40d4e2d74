#pragma once
// One trace of the live chart (a channel, the search match or the Sequencer
// level) as marks in absolute pixel columns counted from the capture start.
// A column holds at most one mark: the level before its first event, the
// level after its last, and whether any event in it was marked. The marks
// live in a ring sized once; the oldest give way when it is full, since the
// live window shows only the newest columns.
#include <cstdint>
#include <vector>

#include "chart/level_segment.h"

namespace korvalog {

struct LiveMark {
  int64_t column;
  int8_t before;
  int8_t after;
  bool flag;  // a Sequencer violation in the column
};

class LiveTrack {
 public:
  // Allocates: interface thread, at a capture start or a change of scale.
  void Reset(int8_t level, size_t capacity) {
    ring_.assign(capacity < 2 ? 2 : capacity, LiveMark{});
    head_ = size_ = 0;
    base_ = level_ = level;
  }

  // The trace moves to `level` in column k. Times that run backwards (a
  // clock set back) count as the newest column.
  void Note(int64_t k, int8_t level, bool flag = false) {
    if (size_ > 0) {
      LiveMark& last = Slot(size_ - 1);
      if (k <= last.column) {
        last.after = level;
        last.flag = last.flag || flag;
        level_ = level;
        return;
      }
    }
    if (size_ == ring_.size()) {
      base_ = ring_[head_].after;
      head_ = (head_ + 1) % ring_.size();
      --size_;
    }
    Slot(size_) = LiveMark{k, level_, level, flag};
    ++size_;
    level_ = level;
  }

  int8_t Level() const { return level_; }
  size_t Size() const { return size_; }
  const LiveMark& At(size_t i) const { return ring_[(head_ + i) % ring_.size()]; }

  // The level held at the start of column k, and the first mark at or after k.
  int8_t LevelBefore(int64_t k, size_t& first) const {
    size_t i = size_;
    while (i > 0 && At(i - 1).column >= k) --i;
    first = i;
    return i == 0 ? base_ : At(i - 1).after;
  }

  // The waveform segments of columns [k0, k0 + width): an edge per mark,
  // the last level flat up to column `shown` (the newest time's column + 1;
  // right of it nothing has happened yet). Reuses `out`'s buffer.
  void Segments(int64_t k0, uint16_t width, uint16_t shown, std::vector<LevelSegment>& out) const {
    out.clear();
    size_t i = 0;
    int8_t level = LevelBefore(k0, i);
    uint16_t lastX = 0;
    for (; i < size_; ++i) {
      const LiveMark& m = At(i);
      if (m.column >= k0 + width) break;
      const uint16_t x = static_cast<uint16_t>(m.column - k0);
      out.push_back(LevelSegment{lastX, x, static_cast<uint8_t>(level > 0 ? 1 : 0), true});
      lastX = x;
      level = m.after;
    }
    out.push_back(LevelSegment{lastX, shown > lastX ? shown : lastX, static_cast<uint8_t>(level > 0 ? 1 : 0), false});
  }

 private:
  LiveMark& Slot(size_t i) { return ring_[(head_ + i) % ring_.size()]; }

  std::vector<LiveMark> ring_;
  size_t head_ = 0;
  size_t size_ = 0;
  int8_t base_ = 0;   // the level before the oldest mark
  int8_t level_ = 0;  // the level after the newest
};

}  // namespace korvalog
