#pragma once
// The small readings of a value change dump: its tokens, times and the
// date of its header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvalog {

inline bool IsVcdSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

// The whitespace-separated tokens of a text.
std::vector<std::string_view> SplitVcdTokens(std::string_view text);

// A piece of a dump for a message: NUL and other control bytes shown as
// "\xNN", a long piece shortened.
std::string QuotedVcdText(std::string_view text);

// An unsigned decimal of up to 19 digits (a time after "#").
bool ParseVcdTime(std::string_view text, uint64_t& value);

// Reads the dates that dumps carry: "2025-01-01 09:12:34.500" (as the export
// writes it, a "T" may join the two), or the C library's form
// "Wed Jan  1 09:12:34 2025" and orderings of its parts. False when the text
// holds no complete valid date.
bool ParseDumpDate(std::string_view text, double& out);

}  // namespace korvalog
