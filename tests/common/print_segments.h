#pragma once
// Readable failure messages for the chart's plan pieces.
#include <ostream>

#include "chart/level_segment.h"

namespace korvalog {

inline void PrintTo(const LevelSegment& s, std::ostream* os) {
  *os << "{" << s.x0 << "," << s.x1 << "," << int(s.level) << (s.edge ? ",edge}" : "}");
}

}  // namespace korvalog
