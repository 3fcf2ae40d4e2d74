#pragma once
// How a channel's name is inked on its cell: in the channel's own colour,
// and, where that colour is too faint on the background (yellow or silver
// on white), with a shade in whichever of black and white stands out
// from it. The waveforms keep the plain colour.
#include "core/channel_colours.h"

namespace korvalog {

// The contrast ratio of two colours, 1 (same) .. 21 (black on white), from
// their relative luminance in sRGB.
double ContrastRatio(Rgb a, Rgb b);

// Below this ratio against its background a name gets a shade.
inline constexpr double kNameShadeBelow = 2.0;

struct NameInk {
  Rgb fill;
  bool shaded = false;
  Rgb shade{0, 0, 0};
};

NameInk NameInkOn(Rgb colour, Rgb background);

}  // namespace korvalog
