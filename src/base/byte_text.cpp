#include "base/byte_text.h"

#include <cmath>

namespace korvalog {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Character at a 1-based position; the caller checks the bounds.
char At(std::string_view text, int position) { return text[static_cast<size_t>(position - 1)]; }

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char UpCaseLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

int FindTextFrom(int start, std::string_view needle, std::string_view text) {
  if (needle.empty()) return start;
  const int n = static_cast<int>(needle.size());
  const int last = static_cast<int>(text.size()) - n + 1;
  for (int p = start < 1 ? 1 : start; p <= last; ++p) {
    int k = 0;
    while (k < n && UpCaseLetter(At(text, p + k)) == UpCaseLetter(needle[k])) ++k;
    if (k == n) return p;
  }
  return 0;
}

int FindCharFrom(int start, char c, std::string_view text) {
  for (int p = start < 1 ? 1 : start; p <= static_cast<int>(text.size()); ++p) {
    if (At(text, p) == c) return p;
  }
  return 0;
}

int FindPatternFrom(int start, std::string_view pattern, std::string_view text) {
  int p = start < 1 ? 1 : start;
  int k = 1;
  const int plen = static_cast<int>(pattern.size());
  const int tlen = static_cast<int>(text.size());
  for (;;) {
    if (k > plen) return p;
    if (tlen < p + k - 1) return 0;
    const char pc = pattern[static_cast<size_t>(k - 1)];
    const char tc = At(text, p + k - 1);
    bool match;
    if (pc == '#') {
      match = IsDigit(tc);
    } else if (pc == '?') {
      match = static_cast<unsigned char>(tc) >= 32;
    } else {
      match = UpCaseLetter(pc) == UpCaseLetter(tc);
    }
    if (match) {
      ++k;
    } else {
      ++p;
      k = 1;
    }
  }
}

std::string TwoDigitText(uint8_t value) {
  return std::string{static_cast<char>('0' + (value / 10) % 10), static_cast<char>('0' + value % 10)};
}

char HexDigitChar(uint32_t value) { return kHexDigits[value & 15]; }

std::string ByteToHex(uint8_t value) {
  std::string out;
  AppendByteHex(out, value);
  return out;
}

std::string EscapeControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      AppendByteHex(out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

std::string WordToHex(uint16_t value) {
  return ByteToHex(static_cast<uint8_t>(value >> 8)) + ByteToHex(static_cast<uint8_t>(value & 0xFF));
}

std::string TextIf(bool flag, std::string_view text) { return flag ? std::string(text) : std::string(); }

uint8_t ParseTwoDigits(std::string_view text, int position) {
  if (position < 1 || static_cast<int>(text.size()) < position + 1) return 0;
  const char a = At(text, position);
  const char b = At(text, position + 1);
  return static_cast<uint8_t>(10 * (IsDigit(a) ? a - '0' : 0) + (IsDigit(b) ? b - '0' : 0));
}

uint8_t ParseHexByte(std::string_view text, int position) {
  auto digit = [&](int p) {
    if (p < 1 || p > static_cast<int>(text.size())) return 0;
    const int v = HexDigitValue(At(text, p));
    return v < 0 ? 0 : v;
  };
  return static_cast<uint8_t>(16 * digit(position) + digit(position + 1));
}

bool IsSeparator(char c) { return c == '\r' || c == '\n' || c == '\t' || c == ' ' || c == ','; }

void SkipSeparators(std::string_view text, int& cursor) {
  if (cursor < 1) cursor = 1;
  while (cursor <= static_cast<int>(text.size()) && IsSeparator(At(text, cursor))) ++cursor;
}

uint32_t ParseUnsigned(std::string_view text, int& cursor) {
  SkipSeparators(text, cursor);
  uint32_t value = 0;
  while (cursor <= static_cast<int>(text.size()) && IsDigit(At(text, cursor))) {
    value = value * 10u + static_cast<uint32_t>(At(text, cursor) - '0');  // wraps modulo 2^32
    ++cursor;
  }
  SkipSeparators(text, cursor);
  return value;
}

int32_t ParseSigned(std::string_view text, int& cursor) {
  SkipSeparators(text, cursor);
  if (cursor > static_cast<int>(text.size())) return 0;
  bool negative = false;
  const char c = At(text, cursor);
  if (c == '-' || c == '+') {
    negative = c == '-';
    ++cursor;
  }
  const uint32_t magnitude = ParseUnsigned(text, cursor);
  return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

uint32_t ParseHex(std::string_view text, int& cursor) {
  SkipSeparators(text, cursor);
  uint32_t value = 0;
  while (cursor <= static_cast<int>(text.size())) {
    const int v = HexDigitValue(At(text, cursor));
    if (v < 0) break;
    value = value * 16u + static_cast<uint32_t>(v);
    ++cursor;
  }
  SkipSeparators(text, cursor);
  return value;
}

int32_t TextToInt(std::string_view text) {
  int cursor = 1;
  return ParseSigned(text, cursor);
}

std::string IntToBase(uint32_t value, int base) {
  if (base < 2 || base > 36) base = 10;
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  char buf[33];
  int n = 0;
  do {
    buf[n++] = kDigits[value % static_cast<uint32_t>(base)];
    value /= static_cast<uint32_t>(base);
  } while (value != 0);
  std::string out;
  out.reserve(static_cast<size_t>(n));
  while (n > 0) out.push_back(buf[--n]);
  return out;
}

std::string UIntToText(uint32_t value) { return IntToBase(value, 10); }

std::string Int64ToText(int64_t value) {
  const bool negative = value < 0;
  uint64_t magnitude = negative ? 0ull - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char buf[21];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string out;
  if (negative) out.push_back('-');
  while (n > 0) out.push_back(buf[--n]);
  return out;
}

std::string IntToText(int32_t value) { return Int64ToText(value); }

std::string Int64ToTextPadded(int width, int64_t value) {
  std::string digits = Int64ToText(value);
  if (value < 0) return digits;
  const size_t target = static_cast<size_t>(width < 0 ? -static_cast<int64_t>(width) : width);
  if (digits.size() >= target) return digits;
  return std::string(target - digits.size(), width > 0 ? '0' : ' ') + digits;
}

std::string FloatToFixed(int decimals, double value) {
  static const std::string kInvalid = "Invalid";
  constexpr double kLimit = 9.2233720368547758e18;  // 2^63
  if (decimals < 0 || std::isnan(value) || std::isinf(value)) return kInvalid;
  int64_t scale = 1;
  double x = value;
  for (int i = 0; i < decimals; ++i) {
    x *= 10.0;
    if (scale > INT64_MAX / 10) return kInvalid;
    scale *= 10;
  }
  std::string out;
  if (x < 0) {
    out.push_back('-');
    x = -x;
  }
  x += 0.5;
  if (!(x < kLimit)) return kInvalid;
  const int64_t whole = static_cast<int64_t>(x);
  out += Int64ToText(static_cast<int64_t>(x / static_cast<double>(scale)));
  if (decimals > 0) {
    out.push_back('.');
    out += Int64ToTextPadded(decimals, whole % scale);
  }
  return out;
}

}  // namespace korvalog
