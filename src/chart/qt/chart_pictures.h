#pragma once
// The chart's small pictures, painted by the program: the five state images
// of the grid (lamps, the search boxes, the cross), the sixteen 4 x 7 hex
// digits of the Sequencer positions, and the zoom buttons' glyphs.
#include <QImage>

namespace korvalog {

inline constexpr int kStatePictureSize = 16;
inline constexpr int kDigitWidth = 4;
inline constexpr int kDigitHeight = 7;

enum StatePicture {
  kLampLow = 0,         // dark red lamp: live state LOW
  kLampHigh = 1,        // bright red lamp: live state HIGH
  kSearchLowBox = 2,    // dark red lamp in a white square
  kSearchHighBox = 3,   // bright red lamp in a white square
  kNotSearchedBox = 4,  // black cross in a white square
};
inline constexpr int kStatePictureCount = 5;

// A transparent 16 x 16 (logical) picture drawn at `scale` device pixels per
// logical pixel; index outside 0..4 gives a null image.
QImage StatePictureImage(int index, int scale = 1);

// Hex digit 0..15 as a transparent 4 x 7 (logical) picture in `ink`.
QImage PositionDigitImage(int digit, QRgb ink, int scale = 1);
// Whether pixel (x, y) of digit's 4 x 7 pattern is set.
bool PositionDigitBit(int digit, int x, int y);

enum class ZoomGlyph { Win, Prev, All };
// A transparent 16 x 16 glyph for the zoom buttons.
QImage ZoomGlyphImage(ZoomGlyph glyph);

}  // namespace korvalog
