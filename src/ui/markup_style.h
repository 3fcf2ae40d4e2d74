#pragma once
// Settings of the mark-up text renderer that belong to the program rather
// than to one text. The program keeps one instance and passes it to whatever
// draws mark-up; importing a logger log widens the tab columns for good.

namespace korvalog {

struct MarkupStyle {
  // Distance between tab columns, in widths of the letter "A".
  int tabWidth = 8;
};

// Mark-up codes always follow this character.
inline constexpr char kMarkupEscape = '\\';

}  // namespace korvalog
