#include "project/ignored_lines.h"

namespace korvalog {

std::string IgnoredLines::Warning() const {
  std::string text;
  if (lines > 0) text = std::to_string(lines) + (lines == 1 ? " line ignored" : " lines ignored");
  if (endedMidLine) {
    if (!text.empty()) text += "; ";
    text += "the file ends in the middle of a line";
  }
  return text;
}

}  // namespace korvalog
