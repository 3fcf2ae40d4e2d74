#include "project/vcd_header.h"

#include <string>

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

bool IsDigits(std::string_view t) {
  if (t.empty()) return false;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int ToInt(std::string_view t) {
  int v = 0;
  for (char c : t) v = v * 10 + (c - '0');
  return v;
}

// "hh:mm:ss" with optional ".zzz".
bool ParseClock(std::string_view t, DateTimeFields& f) {
  if (t.size() < 8 || t[2] != ':' || t[5] != ':' || !IsDigits(t.substr(0, 2)) || !IsDigits(t.substr(3, 2)) ||
      !IsDigits(t.substr(6, 2))) {
    return false;
  }
  f.hour = ToInt(t.substr(0, 2));
  f.minute = ToInt(t.substr(3, 2));
  f.second = ToInt(t.substr(6, 2));
  f.millisecond = 0;
  if (t.size() == 8) return true;
  if (t[8] != '.' || !IsDigits(t.substr(9))) return false;
  std::string_view frac = t.substr(9, 3);
  f.millisecond = ToInt(frac);
  for (size_t n = frac.size(); n < 3; ++n) f.millisecond *= 10;
  return true;
}

}  // namespace

std::vector<std::string_view> SplitVcdTokens(std::string_view text) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsVcdSpace(text[i])) ++i;
    size_t j = i;
    while (j < text.size() && !IsVcdSpace(text[j])) ++j;
    if (j > i) out.push_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

std::string QuotedVcdText(std::string_view text) {
  constexpr size_t kShown = 64;
  std::string out;
  for (size_t i = 0; i < text.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  if (text.size() > kShown) out += "...";
  return out;
}

bool ParseVcdTime(std::string_view text, uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

bool ParseDumpDate(std::string_view text, double& out) {
  static const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                  "jul", "aug", "sep", "oct", "nov", "dec"};
  DateTimeFields f;
  bool year = false, month = false, day = false;
  std::string cleaned(text);
  for (char& c : cleaned) {
    if (c == ',') c = ' ';
  }
  for (std::string_view t : SplitVcdTokens(cleaned)) {
    if (t.size() >= 10 && t[4] == '-' && t[7] == '-' && IsDigits(t.substr(0, 4)) && IsDigits(t.substr(5, 2)) &&
        IsDigits(t.substr(8, 2))) {
      f.year = ToInt(t.substr(0, 4));
      f.month = ToInt(t.substr(5, 2));
      f.day = ToInt(t.substr(8, 2));
      year = month = day = true;
      if (t.size() > 11 && (t[10] == 'T' || t[10] == 't') && !ParseClock(t.substr(11), f)) return false;
    } else if (ParseClock(t, f)) {
    } else if (IsDigits(t) && t.size() == 4) {
      f.year = ToInt(t);
      year = true;
    } else if (IsDigits(t) && t.size() <= 2) {
      f.day = ToInt(t);
      day = true;
    } else if (t.size() >= 3) {
      for (int m = 0; m < 12; ++m) {
        if (FindTextFrom(1, kMonths[m], t.substr(0, 3)) == 1) {
          f.month = m + 1;
          month = true;
        }
      }
    }
  }
  return year && month && day && TryEncodeDateTime(f, out);
}

}  // namespace korvalog
