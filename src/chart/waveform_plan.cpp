#include "chart/waveform_plan.h"

#include <array>
#include <bit>
#include <cstring>

#include "chart/snapshot_walk.h"
#include "chart/time_axis.h"

namespace korvalog {
namespace {

// A channel draws at most one edge per pixel column, so the walk takes the
// events one column at a time: per event it only notes the channel's new
// level and that the channel moved; when the walk leaves the column, each
// channel that moved gets its one segment up to that column. Per channel the
// result is what a segment per event would give: a run of its events in one
// column draws a single edge, with the level held before the run.
class ColumnBatch {
 public:
  ColumnBatch(const PositionSnapshot& start, uint16_t waveWidth, WaveformPlan& plan) : plan_(plan) {
    // Times running forward need one slot per column plus the final one.
    const size_t room = static_cast<size_t>(waveWidth) + 1;
    for (int c = 0; c < kChannelCount; ++c) {
      std::vector<LevelSegment>& segments = plan.channels[c];
      segments.resize(room);
      tracks_[c] = Track{segments.data(), segments.data() + room, kNoColumn, start.states[c]};
      latest_[c] = start.states[c];
    }
  }

  // One event of the current column; c is its channel - 1.
  void Note(unsigned c, uint8_t state) { latest_[c] = kMoved | (state != 0 ? 1 : 0); }

  // A block of events all in the current column: each channel it moves
  // takes its level after the block, as Note would leave it. Eight
  // channels at a time.
  void NoteBlock(const StoreSummary::Block& b) {
    for (unsigned first = 0; first < kChannelCount; first += 8) {
      const unsigned moved = static_cast<unsigned>(b.moved[first >> 6] >> (first & 63)) & 0xFF;
      if (moved == 0) continue;
      const unsigned level = static_cast<unsigned>(b.level[first >> 6] >> (first & 63)) & moved;
      uint64_t eight;
      std::memcpy(&eight, latest_ + first, sizeof eight);
      eight = (eight & ~(kSpread[moved] * 0xFF)) | kSpread[moved] * kMoved | kSpread[level];
      std::memcpy(latest_ + first, &eight, sizeof eight);
    }
  }

  // Ends the column x: each channel that moved in it draws the level it held
  // before, from its last column up to x, with an edge at x. A channel whose
  // last run was in x already (times running backwards in between) only
  // takes its new level. The marks are read eight channels at a time, so a
  // column with few events costs little.
  void EndColumn(uint16_t x) {
    for (unsigned first = 0; first < kChannelCount; first += 8) {
      uint64_t eight;
      std::memcpy(&eight, latest_ + first, sizeof eight);
      for (uint64_t moved = eight & kMovedMarks; moved != 0; moved &= moved - 1) {
        const unsigned c = first + static_cast<unsigned>(std::countr_zero(moved)) / 8;
        Track& k = tracks_[c];
        if (x != k.lastX) {
          Append(k, c, LevelSegment{k.lastX == kNoColumn ? uint16_t{0} : k.lastX, x, k.level, true});
          k.lastX = x;
        }
        k.level = latest_[c] & 1;
      }
      eight &= ~kMovedMarks;
      std::memcpy(latest_ + first, &eight, sizeof eight);
    }
  }

  // Every channel's last level runs flat to the right edge.
  void Finish(uint16_t waveWidth) {
    for (unsigned c = 0; c < kChannelCount; ++c) {
      Track& k = tracks_[c];
      Append(k, c, LevelSegment{k.lastX == kNoColumn ? uint16_t{0} : k.lastX, waveWidth, k.level, false});
      std::vector<LevelSegment>& segments = plan_.channels[c];
      segments.resize(static_cast<size_t>(k.next - segments.data()));
    }
  }

 private:
  static constexpr uint8_t kMoved = 2;
  static constexpr uint64_t kMovedMarks = 0x0202020202020202;
  // kSpread[m]: byte i is 1 where bit i of m is set.
  static constexpr std::array<uint64_t, 256> kSpread = [] {
    std::array<uint64_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m)
      for (unsigned i = 0; i < 8; ++i)
        if (m & (1u << i)) t[m] |= uint64_t{1} << (8 * i);
    return t;
  }();

  struct Track {
    LevelSegment* next;
    LevelSegment* end;
    uint16_t lastX;  // kNoColumn until the channel's first edge
    uint8_t level;   // held since its last edge
  };

  void Append(Track& k, unsigned c, const LevelSegment& s) {
    if (k.next == k.end) [[unlikely]] {
      // Times that run backwards (a damaged file) need more room.
      std::vector<LevelSegment>& segments = plan_.channels[c];
      const size_t used = segments.size();
      segments.resize(used * 2);
      k.next = segments.data() + used;
      k.end = segments.data() + segments.size();
    }
    *k.next++ = s;
  }

  WaveformPlan& plan_;
  Track tracks_[kChannelCount];
  // Per channel the level after its latest event, marked kMoved while it has
  // events in the current column.
  uint8_t latest_[kChannelCount];
};

}  // namespace

void RenderWaveforms(const CaptureData& data, const PositionSnapshot& selectionStart,
                     const PositionSnapshot& selectionEnd, uint16_t waveWidth, WaveformPlan& plan,
                     bool live, const StoreSummary* summary) {
  plan.waveWidth = waveWidth;
  plan.hasData = live || data.DataPresent.load(std::memory_order_acquire) != 0;
  if (!plan.hasData) {
    for (std::vector<LevelSegment>& segments : plan.channels) segments.clear();
    return;
  }

  PositionSnapshot start = selectionStart;
  NormaliseStates(start);
  ColumnBatch batch(start, waveWidth, plan);
  const TimeAxis axis(selectionStart, selectionEnd, waveWidth);
  ColumnCursor columns(axis);
  uint16_t column = kNoColumn;
  const EventRecord* events = data.Store.Data();
  const uint32_t count = data.Store.Count();
  const uint32_t end = selectionEnd.index < count ? selectionEnd.index : count;
  for (uint32_t i = selectionStart.index; i < end; ++i) {
    // A whole block in one column is taken at once.
    if (summary != nullptr && i % StoreSummary::kBlockEvents == 0 && end - i >= StoreSummary::kBlockEvents) {
      const StoreSummary::Block* b = summary->At(events, i);
      if (b != nullptr && b->timed) {
        const uint16_t x = columns.X(b->firstTime);
        if (x == columns.X(b->lastTime)) {
          if (x != column) {
            batch.EndColumn(column);
            column = x;
          }
          batch.NoteBlock(*b);
          i += StoreSummary::kBlockEvents - 1;
          continue;
        }
      }
    }
    const EventRecord& e = events[i];
    const unsigned c = e.channel - 1u;
    if (c >= static_cast<unsigned>(kChannelCount)) continue;
    const uint16_t x = columns.X(e.time);
    if (x != column) [[unlikely]] {
      batch.EndColumn(column);
      column = x;
    }
    batch.Note(c, e.state);
  }
  batch.EndColumn(column);
  batch.Finish(waveWidth);
}

}  // namespace korvalog
