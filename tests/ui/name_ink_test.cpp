// Which channel names get a shade, and in which colour.
#include "ui/name_ink.h"

#include <gtest/gtest.h>

#include "core/records.h"

namespace korvalog {
namespace {

TEST(NameInk, ContrastRatioOfKnownPairs) {
  EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({128, 128, 128}, {128, 128, 128}), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 255, 0}, {255, 255, 255}), 1.07, 0.01);
  EXPECT_NEAR(ContrastRatio({192, 192, 192}, {255, 255, 255}), 1.82, 0.01);
}

TEST(NameInk, FaintColoursOnWhiteAreShadedInBlackOthersArePlain) {
  const Rgb white{255, 255, 255};
  struct Case {
    Rgb colour;
    bool shaded;
  } cases[] = {
      {{255, 255, 0}, true},    // yellow
      {{192, 192, 192}, true},  // silver
      {{0, 255, 255}, true},    // cyan: fainter still than silver
      {{0, 255, 0}, true},      // lime
      {{0, 0, 0}, false},       {{255, 0, 0}, false},   {{0, 0, 255}, false},
      {{255, 0, 255}, false},   {{128, 0, 0}, false},   {{0, 128, 0}, false},
      {{0, 0, 128}, false},     {{128, 128, 0}, false}, {{128, 0, 128}, false},
      {{0, 128, 128}, false},   {{128, 128, 128}, false}, {{128, 128, 192}, false},
  };
  for (const Case& c : cases) {
    const NameInk ink = NameInkOn(c.colour, white);
    EXPECT_EQ(ink.shaded, c.shaded) << int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b);
    EXPECT_EQ(ink.fill, c.colour);  // the name keeps its channel's colour
    if (ink.shaded) { EXPECT_EQ(ink.shade, (Rgb{0, 0, 0})); }
  }
}

TEST(NameInk, EveryShadedNameReadsAgainstItsShade) {
  // Whatever the palette, a name is readable against its background or its
  // shade; on a dark background a dark name gets a white shade.
  for (uint8_t mode : {uint8_t{0}, uint8_t{1}}) {
    for (int ch = 1; ch <= kChannelCount; ++ch) {
      for (const Rgb background : {Rgb{255, 255, 255}, Rgb{30, 30, 30}}) {
        const NameInk ink = NameInkOn(ChannelColour(ch, mode), background);
        const double plain = ContrastRatio(ink.fill, background);
        if (!ink.shaded) {
          EXPECT_GE(plain, kNameShadeBelow) << ch;
        } else {
          EXPECT_LT(plain, kNameShadeBelow) << ch;
          EXPECT_GE(ContrastRatio(ink.fill, ink.shade), 4.5) << ch;
        }
      }
    }
  }
  EXPECT_EQ(NameInkOn({0, 0, 0}, {30, 30, 30}).shade, (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace korvalog
