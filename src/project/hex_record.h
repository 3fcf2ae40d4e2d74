#pragma once
// Hex digit pairs of the project file records, read the lenient way: either
// case, and any other character counts as 0 (the same reading as
// ParseHexByte, done by table because every loaded event goes through it).
#include <array>
#include <cstddef>
#include <cstdint>

namespace korvalog {

namespace hex_detail {
constexpr std::array<uint8_t, 256> MakeHexTable() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    if (c >= '0' && c <= '9') t[c] = static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') t[c] = static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') t[c] = static_cast<uint8_t>(c - 'a' + 10);
  }
  return t;
}
inline constexpr std::array<uint8_t, 256> kHexValue = MakeHexTable();
}  // namespace hex_detail

inline uint8_t DecodeHexPair(const char* digits) {
  return static_cast<uint8_t>(hex_detail::kHexValue[static_cast<unsigned char>(digits[0])] << 4 |
                              hex_detail::kHexValue[static_cast<unsigned char>(digits[1])]);
}

// Decodes `count` bytes from 2 * count digits.
inline void DecodeHexBytes(const char* digits, size_t count, uint8_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = DecodeHexPair(digits + 2 * i);
}

// The same for a record size known at compile time, fully unrolled: every
// loaded event goes through it.
template <size_t kCount>
inline void DecodeHexRecord(const char* digits, uint8_t (&out)[kCount]) {
#pragma GCC unroll 16
  for (size_t i = 0; i < kCount; ++i) out[i] = DecodeHexPair(digits + 2 * i);
}

}  // namespace korvalog
