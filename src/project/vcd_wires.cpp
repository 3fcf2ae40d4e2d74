// The header's declarations of a value change dump: its time scale and its
// wires, and which channel each bit of a wire feeds.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/date_time.h"
#include "project/export_text.h"
#include "project/vcd_header.h"
#include "project/vcd_import.h"

namespace korvalog {
namespace {

// "[7:0]" or "[3]": the indices of the leftmost and rightmost bit.
bool ParseRange(std::string_view text, int& left, int& right) {
  if (text.size() < 3 || text.front() != '[' || text.back() != ']') return false;
  text = text.substr(1, text.size() - 2);
  const size_t colon = text.find(':');
  const auto number = [](std::string_view t, int& out) {
    if (t.empty() || t.size() > 6 || t.find_first_not_of("0123456789") != std::string_view::npos) return false;
    out = 0;
    for (char c : t) out = out * 10 + (c - '0');
    return true;
  };
  if (colon == std::string_view::npos) return number(text, left) && number(text, right);
  return number(text.substr(0, colon), left) && number(text.substr(colon + 1), right);
}

}  // namespace

bool VcdImport::SetTimescale(std::string_view text) {
  std::string joined;
  for (std::string_view t : SplitVcdTokens(text)) joined += t;
  size_t digits = 0;
  while (digits < joined.size() && joined[digits] >= '0' && joined[digits] <= '9') ++digits;
  uint64_t number = 0;
  const std::string unit = joined.substr(digits);
  static const struct {
    const char* name;
    double seconds;
  } kUnits[] = {{"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}};
  if (ParseVcdTime(joined.substr(0, digits), number) && number > 0) {
    for (const auto& u : kUnits) {
      if (unit == u.name) {
        unitDays_ = static_cast<double>(number) * u.seconds / kSecondsPerDay;
        return true;
      }
    }
  }
  return Fail("cannot read the timescale '" + QuotedVcdText(joined) + "'");
}

bool VcdImport::DeclareWire(std::string_view text) {
  static const char* kLevelTypes[] = {"wire", "reg",  "logic", "bit",    "tri",     "tri0",    "tri1", "wand",
                                      "wor",  "triand", "trior", "trireg", "supply0", "supply1", "uwire"};
  const std::vector<std::string_view> t = SplitVcdTokens(text);
  if (t.size() < 4) return Fail("incomplete $var");
  Wire w;
  w.code = std::string(t[2]);
  w.name = std::string(t[3]);
  w.reference = w.name;
  int left = 0;
  int right = 0;
  const bool ranged = t.size() > 4 && ParseRange(t[4], left, right);
  if (t.size() > 4 && t[4].front() == '[') w.reference += t[4];
  bool levelType = false;
  for (const char* type : kLevelTypes) levelType = levelType || t[0] == type;
  long width = 0;
  if (t[1].empty() || t[1].size() > 9 || t[1].find_first_not_of("0123456789") != std::string_view::npos ||
      (width = std::stol(std::string(t[1]))) < 1) {
    return Fail("'" + QuotedVcdText(w.reference) + "' has no width");
  }
  w.levels = levelType;
  w.width = levelType ? static_cast<int>(std::min<long>(width, 1 << 16)) : 0;
  if (ranged && std::abs(left - right) + 1 == w.width) {
    w.lsb = right;
    w.step = left >= right ? 1 : -1;
  }
  wires_.push_back(std::move(w));
  return true;
}

bool VcdImport::AssignChannels() {
  // chNNN names (as the export writes them) keep their channel when every
  // wire is one bit with a number of its own.
  bool numbered = true;
  bool used[kChannelCount + 1] = {};
  for (const Wire& w : wires_) {
    if (!w.levels) continue;
    const int ch = w.width == 1 ? ChannelFromWireName(w.reference) : 0;
    numbered = numbered && ch != 0 && !used[ch];
    used[ch] = true;
  }
  int next = 1;
  uint64_t leftOutBits = 0;
  uint64_t leftOutOthers = 0;
  std::string firstOther;
  for (const Wire& w : wires_) {
    int& slot = *CodeSlot(w.code, true);
    if (slot < 0) {
      slot = static_cast<int>(codeUses_.size());
      codeUses_.emplace_back();
    }
    CodeUse& use = codeUses_[slot];
    if (!w.levels) {
      if (leftOutOthers++ == 0) firstOther = w.reference;
      continue;
    }
    if (numbered) {
      const int channel = ChannelFromWireName(w.reference);
      const auto kept = commentNames_.find(channel);
      traces_.SetName(channel, kept != commentNames_.end() ? kept->second
                                                          : w.reference.substr(w.reference.size() > 6 ? 6 : 5));
      use.targets.push_back(CodeTarget{static_cast<uint8_t>(channel), 0});
      continue;
    }
    use.wide = use.wide || w.width > 1;
    for (int bit = 0; bit < w.width; ++bit) {
      if (next > kChannelCount) {
        leftOutBits += static_cast<uint64_t>(w.width - bit);
        break;
      }
      const std::string name =
          w.width == 1 ? w.reference : w.name + "[" + std::to_string(w.lsb + w.step * bit) + "]";
      traces_.SetName(next, name);
      use.targets.push_back(CodeTarget{static_cast<uint8_t>(next), static_cast<uint16_t>(bit)});
      ++next;
    }
  }
  if (leftOutBits > 0) {
    warnings_.push_back(std::to_string(leftOutBits) + " signal" + (leftOutBits == 1 ? "" : "s") +
                        " left out: only 128 channels can be imported");
  }
  if (leftOutOthers > 0) {
    warnings_.push_back(std::to_string(leftOutOthers) + (leftOutOthers == 1 ? " variable ('" : " variables ('") +
                        QuotedVcdText(firstOther) + (leftOutOthers == 1 ? "')" : "'...)") +
                        " left out: only wires of levels can be imported");
  }
  return true;
}

}  // namespace korvalog
