#pragma once
// The channels' colours: each channel's colour follows from its number and
// the colour mode, so that the same input looks the same everywhere.
#include <cstdint>

namespace korvalog {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Colour mode 1: 64 colours from four component levels; anything else: the
// 16-colour palette. Channels repeat every 64 or 16.
Rgb ChannelColour(int channel, uint8_t colourMode);

}  // namespace korvalog
