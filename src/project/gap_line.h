#pragma once
// The project line of a link gap: "G", then the start and the end (two
// 8-byte date-times, as the E lines hold times) in upper-case hex, 33
// characters. Written after every other line and only when the capture has
// gaps; a reader that does not know the kind passes over it.
#include <string>
#include <string_view>

#include "core/capture_gaps.h"

namespace korvalog {

std::string GapLine(const GapSpan& gap);
// False (nothing added) for a line that is not a whole, sound gap.
bool ReadGapLine(std::string_view line, CaptureGaps& gaps);

}  // namespace korvalog
