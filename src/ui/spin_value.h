#pragma once
// The number rules of the spin edit: an integer value kept between Min and
// Max, shown multiplied by Scale, in decimal or in hexadecimal.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace korvalog {

// Conversion of the shown number for display only.
using TCalculateFn = std::function<int32_t(int32_t position)>;

struct SpinRange {
  int32_t min = 0;
  int32_t max = 100;
  int32_t scale = 1;
  bool hex = false;
};

// Min first, then Max, so Max wins when the two cross.
int32_t ClampSpinValue(int32_t value, const SpinRange& range);

// value × scale, wrapping on 32 bits.
int32_t ScaledSpinNumber(int32_t value, int32_t scale);

// Hexadecimal: upper case with as many digits as Max needs (at least one);
// higher digits of the number are cut. Decimal: through calculate when given.
std::string SpinText(int32_t value, const SpinRange& range, const TCalculateFn& calculate);

// The value a typed text stands for: empty gives Min; hexadecimal in hex
// mode or after "$"; decimal otherwise, unless a display conversion is set,
// which cannot be read back (the value stays). The number is divided by
// Scale truncating toward zero; a Scale of 0 leaves the value as it was.
int32_t TypedSpinValue(std::string_view text, const SpinRange& range, bool hasCalculate,
                       int32_t current);

}  // namespace korvalog
