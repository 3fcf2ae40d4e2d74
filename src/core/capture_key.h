#pragma once
// A small fingerprint of everything a figure over the whole capture reads
// from CaptureData: the store's block, count, part and revision, the start
// and end positions, the presence flag and the link gaps. Two equal keys
// mean the same events, so a window may keep the figures it computed.
// Interface thread (the gaps are read freely there).
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/capture_data.h"

namespace korvalog {

struct CaptureKey {
  const EventRecord* events = nullptr;
  uint32_t count = 0;
  uint32_t part = 0;
  uint32_t revision = 0;
  uint8_t present = 0;
  uint8_t capturing = 0;
  uint32_t startIndex = 0;
  uint32_t endIndex = 0;
  double startTime = 0;
  double endTime = 0;
  std::array<uint8_t, kChannelCount> startStates{};
  std::vector<GapSpan> gaps;
  bool operator==(const CaptureKey&) const = default;

  static CaptureKey Of(const CaptureData& data) {
    CaptureKey k;
    const EventStore::Look look = data.Store.Now();
    k.events = look.events;
    k.count = look.count;
    k.part = look.part;
    k.revision = data.Store.Revision();
    k.present = data.DataPresent.load(std::memory_order_acquire);
    k.capturing = data.Capturing.load(std::memory_order_acquire);
    k.startIndex = data.CaptureStart.index;
    k.endIndex = data.CaptureEnd.index;
    k.startTime = data.CaptureStart.time;
    k.endTime = data.CaptureEnd.time;
    std::memcpy(k.startStates.data(), data.CaptureStart.states, kChannelCount);
    k.gaps = data.Gaps.Spans();
    return k;
  }
  // A capture still running grows between two looks even at the same count
  // (a gap still open, the end moving): its figures are never kept.
  bool Settled() const { return capturing == 0; }
};

}  // namespace korvalog
