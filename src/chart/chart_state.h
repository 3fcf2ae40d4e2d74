#pragma once
// Everything the chart keeps that is not drawing: the zoom window and the
// selection with their snapshots, the zoom history, the layout of strip and
// waveform column, the four handles as plain numbers, the zoom buttons'
// enabled flags and the strip mode. The windows forward mouse and size
// events here and draw what the plans and numbers say.
#include <array>
#include <cstdint>
#include <string>

#include "chart/search_strip_plan.h"
#include "chart/waveform_plan.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/records.h"

namespace korvalog {

// A handle's centre and the range a drag may move it in (both limits 0 =
// unlimited).
struct HandlePos {
  int PosX = 0;
  int MinX = 0;
  int MaxX = 0;
};

struct ZoomHistoryEntry {
  PositionSnapshot start;
  PositionSnapshot end;
  uint16_t leftX = 0;  // the selection handles as they were
  uint16_t rightX = 0;
};

constexpr int kZoomHistoryDepth = 16;
constexpr int kGridColumns = 5;
constexpr int kStripHeight = 37;
constexpr int kStripStatsHeight = 17;
constexpr int kDefaultRowHeight = 20;

enum class SelectionHandle { Left, Right };
enum class MeasuringCursor { First, Second };

class ChartState {
 public:
  // Draws `data` as `view` shows it; both outlive the state.
  ChartState(CaptureData& data, CaptureView& view, int rowHeight = kDefaultRowHeight);
  ChartState(const ChartState&) = delete;
  ChartState& operator=(const ChartState&) = delete;

  // --- positions -----------------------------------------------------------
  PositionSnapshot ZoomStart, ZoomEnd;
  PositionSnapshot SelectionStart, SelectionEnd;
  std::array<ZoomHistoryEntry, kZoomHistoryDepth> ZoomHistory{};
  uint8_t HistoryDepth = 0;

  // --- layout (x in the coordinates shared by the summary panel and grid) ---
  uint16_t StripLeft = 0;
  uint16_t WaveWidth = 0;  // 0 = stale: the next LayoutChart lays out and draws again
  uint16_t RowHeight = kDefaultRowHeight;
  int ZoomLeft = 0;    // the strip's left edge (also of its statistics line)
  int ZoomWidth = 0;   // the strip's width
  int LabelLeft = 0;   // the strip label's left edge
  int LabelWidth = 40;  // set by the window from the label's size

  HandlePos LeftHandle, RightHandle;
  HandlePos Cursor1{10, 0, 0}, Cursor2{20, 0, 0};

  uint8_t StripMode = kStripSearch;  // 0 = search trace, 1 = Sequencer staircase

  // A capture runs and the chart shows it as it arrives: the passes read the
  // records below the zoom end's index, which never passes the published count.
  bool Live = false;

  // Enabled states of "Zoom into selection", "Zoom to previous zoom" and
  // "Zoom to entire capture".
  bool ZoomWinEnabled = false;
  bool ZoomPrevEnabled = false;
  bool ZoomAllEnabled = false;

  // --- commands ------------------------------------------------------------
  void ResetSelection();
  void ZoomToAll();
  void UpdateHandleLimits();
  void UpdateZoomButtons();

  // A selection handle was released at `x`; the selection follows it.
  void SelectionHandleChanged(SelectionHandle which, int x);
  // A selection handle is being dragged: only the strip's band follows.
  void SelectionHandleMoving(SelectionHandle which, int x);
  // A measuring cursor is being dragged.
  void CursorMoved(MeasuringCursor which, int x);

  void bZoomWinClick();
  void bZoomPrevClick();
  void bZoomAllClick();
  void pbZoomDblClick();

  // Follows the grid: its left edge and its five column widths.
  void LayoutChart(int gridLeft, const std::array<int, kGridColumns>& columnWidths);

  // A double click on a grid cell: column 3 cycles the row's search
  // condition, column 4 searches for that channel alone being HIGH; either
  // switches the strip to search mode and recomputes it. A character typed
  // in column 3 acts like a double click there. True when it acted.
  bool GridDoubleClick(int column, int row);
  bool GridKeyPress(int column, int row);

  void CaptureStarted();
  void CaptureStopped();
  void DataLoaded();
  void MarkStale() { WaveWidth = 0; }

  // Recomputes the strip for the current mode (a Sequencer table or search
  // change, a mode switch).
  void RenderSearchStrip();
  void SetStripMode(uint8_t mode);
  void RenderWaveforms();

  // --- what the drawing code reads -----------------------------------------
  const WaveformPlan& Waveforms() const { return waveforms_; }
  const StripPlan& Strip() const { return strip_; }
  // Raised by every pass, so the windows know when to redraw their images.
  uint32_t WaveformVersion() const { return waveformVersion_; }
  uint32_t StripVersion() const { return stripVersion_; }
  // The strip's label caption (mark-up); follows the mode at the next pass.
  const std::string& ZoomLabel() const { return zoomLabel_; }
  // Events read by the passes and walks so far (a drag must not add any).
  uint64_t EventsRead() const { return eventsRead_; }

  // Time under a strip x (panel coordinates) and under a cursor.
  double StripXToTime(int x) const;
  double CursorTime(MeasuringCursor which) const;
  // Puts cursor 1 on time t of the waveform column (held to its limits).
  // While it stays at that x its time reads as t exactly, not as its pixel's.
  void PlaceCursor1(double t);
  // x in the waveform column's coordinates for time t (unclamped).
  double WaveXOf(double t) const;
  // True when the header may show the selection and cursor times.
  bool ShowsTimes() const;

  const CaptureData& Data() const { return data_; }
  CaptureData& Data() { return data_; }
  const CaptureView& View() const { return view_; }
  CaptureView& View() { return view_; }

 private:
  void AdvanceSnapshot(PositionSnapshot& s, double t);
  bool HasData() const { return Live || data_.DataPresent.load(std::memory_order_acquire) != 0; }
  friend class LiveChart;  // lays the followed window into the plans

  CaptureData& data_;
  CaptureView& view_;
  WaveformPlan waveforms_;
  StoreSummary summary_;  // the store summed up for wide views
  StripPlan strip_;
  uint32_t waveformVersion_ = 0;
  uint32_t stripVersion_ = 0;
  std::string zoomLabel_ = "Search\\nZoom";
  uint64_t eventsRead_ = 0;
  int pinnedX_ = -1;  // cursor 1's x while its exact time holds
  double pinnedTime_ = 0.0;
};

}  // namespace korvalog
