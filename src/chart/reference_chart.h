#pragma once
// A second capture of the lift shown under the open one, for before and
// after: its inputs paired with the open capture's (by role, then by name),
// a time offset that lines a moment of one up with a moment of the other
// (or the same time of day), and what the chart draws for it: per pixel
// column a level or a busy mark, and both levels under a cursor. The
// reference has its own data, view and index; the open capture is only read.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/compare_channels.h"
#include "chart/capture_lookup.h"
#include "chart/channel_index.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "core/marker_list.h"

namespace korvalog {

enum class AlignBy : uint8_t { Moment, TimeOfDay };

struct ReferenceRow {
  int current = 0;    // the open capture's channel it pairs with
  int reference = 0;  // the reference's channel
  std::string label;  // "ref · Door close relay"
};

// One run of pixel columns: x0 <= x < x1 at one level, or busy (several
// changes in a column, drawn as a block).
struct ReferenceSpan {
  int x0 = 0, x1 = 0;
  uint8_t level = 0;
  bool busy = false;
};

class ReferenceChart {
 public:
  explicit ReferenceChart(const Clock& clock);

  // Where a loaded reference goes; Loaded() then indexes it and pairs its
  // inputs with `currentNames` (the open capture's).
  CaptureData& Data() { return *data_; }
  CaptureView& View() { return view_; }
  void Loaded(std::string source, const TraceList& currentNames);
  void Close();
  bool Open() const { return open_; }
  const std::string& Source() const { return source_; }

  // Lines up `currentMoment` of the open capture with `referenceMoment` of
  // the reference; by time of day, the same clock time in both.
  void AlignMoments(double currentMoment, double referenceMoment);
  void AlignTimeOfDay(double currentStart);
  // The open capture's marker nearest `near` with the reference's marker of
  // the same label (else its first); false when either has none.
  bool AlignMarkers(const MarkerList& current, double near);
  AlignBy Alignment() const { return alignBy_; }
  double OffsetDays() const { return offset_; }  // reference time = open time + offset
  double ToReference(double t) const { return t + offset_; }
  // "+7 d 00:00:00.000", "-0:12.50": the reference's time less the open one's.
  std::string OffsetText() const;

  const std::vector<ReferenceRow>& Rows() const { return rows_; }
  const ChannelMatch& Match() const { return match_; }
  // The row's level over the open capture's window [from, to) in `width`
  // columns, mapped through the offset; nothing outside the reference.
  std::vector<ReferenceSpan> Spans(const ReferenceRow& row, double from, double to, int width) const;
  // Every row's spans at once, in one pass over the reference's events in
  // the window (what the panel paints), index for index with Rows().
  std::vector<std::vector<ReferenceSpan>> AllSpans(double from, double to, int width) const;
  // The reference channel's level at the open capture's time t; -1 outside it.
  int LevelAt(int referenceChannel, double t) const;
  // The readout at t: "Door close relay 1, ref 0 · offset +7 d 00:00:00.000".
  std::string Readout(const ReferenceRow& row, int currentLevel, double t) const;

  // The reference's first change of `referenceChannel` after (before) the
  // open capture's time t, as an open-capture time; < 0 when none.
  double NextChange(int referenceChannel, double t, bool forward) const;

 private:
  std::unique_ptr<CaptureData> data_;
  CaptureView view_;
  ChannelIndex index_;
  std::vector<ReferenceRow> rows_;
  ChannelMatch match_;
  std::string source_;
  bool open_ = false;
  AlignBy alignBy_ = AlignBy::TimeOfDay;
  double offset_ = 0;
};

}  // namespace korvalog
