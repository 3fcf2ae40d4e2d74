#pragma once
// Byte-string helpers used everywhere instead of locale-aware converters.
// Positions are 1-based; 0 means not found. Readers are lenient and never fail.
#include <cstdint>
#include <string>
#include <string_view>

namespace korvalog {

char UpCaseLetter(char c);
int FindTextFrom(int start, std::string_view needle, std::string_view text);
int FindCharFrom(int start, char c, std::string_view text);
// '#' matches a digit, '?' any byte of code 32 or above, anything else
// itself with letters compared in upper case.
int FindPatternFrom(int start, std::string_view pattern, std::string_view text);

std::string TwoDigitText(uint8_t value);
char HexDigitChar(uint32_t value);
// The value of one hex digit (either case), or -1 for any other character.
int HexDigitValue(char c);
std::string ByteToHex(uint8_t value);
std::string WordToHex(uint16_t value);
std::string TextIf(bool flag, std::string_view text);

uint8_t ParseTwoDigits(std::string_view text, int position);
uint8_t ParseHexByte(std::string_view text, int position);
// The number readers skip carriage return, line feed, tab, space and comma.
bool IsSeparator(char c);
void SkipSeparators(std::string_view text, int& cursor);
uint32_t ParseUnsigned(std::string_view text, int& cursor);
int32_t ParseSigned(std::string_view text, int& cursor);
uint32_t ParseHex(std::string_view text, int& cursor);
int32_t TextToInt(std::string_view text);

std::string IntToBase(uint32_t value, int base);
std::string UIntToText(uint32_t value);
std::string IntToText(int32_t value);
std::string Int64ToText(int64_t value);
std::string Int64ToTextPadded(int width, int64_t value);
// Fixed point, rounded half away from zero; "Invalid" when it cannot convert.
std::string FloatToFixed(int decimals, double value);

// The text with each control byte (below 32, and 127) shown as "\xNN", so
// that a message quoting a user's bytes cannot ring, clear or recolour a
// terminal.
std::string EscapeControlBytes(std::string_view text);

// Appends the two hex digits of a byte without building a temporary string.
inline void AppendByteHex(std::string& out, uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(kDigits[value >> 4]);
  out.push_back(kDigits[value & 15]);
}

}  // namespace korvalog
