#pragma once
// The chart while a capture runs. Each frame reads only the records below
// the store's published count (acquire) that it has not read before, and
// extends per-trace marks in absolute pixel columns with them; the newest
// span of the capture is then laid into the chart state's plans without
// walking the store again. The receiving thread is never waited on.
// A continuous capture's new part (the store filled) starts the chart over
// on that part; the full one is never read again once a newer one is seen.
// Following shows the newest span and scrolls; a pan back in time leaves the
// view standing still (drawn by the chart's usual passes over the records
// published by then) until Follow, End or a zoom to the end returns to it.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "chart/capture_findings.h"
#include "chart/chart_state.h"
#include "chart/live_track.h"
#include "chart/snapshot_walk.h"
#include "core/capture_data.h"

namespace korvalog {

class LiveChart {
 public:
  static constexpr double kDefaultSpanSeconds = 60.0;
  // Levels are kept at every this many records, so a position anywhere in
  // the capture is found without a walk from its start.
  static constexpr uint32_t kCheckpointStride = 65536;

  explicit LiveChart(ChartState& state);
  LiveChart(const LiveChart&) = delete;
  LiveChart& operator=(const LiveChart&) = delete;

  // Interface thread, from the capture's start and stop notifications.
  void Start();
  void Stop();
  bool Active() const { return active_; }
  bool Following() const { return active_ && following_; }

  // Reads the records published since the last frame; while following, the
  // newest span goes into the chart state's plans. True when the chart
  // shows something new.
  bool Frame();

  // Back to the newest events, with the span kept or set (days).
  void Follow();
  void FollowWithSpan(double span);
  void StopFollowing();
  // The whole capture so far, following: from the part's start to the
  // newest event, the span widening as the capture grows.
  void FollowWhole();
  bool FollowingWhole() const { return Following() && whole_; }
  double Span() const { return span_; }

  // The newest time of the capture: the clock, never before the newest record.
  double Now() const;
  // The levels at time t, from the records read so far.
  PositionSnapshot SnapshotAt(double t);
  // A new part of a continuous capture (the store filled) starts the chart
  // over on it with a frame at once; every frame and look-up checks first.
  void FollowPart();
  // Where the part the chart shows began: the capture's start, or the
  // start of the newest part of a continuous capture.
  const PositionSnapshot& PartStart() const { return partStart_; }
  uint32_t Part() const { return part_; }
  // The position after the newest record read, at time Now().
  PositionSnapshot EndSnapshot() const;

  uint32_t Consumed() const { return consumed_; }
  // Records walked by frames, rebuilds and look-ups since the start.
  uint64_t EventsWalked() const { return walked_; }

 private:
  struct Match {
    double start, end;
  };

  void Consume();
  void Begin(uint32_t part, const PositionSnapshot& start);
  void StartOver(uint32_t part);
  PositionSnapshot LevelsAt(double t);
  void Rebuild();
  void Feed(const EventRecord& e);
  int64_t Column(double t) const;
  int64_t FirstColumn() const;
  void LayWindow();
  void LayStrip(int64_t k0, uint16_t shown, double t0, double t1);
  void AdvanceTrail(double t);
  bool StripSettingsChanged();
  void SetSpan(double span);
  void WidenToWhole();

  ChartState& state_;
  const CaptureData& data_;
  bool active_ = false;
  bool following_ = true;
  bool whole_ = false;  // "Zoom to entire capture": the span grows with it
  double span_;
  uint16_t width_ = 0;  // the width the marks were made for
  double origin_ = 0.0;
  double columnTime_ = 1.0;
  double perColumn_ = 1.0;
  uint32_t part_ = 0;                    // the store's part shown
  const EventRecord* events_ = nullptr;  // its block
  PositionSnapshot partStart_;
  uint32_t consumed_ = 0;
  double newest_ = 0.0;
  uint64_t walked_ = 0;

  PositionSnapshot levels_;  // after the records read so far
  std::vector<PositionSnapshot> checkpoints_;
  PositionSnapshot trail_;   // the followed window's start

  std::array<LiveTrack, kChannelCount> channels_;
  LiveTrack match_;
  LiveTrack stairs_;
  std::optional<EventWalker> walker_;
  PositionSnapshot stripPos_;
  FindingsKey stripKey_;
  uint8_t stripMode_ = kStripSearch;
  bool matchOpen_ = false;
  double matchStart_ = 0.0;
  std::vector<Match> matches_;  // ring of the newest complete matches
  size_t matchHead_ = 0, matchSize_ = 0;
};

}  // namespace korvalog
