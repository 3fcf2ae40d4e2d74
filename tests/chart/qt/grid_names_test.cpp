// Channel names in colours that are faint on white (yellow, silver) get a
// dark shade; the others and all waveforms keep their plain colour.
#include <gtest/gtest.h>

#include "chart/qt/chart_panel.h"
#include "chart_rig.h"
#include "core/channel_colours.h"

namespace korvalog {
namespace {

using test::ChartRig;
using testing::CaptureBuilder;

bool NearBlack(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }

struct NameInkCount {
  int colour = 0;  // pixels in the channel's exact colour
  int dark = 0;    // near-black pixels
};

NameInkCount CountNameInk(const QImage& grid, const QRect& cell, QRgb colour) {
  NameInkCount n;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x) {
      const QRgb c = grid.pixel(x, y);
      n.colour += c == colour;
      n.dark += NearBlack(c);
    }
  return n;
}

TEST(GridNames, FaintNamesAreShadedOthersArePlain) {
  // Channels 2 red, 5 yellow, 10 navy, 15 silver in the 16-colour palette.
  ChartRig r([](CaptureBuilder& b) {
    for (int ch : {2, 5, 10, 15}) {
      b.view.Traces.SetName(ch, "WWWWW");
      b.Event(10 + ch, ch, 1);
    }
  });
  const QImage grid = r.Grid();
  ChannelGrid* g = r.panel->Grid();
  struct Case {
    int channel;
    bool shaded;
  } cases[] = {{5, true}, {15, true}, {2, false}};
  for (const Case& c : cases) {
    const Rgb colour = ChannelColour(c.channel, r.settings.ColourMode);
    const QRect cell = g->Layout().CellRect(1, c.channel, g->TopRow());
    const NameInkCount n = CountNameInk(grid, cell, test::Rgb(colour));
    EXPECT_GT(n.colour, 20) << c.channel;  // the name keeps its colour
    if (c.shaded) {
      EXPECT_GT(n.dark, n.colour / 2) << c.channel;
    } else {
      EXPECT_EQ(n.dark, 0) << c.channel;
    }
  }
  // The yellow waveform has no shade: only its colour and the background.
  const QRect wave = g->Layout().CellRect(4, 5, g->TopRow());
  EXPECT_EQ(CountNameInk(grid, wave, test::Rgb(ChannelColour(5, 0))).dark, 0);
}

}  // namespace
}  // namespace korvalog
