#include "chart/live_chart.h"

#include <algorithm>
#include <cmath>

#include "base/date_time.h"
#include "core/records.h"

namespace korvalog {
namespace {

constexpr size_t kMatchRing = 4096;

int8_t MatchLevel(const EventWalker& w) { return w.SearchMismatch == 0 ? 1 : 0; }

}  // namespace

LiveChart::LiveChart(ChartState& state)
    : state_(state), data_(state.Data()), span_(kDefaultSpanSeconds / kSecondsPerDay) {}

void LiveChart::Start() {
  walked_ = 0;
  whole_ = false;
  const uint32_t part = data_.Store.Part();
  Begin(part, data_.CurrentPartStart());
}

void LiveChart::Begin(uint32_t part, const PositionSnapshot& start) {
  active_ = true;
  following_ = true;
  state_.Live = true;
  part_ = part;
  events_ = data_.Store.Block(part);
  partStart_ = start;
  partStart_.index = 0;
  origin_ = start.time;
  newest_ = origin_;
  consumed_ = 0;
  levels_ = partStart_;
  NormaliseStates(levels_);
  checkpoints_.reserve(kEventCapacity / kCheckpointStride + 1);
  checkpoints_.assign(1, levels_);
  matches_.resize(kMatchRing);
  width_ = 0;  // the first frame makes the marks
  state_.ZoomStart = state_.SelectionStart = levels_;
  state_.ZoomEnd = state_.SelectionEnd = levels_;
  state_.ZoomEnd.time = state_.SelectionEnd.time = origin_ + span_;
  state_.HistoryDepth = 0;
}

void LiveChart::Stop() {
  active_ = false;
  state_.Live = false;
  walker_.reset();
}

double LiveChart::Now() const { return std::max(data_.ClockSource().Now(), newest_); }

void LiveChart::Follow() {
  if (!active_) return;
  following_ = true;
}

void LiveChart::FollowWithSpan(double span) {
  if (!active_ || !(span > 0.0) || !std::isfinite(span)) return;
  whole_ = false;
  SetSpan(span);
  Follow();
}

void LiveChart::SetSpan(double span) {
  if (span != span_) {
    span_ = span;
    width_ = 0;  // a new scale: the marks are made again
  }
}

void LiveChart::FollowWhole() {
  if (!active_) return;
  whole_ = true;
  span_ = 0.0;  // fitted at once
  WidenToWhole();
  Follow();
}

// The span reaches from the part's start past the newest time by an eighth,
// so it is made again (a walk over the part) only each time the capture has
// grown by that much, not at every frame.
void LiveChart::WidenToWhole() {
  const double least = 1.0 / kSecondsPerDay;
  const double whole = std::max(Now() - origin_, least);
  if (whole > span_ || whole < span_ / 2) SetSpan(whole * 1.125);
}

void LiveChart::StopFollowing() {
  following_ = false;
  whole_ = false;
}

int64_t LiveChart::Column(double t) const {
  const double v = (t - origin_) * perColumn_;
  if (!(v > 0.0)) return 0;
  return static_cast<int64_t>(std::min(v, 1e15));
}

int64_t LiveChart::FirstColumn() const { return std::max<int64_t>(0, Column(Now()) - (width_ - 1)); }

bool LiveChart::Frame() {
  if (!active_) return false;
  const uint32_t before = consumed_;
  Consume();
  const uint16_t width = state_.WaveWidth;
  if (width < 2) return false;
  if (whole_ && following_) WidenToWhole();
  if (width != width_ || StripSettingsChanged()) Rebuild();
  if (!following_) return consumed_ != before;
  LayWindow();
  return true;
}

void LiveChart::Consume() {
  if (!active_) return;
  const EventStore::Look look = data_.Store.Now();  // acquire: the records below the count are complete
  if (look.part != part_) StartOver(look.part);
  for (uint32_t i = consumed_; i < look.count; ++i) {
    const EventRecord& e = events_[i];
    if (i % kCheckpointStride == 0 && i > 0) {
      PositionSnapshot s = levels_;
      s.index = i;
      s.time = e.time;
      checkpoints_.push_back(s);  // reserved at the start
    }
    SetLevel(levels_, e);
    const double t = e.time;
    if (t > newest_) newest_ = t;
    if (width_ >= 2) Feed(e);
  }
  walked_ += look.count - consumed_;
  consumed_ = look.count;
  levels_.index = look.count;
}

void LiveChart::Feed(const EventRecord& e) {
  const unsigned c = e.channel - 1u;
  if (c >= static_cast<unsigned>(kChannelCount)) return;
  const double t = e.time;
  const int64_t k = Column(t);
  channels_[c].Note(k, static_cast<int8_t>(e.state != 0 ? 1 : 0));
  EventWalker& w = *walker_;
  if (!w.Involved(static_cast<int>(c) + 1)) {
    stripPos_.states[c] = e.state != 0 ? 1 : 0;
    return;
  }
  const int8_t matchBefore = MatchLevel(w);
  const int levelBefore = w.Matcher.SequenceLevel();
  stripPos_.index = static_cast<uint32_t>(&e - events_);
  const bool violation = w.StepEvent(stripPos_);
  const int8_t matchAfter = MatchLevel(w);
  const int levelAfter = w.Matcher.SequenceLevel();
  if (matchAfter != matchBefore) {
    match_.Note(k, matchAfter);
    if (matchAfter != 0) {
      matchOpen_ = true;
      matchStart_ = t;
    } else if (matchOpen_) {
      matches_[(matchHead_ + matchSize_) % kMatchRing] = Match{matchStart_, t};
      if (matchSize_ == kMatchRing) {
        matchHead_ = (matchHead_ + 1) % kMatchRing;
      } else {
        ++matchSize_;
      }
    }
  }
  if (levelAfter != levelBefore || violation) stairs_.Note(k, static_cast<int8_t>(levelAfter), violation);
}

bool LiveChart::StripSettingsChanged() {
  FindingsKey key = FindingsKeyOf(data_, state_.View());
  key.count = 0;
  return !(key == stripKey_) || state_.StripMode != stripMode_;
}

void LiveChart::Rebuild() {
  width_ = state_.WaveWidth;
  columnTime_ = span_ / (width_ - 1);
  perColumn_ = 1.0 / columnTime_;
  stripKey_ = FindingsKeyOf(data_, state_.View());
  stripKey_.count = 0;
  stripMode_ = state_.StripMode;
  const int64_t k0 = FirstColumn();
  PositionSnapshot from = LevelsAt(origin_ + static_cast<double>(k0) * columnTime_);
  NormaliseStates(from);
  const size_t capacity = static_cast<size_t>(width_) + 2;
  for (int c = 0; c < kChannelCount; ++c) channels_[c].Reset(static_cast<int8_t>(from.states[c]), capacity);
  walker_.emplace(EventStore::Look{events_, consumed_, part_}, state_.View());
  stripPos_ = from;
  walker_->StartPass(stripPos_);
  match_.Reset(MatchLevel(*walker_), capacity);
  stairs_.Reset(static_cast<int8_t>(walker_->Matcher.SequenceLevel()), 2 * capacity);
  matchOpen_ = false;
  matchHead_ = matchSize_ = 0;
  trail_ = from;
  for (uint32_t i = from.index; i < consumed_; ++i) Feed(events_[i]);
  walked_ += consumed_ - from.index;
}

void LiveChart::StartOver(uint32_t part) {
  // The store filled and the capture went on in its other block (the full
  // one is being saved as a part): the chart starts over on the new part.
  // Its start is there as long as the part is the newest.
  Begin(part, data_.Store.PartStart(part));
}

void LiveChart::FollowPart() {
  // A frame at once: the chart is never left between parts.
  if (active_ && data_.Store.Part() != part_) Frame();
}

PositionSnapshot LiveChart::SnapshotAt(double t) {
  // A part left behind is never read again: its block may be refilled.
  FollowPart();
  return LevelsAt(t);
}

PositionSnapshot LiveChart::LevelsAt(double t) {
  size_t j = checkpoints_.size();
  while (j > 1 && !(checkpoints_[j - 1].time <= t)) --j;
  PositionSnapshot s = checkpoints_[j - 1];
  walked_ += AdvanceLevels(s, events_, consumed_, t);
  return s;
}

PositionSnapshot LiveChart::EndSnapshot() const {
  PositionSnapshot s = levels_;
  s.time = Now();
  return s;
}

void LiveChart::AdvanceTrail(double t) {
  // The followed window only moves forward, so each record passes here once.
  if (t < trail_.time) {
    trail_ = LevelsAt(t);
    return;
  }
  walked_ += AdvanceLevels(trail_, events_, consumed_, t);
}

void LiveChart::LayWindow() {
  const int64_t k0 = FirstColumn();
  const double t0 = origin_ + static_cast<double>(k0) * columnTime_;
  const double t1 = t0 + span_;
  AdvanceTrail(t0);
  state_.ZoomStart = state_.SelectionStart = trail_;
  state_.ZoomEnd = state_.SelectionEnd = levels_;
  state_.ZoomEnd.time = state_.SelectionEnd.time = t1;
  state_.LeftHandle.PosX = state_.ZoomLeft;
  state_.RightHandle.PosX = state_.ZoomLeft + width_;
  state_.UpdateHandleLimits();
  state_.UpdateZoomButtons();

  WaveformPlan& plan = state_.waveforms_;
  plan.waveWidth = width_;
  plan.hasData = true;
  // Until the span has filled, the traces end at the newest time's column.
  const int64_t newest = Column(Now()) - k0 + 1;
  const uint16_t shown = static_cast<uint16_t>(std::clamp<int64_t>(newest, 1, width_));
  for (int c = 0; c < kChannelCount; ++c) channels_[c].Segments(k0, width_, shown, plan.channels[c]);
  ++state_.waveformVersion_;
  LayStrip(k0, shown, t0, t1);
}

void LiveChart::LayStrip(int64_t k0, uint16_t shown, double t0, double t1) {
  StripPlan& plan = state_.strip_;
  plan.mode = state_.StripMode == kStripSequence ? kStripSequence : kStripSearch;
  plan.zoomLabel = plan.mode == kStripSearch ? "Search\\nZoom" : "Seq.\\nZoom";
  plan.lines = StripLevelLines(kStripHeight, state_.RowHeight);
  plan.waveWidth = width_;
  plan.hasData = true;
  plan.stepCount = CountSequenceSteps(state_.View().Sequence);
  plan.span = MakeTimeSpanTexts(t0, t1);
  plan.stats = MatchStatistics{};
  plan.statsMarkup.clear();
  plan.searchTrace.clear();
  plan.steps.clear();
  if (plan.mode == kStripSearch) {
    match_.Segments(k0, width_, shown, plan.searchTrace);
    // Every match read so far ended by the newest record, which lies in the
    // window's last column; those that began inside the window count.
    for (size_t i = 0; i < matchSize_; ++i) {
      const Match& m = matches_[(matchHead_ + i) % kMatchRing];
      if (m.start >= t0) plan.stats.Add(m.end - m.start);
    }
    plan.statsMarkup = MatchStatisticsMarkup(plan.stats);
  } else {
    size_t i = 0;
    int level = stairs_.LevelBefore(k0, i);
    uint16_t lastX = 0;
    StepSegment s;
    for (; i < stairs_.Size(); ++i) {
      const LiveMark& m = stairs_.At(i);
      if (m.column >= k0 + width_) break;
      const uint16_t x = static_cast<uint16_t>(m.column - k0);
      if (MakeStepSegment(lastX, x, m.before, plan.stepCount, m.flag, plan.lines, s)) plan.steps.push_back(s);
      lastX = x;
      level = m.after;
    }
    if (MakeStepSegment(lastX, std::max(shown, lastX), level, plan.stepCount, false, plan.lines, s)) {
      plan.steps.push_back(s);
    }
  }
  state_.zoomLabel_ = plan.zoomLabel;
  ++state_.stripVersion_;
}

}  // namespace korvalog
