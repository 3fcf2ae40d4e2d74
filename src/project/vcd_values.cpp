// The body of a value change dump: from a wire's code to the channels it
// feeds, and from each value to the levels and the events it makes.
#include <cstring>
#include <string>

#include "project/export_text.h"
#include "project/vcd_header.h"
#include "project/vcd_import.h"

namespace korvalog {
namespace {

bool IsUnknownBit(char c) { return c == 'x' || c == 'X' || c == 'z' || c == 'Z'; }

}  // namespace

int* VcdImport::CodeSlot(std::string_view code, bool create) {
  // Codes of one and two printable characters (every code of a dump with up
  // to 8,836 wires) index tables; longer ones go through a map.
  const auto printable = [](char c) { return c >= '!' && c <= '~'; };
  if (code.size() == 1 && printable(code[0])) return &singleCodes_[code[0] - '!'];
  if (code.size() == 2 && printable(code[0]) && printable(code[1])) {
    if (doubleCodes_.empty()) {
      if (!create) return nullptr;
      doubleCodes_.assign(kPrintable * kPrintable, -1);
    }
    return &doubleCodes_[(code[0] - '!') * kPrintable + (code[1] - '!')];
  }
  if (!create) {
    const auto found = multiCodes_.find(std::string(code));
    return found != multiCodes_.end() ? &found->second : nullptr;
  }
  return &multiCodes_.try_emplace(std::string(code), -1).first->second;
}

const VcdImport::CodeUse* VcdImport::Use(std::string_view code) {
  const int* slot = CodeSlot(code, false);
  const int id = slot != nullptr ? *slot : -1;
  if (id < 0) {
    Fail("unknown wire code '" + QuotedVcdText(code) + "'");
    return nullptr;
  }
  return &codeUses_[static_cast<size_t>(id)];
}

bool VcdImport::Value(char value, std::string_view code, uint32_t& count) {
  const CodeUse* use = Use(code);
  if (use == nullptr) return false;
  if (use->wide) {
    WideValue(std::string_view(&value, 1), *use, count);
    return true;
  }
  if (value != '0' && value != '1') return true;  // x and z: the level stays
  const uint8_t level = value == '1' ? 1 : 0;
  const bool initial = !timeSeen_ || initialDump_;
  for (const CodeTarget& target : use->targets) Apply(target.channel, level, initial, count);
  return true;
}

bool VcdImport::VectorValue(std::string_view bits, std::string_view code, uint32_t& count) {
  const CodeUse* use = Use(code);
  if (use == nullptr) return false;
  if (!use->wide) return Value(bits.back(), code, count);
  WideValue(bits, *use, count);
  return true;
}

void VcdImport::WideValue(std::string_view bits, const CodeUse& use, uint32_t& count) {
  // A value shorter than the wire is widened by its leftmost bit, a 1 by 0s.
  const char fill = bits.front() == '1' ? '0' : bits.front();
  const bool initial = !timeSeen_ || initialDump_;
  for (const CodeTarget& target : use.targets) {
    const char c = target.bit < bits.size() ? bits[bits.size() - 1 - target.bit] : fill;
    if (IsUnknownBit(c)) ++wideUnknownBits_;
    Apply(target.channel, c == '1' ? 1 : 0, initial, count);
  }
}

void VcdImport::Apply(uint8_t ch, uint8_t level, bool initial, uint32_t& count) {
  if (initial) {
    if (!timeSeen_) levelsBeforeTime_ = true;
    level_[ch - 1] = start_[ch - 1] = level;
    return;
  }
  if (level_[ch - 1] == level) return;
  const EventFault fault = filler_.Add(EventRecord{nowDays_, ch, level}, count);
  if (fault != EventFault::None) {
    // The capture ends with the store: its end levels are those of then.
    if (fault == EventFault::Full && skipped_.full == 1) {
      std::memcpy(storedEnd_, level_, kChannelCount);
      storedEndTime_ = nowDays_;
    }
    level_[ch - 1] = level;
    return;
  }
  level_[ch - 1] = level;
  eventsBegun_ = true;
}

}  // namespace korvalog
