#pragma once
// The message box's button list: captions separated by commas, and the glyph
// each caption gets from the first keyword found in it.
#include <string>
#include <string_view>
#include <vector>

namespace korvalog {

// Indices of the message box's button glyphs.
enum ButtonGlyph : int {
  kGlyphNone = -1,
  kGlyphTick = 0,
  kGlyphCross = 1,
  kGlyphDisk = 2,
  kGlyphQuestion = 3,
  kGlyphCopy = 4,
  kGlyphMove = 5,
};

// "Yes,No" gives "Yes" and "No"; an empty list gives no buttons, while empty
// items between commas give buttons without caption.
std::vector<std::string> SplitButtonList(std::string_view list);

// Keywords are searched anywhere in the caption, without regard to case, so
// "Annotate" gets the cross of "NO".
ButtonGlyph GlyphForCaption(std::string_view caption);

}  // namespace korvalog
