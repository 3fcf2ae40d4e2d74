#pragma once
// Time stamps and durations as the program writes them everywhere: in the
// chart, the tables, the exports and the tool's output.
#include <string>

namespace korvalog {

// "dd/mm hhnn:ss.zzz" of the value plus 5 ms, e.g. "06/12 0834:56.794".
std::string FormatTimeStamp(double dateTime);

// Duration in days plus 5 ms, in one of four forms by magnitude:
// "D hh:nn", "h:nn:ss", "n:ss.zz", "s.zz". A negative duration (crossed
// cursors) is written as "-" followed by the form of its magnitude.
std::string FormatDuration(double days);

}  // namespace korvalog
