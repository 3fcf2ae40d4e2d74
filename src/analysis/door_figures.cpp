#include "analysis/door_figures.h"

#include <cmath>

namespace korvalog {
namespace {

Occurrence Made(OccurrenceKind kind, double from, double to, uint8_t channel) {
  Occurrence o;
  o.kind = kind;
  o.start = from;
  o.seconds = SecondsBetween(from, to);
  o.channel = channel;
  return o;
}

}  // namespace

void DoorFigures::Start(bool hasOpenLimit, bool hasClosedLimit, bool hasReopenInput, double reopenGapSeconds,
                        double closingLongestSeconds) {
  hasOpenLimit_ = hasOpenLimit;
  hasClosedLimit_ = hasClosedLimit;
  reopensInferred = !hasClosedLimit && !hasReopenInput;
  reopenGapMs_ = std::llround(reopenGapSeconds * 1000.0);
  closingLongestMs_ = std::llround(closingLongestSeconds * 1000.0);
}

bool DoorFigures::StillClosing(double t) const {
  if (closingStart_ == kNone) return false;
  if (hasClosedLimit_) return true;
  // Without a closed limit: the close command is on, or dropped a moment ago
  // (an interlock drops it just before the open command), and has not been
  // on for longer than any door takes to close.
  const int64_t now = MsOf(t);
  if (now - MsOf(closingStart_) > closingLongestMs_) return false;
  return closeOn_ || now - closeDroppedMs_ <= reopenGapMs_;
}

void DoorFigures::Edge(const InputEdge& e) {
  if (!e.on) {
    if (e.role == ChannelRole::DoorCloseRelay) {
      closeOn_ = false;
      closeDroppedMs_ = MsOf(e.time);
    }
    return;  // every other door figure starts or ends at an input coming on
  }
  switch (e.role) {
    case ChannelRole::DoorOpenRelay:
      if (StillClosing(e.time)) {
        // The door opens again before it closed: a reopen, once per closing.
        if (!closingReopened_) reopens.push_back(Made(OccurrenceKind::Reopen, e.time, e.time, e.channel));
      }
      closingStart_ = kNone;
      cycleStarts.push_back(e.time);
      openingStart_ = e.time;
      openChannel_ = e.channel;
      if (!hasOpenLimit_) {
        dwellStart_ = e.time;
        limitChannel_ = e.channel;
      }
      return;
    case ChannelRole::DoorOpenLimit:
      if (openingStart_ != kNone) opening.push_back(Made(OccurrenceKind::DoorOpen, openingStart_, e.time, openChannel_));
      else if (opening.empty() && closing.empty()) ++partialAtStart;
      openingStart_ = kNone;
      closingStart_ = kNone;
      dwellStart_ = e.time;
      limitChannel_ = e.channel;
      return;
    case ChannelRole::DoorCloseRelay:
      if (dwellStart_ != kNone) dwell.push_back(Made(OccurrenceKind::Dwell, dwellStart_, e.time, limitChannel_));
      else if (dwell.empty()) ++partialAtStart;
      dwellStart_ = kNone;
      openingStart_ = kNone;
      closingStart_ = e.time;
      closeChannel_ = e.channel;
      closingReopened_ = false;
      closeOn_ = true;
      return;
    case ChannelRole::DoorClosedLimit:
      if (closingStart_ != kNone) closing.push_back(Made(OccurrenceKind::DoorClose, closingStart_, e.time, closeChannel_));
      closingStart_ = kNone;
      dwellStart_ = kNone;
      return;
    case ChannelRole::DoorReopen:
      if (StillClosing(e.time) && !closingReopened_) {
        reopens.push_back(Made(OccurrenceKind::Reopen, e.time, e.time, e.channel));
        closingReopened_ = true;
      }
      return;
    default:
      return;
  }
}

void DoorFigures::Finish(double end) {
  (void)end;
  // A door still open is told as open, not as a dwell that never ended.
  openAtEnd = dwellStart_ != kNone;
  openSince = openAtEnd ? dwellStart_ : 0;
}

}  // namespace korvalog
