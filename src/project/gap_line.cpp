#include "project/gap_line.h"

#include <cstring>

#include "base/byte_text.h"

namespace korvalog {
namespace {

constexpr size_t kGapBytes = 2 * sizeof(double);

}  // namespace

std::string GapLine(const GapSpan& gap) {
  uint8_t bytes[kGapBytes];
  std::memcpy(bytes, &gap.start, sizeof(double));
  std::memcpy(bytes + sizeof(double), &gap.end, sizeof(double));
  std::string line = "G";
  for (uint8_t b : bytes) AppendByteHex(line, b);
  return line;
}

bool ReadGapLine(std::string_view line, CaptureGaps& gaps) {
  if (line.size() != 1 + 2 * kGapBytes || line[0] != 'G') return false;
  uint8_t bytes[kGapBytes];
  for (size_t i = 0; i < kGapBytes; ++i) {
    const int hi = HexDigitValue(line[1 + 2 * i]);
    const int lo = HexDigitValue(line[2 + 2 * i]);
    if (hi < 0 || lo < 0) return false;
    bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
  }
  double start, end;
  std::memcpy(&start, bytes, sizeof start);
  std::memcpy(&end, bytes + sizeof start, sizeof end);
  // An open end has no place in a file: the writer cuts gaps to the span.
  return end != kGapOpen && gaps.Add(start, end);
}

}  // namespace korvalog
