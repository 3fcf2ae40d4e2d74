#pragma once
// The Sequencer's two event pictures: a falling edge (index 0, the signal
// goes LOW) and a rising edge (index 1, it goes HIGH).
#include <QImage>

namespace korvalog {

inline constexpr int kEventPictureSize = 16;

// A transparent 16 x 16 picture; a null image for any other index.
QImage EventPicture(int index);

}  // namespace korvalog
