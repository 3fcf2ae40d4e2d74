#pragma once
// Hex digit pairs of the project file records, read the lenient way: either
// case, and any other character counts as 0 (the same reading as
// ParseHexByte, done by table because every loaded event goes through it).
#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Eight bytes from sixteen digits at once, with the table's reading: either
// case, anything else 0. Every loaded event goes through it.
inline void DecodeHexEight(const char* digits, uint8_t* out) {
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(digits));
  // Signed comparisons: bytes from 0x80 up are below every digit and letter.
  const auto in = [&c](char from, char to) {
    return _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8(static_cast<char>(from - 1))),
                         _mm_cmplt_epi8(c, _mm_set1_epi8(static_cast<char>(to + 1))));
  };
  const auto minus = [&c](int k) { return _mm_sub_epi8(c, _mm_set1_epi8(static_cast<char>(k))); };
  const __m128i nibbles = _mm_or_si128(_mm_and_si128(in('0', '9'), minus('0')),
                                       _mm_or_si128(_mm_and_si128(in('A', 'F'), minus('A' - 10)),
                                                    _mm_and_si128(in('a', 'f'), minus('a' - 10))));
  // Pairs as 16-bit lanes, the first digit low: first << 4 | second.
  const __m128i pairs = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(nibbles, _mm_set1_epi16(0x00FF)), 4),
                                     _mm_srli_epi16(nibbles, 8));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(pairs, pairs));
}
#endif

// The same for a record size known at compile time, fully unrolled: every
// loaded event goes through it.
template <size_t kCount>
inline void DecodeHexRecord(const char* digits, uint8_t (&out)[kCount]) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= kCount; i += 8) DecodeHexEight(digits + 2 * i, out + i);
#endif
#pragma GCC unroll 16
  for (; i < kCount; ++i) out[i] = DecodeHexPair(digits + 2 * i);
}

}  // namespace korvalog
