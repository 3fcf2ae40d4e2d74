#include "ui/name_ink.h"

#include <algorithm>
#include <cmath>

namespace korvalog {
namespace {

double Linear(uint8_t component) {
  const double c = component / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

NameInk NameInkOn(Rgb colour, Rgb background) {
  NameInk ink{colour};
  if (ContrastRatio(colour, background) >= kNameShadeBelow) return ink;
  ink.shaded = true;
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  ink.shade = ContrastRatio(colour, black) >= ContrastRatio(colour, white) ? black : white;
  return ink;
}

}  // namespace korvalog
