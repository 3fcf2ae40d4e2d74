#pragma once
// How a capture is looked at, beside the record of it (CaptureData): the
// channels' rows, names, search conditions and roles, the Sequencer pattern
// and the user's markers. The window program keeps one from start to exit
// and passes it by reference; exports that show other rows build their own.
// Interface thread only.
#include "core/capture_data.h"
#include "core/marker_list.h"
#include "core/records.h"
#include "core/site_details.h"
#include "core/trace_list.h"

namespace korvalog {

void ResetSequenceTable(SequenceTable& table);  // every row empty

// Roles sit in the TraceList because they belong to a channel and follow it
// wherever its row goes; markers belong to moments of the capture, not to a
// channel, so they sit here.
struct CaptureView {
  CaptureView() { ResetSequenceTable(Sequence); }

  TraceList Traces;
  SequenceTable Sequence{};
  MarkerList Markers;
  SiteDetails Site;  // the report's site and lift, from the project or the log

  // As at program start: default rows and names, an empty pattern, no
  // markers, no site.
  void Reset();
};

// No capture present; channel names "#n", search conditions ignore, empty
// Sequencer rows.
void SetStartupDefaults(CaptureData& data, CaptureView& view);

// Keeps a view with the capture it shows while it lives: a new capture
// starts without the markers of the one it replaces.
class ViewFollowsCapture : private CaptureObserver {
 public:
  ViewFollowsCapture(CaptureData& data, CaptureView& view) : data_(data), view_(view) { data_.AddObserver(this); }
  ~ViewFollowsCapture() override { data_.RemoveObserver(this); }
  ViewFollowsCapture(const ViewFollowsCapture&) = delete;
  ViewFollowsCapture& operator=(const ViewFollowsCapture&) = delete;

 private:
  void CaptureStarted() override { view_.Markers.Clear(); }

  CaptureData& data_;
  CaptureView& view_;
};

}  // namespace korvalog
