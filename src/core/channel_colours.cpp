#include "core/channel_colours.h"

namespace korvalog {

Rgb ChannelColour(int channel, uint8_t colourMode) {
  static constexpr Rgb kPalette16[16] = {
      {0, 0, 0},       {255, 0, 0},   {0, 255, 0},     {0, 0, 255},
      {255, 255, 0},   {255, 0, 255}, {0, 255, 255},   {128, 0, 0},
      {0, 128, 0},     {0, 0, 128},   {128, 128, 0},   {128, 0, 128},
      {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {128, 128, 192}};
  static constexpr uint8_t kLevels[4] = {0, 128, 192, 255};
  const int c = channel - 1;
  if (colourMode == 1) {
    const int v = ((c % 64) + 64) % 64;
    return Rgb{kLevels[(v / 16) % 4], kLevels[(v / 4) % 4], kLevels[v % 4]};
  }
  return kPalette16[((c % 16) + 16) % 16];
}

}  // namespace korvalog
