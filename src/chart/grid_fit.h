#pragma once
// How wide the waveform column is: it takes whatever the grid's other
// columns leave, whatever the window's size or the columns' widths, down to
// a minimum below which the chart scrolls sideways instead.
namespace korvalog {

// Narrower than this the waveforms say little; the chart then keeps this
// width and gets a horizontal scroll bar.
inline constexpr int kMinWaveWidth = 120;
// Right of the waveform column: the vertical scroll bar and a margin (the
// design size, 569 pixels, leaves a 408-pixel column with the design widths).
inline constexpr int kWaveRightReserve = 23;

// The room kept right of the waveform column for a vertical scroll bar
// `scrollBarWidth` wide: at least the design's reserve.
int WaveRightReserve(int scrollBarWidth);

// The waveform column's width in a grid `gridWidth` wide whose frame, lines
// and other columns take `fixedWidth`.
int FitWaveWidth(int gridWidth, int fixedWidth, int reserve);

// The narrowest grid whose waveform column still has its minimum width.
int MinimumGridWidth(int fixedWidth, int reserve);

// What a chart `viewWidth` wide shows: the width its parts are laid out at
// and the horizontal scroll range (0 = no scroll bar).
struct ChartSpan {
  int contentWidth = 0;
  int scrollRange = 0;
};
ChartSpan FitChartSpan(int viewWidth, int minimumWidth);

}  // namespace korvalog
