#include "chart/qt/chart_painting.h"

#include <QFontMetrics>
#include <algorithm>

#include "base/byte_text.h"
#include "chart/qt/chart_pictures.h"
#include "chart/qt/handle.h"
#include "chart/qt/gap_painting.h"
#include "chart/qt/marker_painting.h"
#include "core/channel_colours.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/markup_text.h"
#include "ui/qt/nice_label.h"
#include "ui/qt/text_drawing.h"

namespace korvalog {
namespace {

constexpr const char* kHeaderTexts[4] = {"Chan", "Name", "State", "Search"};

QFont Bold(QFont f) {
  f.setBold(true);
  return f;
}

QColor Colour(SystemColour c, const QPalette& palette) { return SystemColourOf(c, palette); }

void PaintHeaderCell(QPainter& p, const ChartDrawContext& ctx, int column, const QRect& cell) {
  p.setPen(Colour(SystemColour::WindowText, ctx.palette));
  if (column < 4) {
    p.setFont(Bold(ctx.font));
    TextOutVertical(p, cell.left() + 2, cell.bottom() - 2, kHeaderTexts[column]);
    return;
  }
  if (!ctx.state.ShowsTimes()) return;
  p.setFont(ctx.font);
  const ChartState& s = ctx.state;
  DrawTimeSpan(p, cell.left() + 2, cell.right() - 4, cell.top() + 2, s.SelectionStart.time, s.SelectionEnd.time);
  DrawTimeSpan(p, cell.left() + 2, cell.right() - 4, cell.top() + 18, s.CursorTime(MeasuringCursor::First),
               s.CursorTime(MeasuringCursor::Second));
}

void PaintWaveCell(QPainter& p, const ChartDrawContext& ctx, int channel, const QRect& cell) {
  const ChartState& s = ctx.state;
  if (s.WaveWidth == 0) return;
  // Cursor lines first, so they show through the waveform's background.
  const QColor silver(192, 192, 192);
  for (const HandlePos* c : {&s.Cursor1, &s.Cursor2}) {
    if (c->PosX >= cell.left() && c->PosX <= cell.right()) p.fillRect(QRect(c->PosX, cell.top(), 1, cell.height()), silver);
  }
  const QImage& image = ctx.waves.Image(channel);
  if (image.isNull()) return;
  const int scale = std::max(1, static_cast<int>(image.devicePixelRatio()));
  const int w = std::min(cell.width(), image.width() / scale);
  const int h = std::min(cell.height(), image.height() / scale);
  if (w <= 0 || h <= 0) return;
  p.drawImage(QRect(cell.left(), cell.top(), w, h), image, QRect(0, 0, w * scale, h * scale));
}

void FillFrame(QPainter& p, QSize size, const QPalette& palette) {
  const int w = size.width(), h = size.height();
  const QColor shadow = Colour(SystemColour::ButtonShadow, palette);
  const QColor light = Colour(SystemColour::ButtonHighlight, palette);
  const QColor dark = Colour(SystemColour::WindowFrame, palette);
  const QColor face = Colour(SystemColour::ButtonFace, palette);
  // Sunken: shadow outside, frame colour inside on the top and left.
  p.fillRect(QRect(0, 0, w, 1), shadow);
  p.fillRect(QRect(0, 0, 1, h), shadow);
  p.fillRect(QRect(0, h - 1, w, 1), light);
  p.fillRect(QRect(w - 1, 0, 1, h), light);
  p.fillRect(QRect(1, 1, w - 2, 1), dark);
  p.fillRect(QRect(1, 1, 1, h - 2), dark);
  p.fillRect(QRect(1, h - 2, w - 2, 1), face);
  p.fillRect(QRect(w - 2, 1, 1, h - 2), face);
}

}  // namespace

int GridLayout::ColumnLeft(int column) const {
  int x = kFrame;
  for (int c = 0; c < column && c < kGridColumns; ++c) x += widths[c] + 1;
  return x;
}

int GridLayout::ColumnAt(int x) const {
  for (int c = 0; c < kGridColumns; ++c) {
    const int left = ColumnLeft(c);
    if (x >= left && x < left + widths[c] + 1) return c;
  }
  return -1;
}

int GridLayout::RowAt(int y, int topRow) const {
  if (y < kFrame) return -1;
  if (y < RowsTop()) return 0;
  const int row = topRow + (y - RowsTop()) / rowHeight;
  return row <= kChannelCount ? row : -1;
}

QRect GridLayout::CellRect(int column, int row, int topRow) const {
  const int left = ColumnLeft(column);
  if (row == 0) return QRect(left, kFrame, widths[column], headerHeight);
  return QRect(left, RowsTop() + (row - topRow) * rowHeight, widths[column], rowHeight);
}

int GridLayout::ContentWidth() const { return ColumnLeft(kGridColumns) + kFrame; }

int HeaderHeightFor(const QFont& gridFont) {
  return QFontMetrics(Bold(gridFont)).horizontalAdvance(QStringLiteral("Search")) + 4;
}

void StatePictures::Ensure(int wantedScale) {
  if (scale == wantedScale) return;
  scale = wantedScale;
  for (int i = 0; i < kStatePictureCount; ++i) images[i] = StatePictureImage(i, scale);
}

void PaintGridCell(QPainter& p, const ChartDrawContext& ctx, int column, int row, const QRect& cell) {
  p.save();
  p.setClipRect(cell, Qt::IntersectClip);
  if (row == 0) {
    PaintHeaderCell(p, ctx, column, cell);
    p.restore();
    return;
  }
  const int ch = ctx.view.Traces.ChannelAt(row);
  if (ch < 1 || ch > kChannelCount) {
    p.restore();
    return;
  }
  p.setPen(Colour(SystemColour::WindowText, ctx.palette));
  switch (column) {
    case 0:
      p.setFont(ctx.font);
      TextOutAt(p, cell.left() + 2, cell.top() + 4, IntToText(ch));
      break;
    case 1: {
      p.setFont(Bold(ctx.font));
      DrawChannelName(p, ctx.palette, ChannelColour(ch, ctx.colourMode), cell.left() + 2, cell.top() + 4,
                      ctx.view.Traces.Name(ch));
      break;
    }
    case 2:
      p.drawImage(QPoint(cell.left() + 2, cell.top() + 2), ctx.pictures.images[ctx.data.States.Level(ch) ? 1 : 0]);
      break;
    case 3: {
      const int condition = ctx.view.Traces.Search(ch);
      if (condition <= 2) p.drawImage(QPoint(cell.left() + 2, cell.top() + 2), ctx.pictures.images[condition + 2]);
      break;
    }
    case 4: PaintWaveCell(p, ctx, ch, cell); break;
    default: break;
  }
  p.restore();
}

void PaintGrid(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, QSize size, int topRow,
               const QRect& exposed) {
  // Cells outside the part to repaint (a step in time: the waveform column) are not drawn.
  const auto shown = [&exposed](const QRect& cell) { return exposed.isNull() || exposed.intersects(cell); };
  const QColor window = Colour(SystemColour::Window, ctx.palette);
  const QColor face = Colour(SystemColour::ButtonFace, ctx.palette);
  const QColor line = Colour(SystemColour::WindowFrame, ctx.palette);
  const int f = GridLayout::kFrame;
  const QRect inside(f, f, size.width() - 2 * f, size.height() - 2 * f);
  p.save();
  p.fillRect(QRect(QPoint(0, 0), size), window);
  p.setClipRect(inside);
  const int rowsTop = layout.RowsTop();
  // Fixed cells: the header row and the number column.
  p.fillRect(QRect(f, f, layout.ContentWidth(), layout.headerHeight), face);
  p.fillRect(QRect(f, f, layout.widths[0], size.height()), face);
  for (int c = 0; c < kGridColumns; ++c) {
    const int x = layout.ColumnLeft(c) + layout.widths[c];
    p.fillRect(QRect(x, f, 1, layout.headerHeight + 1), line);
  }
  p.fillRect(QRect(layout.ColumnLeft(1) - 1, f, 1, size.height()), line);
  p.fillRect(QRect(f, rowsTop - 1, layout.ContentWidth() - 2 * f, 1), line);
  for (int c = 0; c < kGridColumns; ++c) {
    if (shown(layout.CellRect(c, 0, topRow))) PaintGridCell(p, ctx, c, 0, layout.CellRect(c, 0, topRow));
  }
  p.setClipRect(QRect(f, rowsTop, inside.width(), size.height() - f - rowsTop));
  for (int row = std::max(topRow, 1); row <= kChannelCount; ++row) {
    const QRect r0 = layout.CellRect(0, row, topRow);
    if (r0.top() >= size.height()) break;
    for (int c = 0; c < kGridColumns; ++c) {
      const QRect cell = layout.CellRect(c, row, topRow);
      if (shown(cell)) PaintGridCell(p, ctx, c, row, cell);
    }
  }
  p.restore();
  PaintGaps(p, ctx, layout, size);
  PaintMarkers(p, ctx, layout, size);
  FillFrame(p, size, ctx.palette);
}

void PaintZoomStrip(QPainter& p, const ChartDrawContext& ctx, QSize size) {
  const ChartState& s = ctx.state;
  p.fillRect(QRect(QPoint(0, 0), size), Colour(SystemColour::ButtonFace, ctx.palette));
  const int x0 = s.LeftHandle.PosX - s.ZoomLeft, x1 = s.RightHandle.PosX - s.ZoomLeft;
  const int y0 = size.height() - s.RowHeight - 2;
  if (x1 > x0) p.fillRect(QRect(x0, y0, x1 - x0, size.height() - y0), Colour(SystemColour::Window, ctx.palette));
  const QImage& image = ctx.strip.Image();
  if (!image.isNull()) p.drawImage(QPoint(0, 0), image);
}

QFont StatsFont() { return KitFont(kKitSansFamily, 8); }  // 6 points on a 96-dpi screen

void PaintZoomStats(QPainter& p, const ChartDrawContext& ctx) {
  const StripPlan& plan = ctx.state.Strip();
  if (plan.stats.MatchCount <= 0 || plan.statsMarkup.empty()) return;
  p.save();
  p.setFont(StatsFont());
  p.setPen(Colour(SystemColour::WindowText, ctx.palette));
  DrawMarkupText(p, 0, 0, 0, plan.statsMarkup, ctx.markup);
  p.restore();
}

QSize ChartPictureSize(const ChartDrawContext& ctx, const GridLayout& layout, int rows) {
  const int width = std::max(layout.ContentWidth(), ctx.state.ZoomLeft + ctx.state.ZoomWidth + 8);
  return QSize(width, kSummaryHeight + layout.RowsTop() + rows * layout.rowHeight + GridLayout::kFrame);
}

void PaintChart(QPainter& p, const ChartDrawContext& ctx, const GridLayout& layout, int topRow, int rows) {
  const QSize size = ChartPictureSize(ctx, layout, rows);
  const ChartState& s = ctx.state;
  p.fillRect(QRect(0, 0, size.width(), kSummaryHeight), Colour(SystemColour::ButtonFace, ctx.palette));
  p.save();
  p.translate(s.ZoomLeft, kStatsTop);
  PaintZoomStats(p, ctx);
  p.translate(0, kStripTop - kStatsTop);
  PaintZoomStrip(p, ctx, QSize(s.ZoomWidth, kStripHeight));
  p.restore();
  p.save();
  p.setFont(ctx.font);
  p.setPen(Colour(SystemColour::WindowText, ctx.palette));
  DrawMarkupText(p, s.LabelLeft, kStripTop + 2, 0, s.ZoomLabel(), ctx.markup);
  p.restore();
  const int handleY = kStripTop + kStripHeight + 2;
  for (const HandlePos* h : {&s.LeftHandle, &s.RightHandle})
    PaintHandleBevel(p, QRect(h->PosX - kHandleHalf, handleY - kHandleHalf, 2 * kHandleHalf, 2 * kHandleHalf),
                     ctx.palette);
  p.save();
  p.translate(0, kSummaryHeight);
  const QSize gridSize(size.width(), size.height() - kSummaryHeight);
  PaintGrid(p, ctx, layout, gridSize, topRow);
  const int cursorY = layout.headerHeight - 6;
  for (const HandlePos* c : {&s.Cursor1, &s.Cursor2})
    PaintHandleBevel(p, QRect(c->PosX - kHandleHalf, cursorY - kHandleHalf, 2 * kHandleHalf, 2 * kHandleHalf),
                     ctx.palette);
  p.restore();
}

}  // namespace korvalog
