#include "ui/message_buttons.h"

#include <utility>

#include "base/byte_text.h"

namespace korvalog {

std::vector<std::string> SplitButtonList(std::string_view list) {
  std::vector<std::string> captions;
  const int length = static_cast<int>(list.size());
  int p = 1;
  while (p <= length) {
    int c = FindCharFrom(p, ',', list);
    if (c <= 0) c = length + 1;
    captions.emplace_back(list.substr(p - 1, c - p));
    p = c + 1;
  }
  return captions;
}

ButtonGlyph GlyphForCaption(std::string_view caption) {
  // Searched in this order: the first keyword found decides.
  static constexpr std::pair<std::string_view, ButtonGlyph> kKeywords[] = {
      {"YES", kGlyphTick},     {"OK", kGlyphTick},      {"CONTINUE", kGlyphTick},
      {"NO", kGlyphCross},     {"CANCEL", kGlyphCross}, {"ABORT", kGlyphCross},
      {"DISCARD", kGlyphCross}, {"DELETE", kGlyphCross}, {"SAVE", kGlyphDisk},
      {"COPY", kGlyphCopy},    {"MOVE", kGlyphMove},
  };
  for (const auto& [keyword, glyph] : kKeywords) {
    if (FindPatternFrom(1, keyword, caption) > 0) return glyph;
  }
  return kGlyphNone;
}

}  // namespace korvalog
