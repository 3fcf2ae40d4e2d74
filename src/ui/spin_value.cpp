#include "ui/spin_value.h"

#include "base/byte_text.h"

namespace korvalog {
namespace {

// Signed division on 64 bits, so that INT32_MIN / -1 wraps instead of trapping.
int32_t DivideByScale(int64_t number, int32_t scale, int32_t current) {
  if (scale == 0) return current;
  return static_cast<int32_t>(static_cast<uint32_t>(number / scale));
}

}  // namespace

int32_t ClampSpinValue(int32_t value, const SpinRange& range) {
  if (value < range.min) value = range.min;
  if (value > range.max) value = range.max;
  return value;
}

int32_t ScaledSpinNumber(int32_t value, int32_t scale) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(value) * scale));
}

std::string SpinText(int32_t value, const SpinRange& range, const TCalculateFn& calculate) {
  const int32_t n = ScaledSpinNumber(value, range.scale);
  if (range.hex) {
    uint32_t digits = static_cast<uint32_t>(n);
    uint32_t max = static_cast<uint32_t>(range.max);
    std::string text;
    do {
      text.insert(text.begin(), HexDigitChar(digits));
      digits >>= 4;
      max >>= 4;
    } while (max != 0);
    return text;
  }
  if (calculate) return IntToText(calculate(n));
  return IntToText(n);
}

int32_t TypedSpinValue(std::string_view text, const SpinRange& range, bool hasCalculate,
                       int32_t current) {
  if (text.empty()) return range.min;
  int cursor = 1;
  if (range.hex) return DivideByScale(ParseHex(text, cursor), range.scale, current);
  if (text.front() == '$') {
    cursor = 2;
    return DivideByScale(ParseHex(text, cursor), range.scale, current);
  }
  if (!hasCalculate) return DivideByScale(TextToInt(text), range.scale, current);
  return current;
}

}  // namespace korvalog
