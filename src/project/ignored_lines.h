#pragma once
// What a project load could not read as records: lines passed over and a
// file that stops inside a line. Reported as one warning, so that a damaged
// file never loads part of its contents without a word.
#include <cstdint>
#include <string>

namespace korvalog {

struct IgnoredLines {
  uint64_t lines = 0;         // non-empty lines that held no record
  bool endedMidLine = false;  // the last line has no line end and no record: the file was cut

  bool Any() const { return lines > 0 || endedMidLine; }
  // "3 lines ignored", "the file ends in the middle of a line", or both
  // joined by "; "; empty when there is nothing to say.
  std::string Warning() const;
};

}  // namespace korvalog
