#pragma once
// The chart's painting code on plain data: the channel grid's cells, the
// strip with its band, the statistics line, and the whole chart at once.
// The widgets paint through these, and so can anything that wants the chart
// in a picture (any QPainter on any paint device).
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <array>

#include "chart/chart_state.h"
#include "chart/qt/chart_images.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "ui/markup_style.h"

namespace korvalog {

// The summary panel above the grid.
inline constexpr int kSummaryHeight = 68;
inline constexpr int kStatsTop = 4;
inline constexpr int kStripTop = kStatsTop + kStripStatsHeight;
inline constexpr int kHandleHalf = 4;

// Where the grid's cells are, in the grid's own coordinates: a two-pixel
// frame, a one-pixel line after every column and after the header row;
// channel rows touch one another.
struct GridLayout {
  static constexpr int kFrame = 2;
  std::array<int, kGridColumns> widths{23, 66, 20, 20, 408};
  int headerHeight = 49;
  int rowHeight = kDefaultRowHeight;

  int ColumnLeft(int column) const;
  int RowsTop() const { return kFrame + headerHeight + 1; }
  // Column under x, or -1; row r of the rows starting at topRow under y
  // (0 = header), or -1.
  int ColumnAt(int x) const;
  int RowAt(int y, int topRow) const;
  QRect CellRect(int column, int row, int topRow) const;
  // Width the five columns and their lines take, frame included.
  int ContentWidth() const;
};

// The header row's height: the bold width of "Search" plus 4.
int HeaderHeightFor(const QFont& gridFont);

// The five state pictures at one scale, made when the scale changes.
struct StatePictures {
  int scale = 0;
  std::array<QImage, 5> images;
  void Ensure(int wantedScale);
};

// Everything the painting reads.
struct ChartDrawContext {
  const CaptureData& data;
  const CaptureView& view;  // the rows, names and markers drawn
  const ChartState& state;
  const WaveformImages& waves;
  const StripImage& strip;
  const StatePictures& pictures;
  uint8_t colourMode = 0;
  QFont font;        // the grid's font; bold where the cells want it
  QPalette palette;
  MarkupStyle markup;
};

// One cell of the grid (row 0 = header; channel rows as the view orders them).
void PaintGridCell(QPainter& p, const ChartDrawContext& ctx, int column, int row, const QRect& cell);
// The frame, the lines and the cells of rows topRow .. topRow + rows - 1
// under the header, inside a grid of `size` (logical pixels).
void PaintGrid(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size, int topRow,
               const QRect& exposed = QRect());
// The strip at (0, 0): the panel colour, the light band between the
// selection handles, then the strip image.
void PaintZoomStrip(QPainter& p, const ChartDrawContext& ctx, QSize size);
// The statistics line at (0, 0); nothing without a complete match.
void PaintZoomStats(QPainter& p, const ChartDrawContext& ctx);
QFont StatsFont();

// The whole chart as the panel shows it: summary (statistics, label, strip,
// selection handles) and the grid with `rows` channel rows from topRow.
// The zoom buttons are controls and are left out.
QSize ChartPictureSize(const ChartDrawContext& ctx, const GridLayout& layout, int rows);
void PaintChart(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, int topRow, int rows);

}  // namespace korvalog
