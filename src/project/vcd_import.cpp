#include "project/vcd_import.h"

#include <cstring>

#include "core/date_time.h"
#include "project/export_text.h"
#include "project/line_reader.h"
#include "project/vcd_header.h"
#include "ui/ansi_string_lib.h"

namespace korvalog {

bool IsVcdPath(std::string_view path) {
  const int last = static_cast<int>(path.size()) - 3;  // 1-based start of the last four characters
  return last >= 1 && FindTextFrom(last, ".vcd", path) == last;
}

std::string ReadVcdLines(LineReader& reader, CaptureData& data, uint32_t& count, uint64_t& skipped) {
  VcdImport vcd(data);
  std::string reason;
  std::string_view line;
  bool cut = false;
  uint64_t lineNumber = 0;
  while (reason.empty() && reader.Next(line, cut)) {
    ++lineNumber;
    if (cut) {
      reason = "line " + std::to_string(lineNumber) + ": line too long";
    } else if (!vcd.ReadLine(line, count)) {
      reason = "line " + std::to_string(lineNumber) + ": " + vcd.Error();
    }
  }
  // After a read error the load reports that instead.
  if (reason.empty() && !reader.Failed() && !vcd.Finish(count)) reason = vcd.Error();
  skipped = vcd.Skipped();
  return reason;
}

VcdImport::VcdImport(CaptureData& data) : data_(data) {
  ResetChannelTable(data_.Channels);
  for (int& c : singleCodes_) c = -1;
  DateTimeFields fallback;
  fallback.year = 2000;
  fallback.month = 1;
  fallback.day = 1;
  TryEncodeDateTime(fallback, date_);
  unitDays_ = 1e-9 / kSecondsPerDay;  // a dump without $timescale counts nanoseconds
  nowDays_ = date_;
}

bool VcdImport::Fail(std::string text) {
  error_ = std::move(text);
  return false;
}

bool VcdImport::ReadLine(std::string_view line, uint32_t& count) {
  // Most lines of a dump's body are one change ("1!") or one time ("#1234").
  if (inBody_ && !collecting_ && pendingVector_.empty() && line.size() >= 2) {
    if ((line[0] == '0' || line[0] == '1') && line.size() <= 3 && !IsVcdSpace(line[1]) && !IsVcdSpace(line.back())) {
      return Value(line[0], line.substr(1), count);
    }
    uint64_t t = 0;
    if (line[0] == '#' && ParseVcdTime(line.substr(1), t)) return SetTime(t, line);
  }
  const size_t n = line.size();
  size_t i = 0;
  size_t rawFrom = 0;  // where this line's part of a command's text starts
  while (true) {
    while (i < n && IsVcdSpace(line[i])) ++i;
    if (i >= n) break;
    size_t j = i;
    while (j < n && !IsVcdSpace(line[j])) ++j;
    const std::string_view token = line.substr(i, j - i);
    if (collecting_) {
      if (token == "$end") {
        raw_.append(line.substr(rawFrom, i - rawFrom));
        collecting_ = false;
        if (!EndCommand()) return false;
      }
    } else {
      if (!Token(token, count)) return false;
      rawFrom = j;
    }
    i = j;
  }
  if (collecting_ && command_ != Command::Other) {
    // Only the header's date, scale, wires and comments are kept, and none
    // of them runs to megabytes unless its $end is missing.
    if (raw_.size() > kMaxCommandText) return Fail("a command without its $end");
    raw_.append(line.substr(rawFrom < n ? rawFrom : n));
    raw_ += '\n';
  }
  return true;
}

bool VcdImport::Token(std::string_view token, uint32_t& count) {
  return inBody_ ? BodyToken(token, count) : HeaderToken(token);
}

bool VcdImport::HeaderToken(std::string_view token) {
  if (token[0] != '$') return Fail("unexpected '" + std::string(token) + "' before $enddefinitions");
  if (token == "$date") {
    command_ = Command::Date;
  } else if (token == "$timescale") {
    command_ = Command::Timescale;
  } else if (token == "$var") {
    command_ = Command::Var;
  } else if (token == "$comment") {
    command_ = Command::Comment;
  } else if (token == "$enddefinitions") {
    command_ = Command::EndDefinitions;
  } else if (token == "$end") {
    return Fail("'$end' without a command");
  } else {
    command_ = Command::Other;  // $version, $scope, $upscope and the like
  }
  raw_.clear();
  collecting_ = true;
  return true;
}

bool VcdImport::EndCommand() {
  const Command command = command_;
  command_ = Command::None;
  switch (command) {
    case Command::Date:
      ParseDumpDate(raw_, date_);  // unreadable: the fixed date stays
      nowDays_ = date_;
      return true;
    case Command::Timescale:
      return SetTimescale(raw_);
    case Command::Var:
      return DeclareWire(raw_);
    case Command::Comment: {
      // The exact channel names the export keeps: "13 "Door open"" lines.
      if (inBody_ || raw_.find("Korvalog channel names") == std::string::npos) return true;
      size_t pos = raw_.find('\n');
      while (pos != std::string::npos && pos < raw_.size()) {
        size_t p = pos + 1;
        while (p < raw_.size() && IsVcdSpace(raw_[p]) && raw_[p] != '\n') ++p;
        int channel = 0;
        while (p < raw_.size() && raw_[p] >= '0' && raw_[p] <= '9' && channel < 1000) {
          channel = channel * 10 + (raw_[p++] - '0');
        }
        std::string name;
        if (p < raw_.size() && raw_[p] == ' ' && UnquoteName(raw_, ++p, name) && channel >= 1 &&
            channel <= kChannelCount) {
          commentNames_[channel] = name;
        }
        pos = raw_.find('\n', pos + 1);
      }
      return true;
    }
    case Command::EndDefinitions:
      inBody_ = true;
      return AssignChannels();
    default:
      return true;
  }
}

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
  return Fail("cannot read the timescale '" + joined + "'");
}

bool VcdImport::DeclareWire(std::string_view text) {
  static const char* kOneBitTypes[] = {"wire", "reg",  "logic", "bit",    "tri",     "tri0",    "tri1", "wand",
                                       "wor",  "triand", "trior", "trireg", "supply0", "supply1", "uwire"};
  const std::vector<std::string_view> t = SplitVcdTokens(text);
  if (t.size() < 4) return Fail("incomplete $var");
  std::string reference(t[3]);
  if (t.size() > 4 && t[4].front() == '[') reference += t[4];
  bool oneBitType = false;
  for (const char* type : kOneBitTypes) oneBitType = oneBitType || t[0] == type;
  if (!oneBitType || t[1] != "1") {
    return Fail("'" + reference + "' is a " + std::string(t[0]) + " of " + std::string(t[1]) +
                " bits: only 1-bit wires can be imported");
  }
  if (wires_.size() >= static_cast<size_t>(kChannelCount)) {
    return Fail("more than 128 wires: only 128 channels can be imported");
  }
  wires_.push_back(Wire{std::string(t[2]), reference, 0});
  return true;
}

bool VcdImport::AssignChannels() {
  bool numbered = true;
  bool used[kChannelCount + 1] = {};
  for (const Wire& w : wires_) {
    const int ch = ChannelFromWireName(w.reference);
    numbered = numbered && ch != 0 && !used[ch];
    used[ch] = true;
  }
  for (size_t n = 0; n < wires_.size(); ++n) {
    Wire& w = wires_[n];
    w.channel = numbered ? ChannelFromWireName(w.reference) : static_cast<int>(n) + 1;
    std::string name = w.reference;
    if (numbered) {
      const auto kept = commentNames_.find(w.channel);
      name = kept != commentNames_.end() ? kept->second : w.reference.substr(w.reference.size() > 6 ? 6 : 5);
    }
    SetChannelName(data_.Channels[w.channel - 1], name);

    int& slot = *CodeSlot(w.code, true);
    if (slot < 0) {
      slot = static_cast<int>(codeChannels_.size());
      codeChannels_.emplace_back();
    }
    codeChannels_[slot].push_back(static_cast<uint8_t>(w.channel));
  }
  return true;
}

bool VcdImport::BodyToken(std::string_view token, uint32_t& count) {
  if (!pendingVector_.empty()) {
    const char bit = pendingVector_.back();
    pendingVector_.clear();
    return Value(bit, token, count);
  }
  switch (token[0]) {
    case '#': {
      uint64_t t = 0;
      if (!ParseVcdTime(token.substr(1), t)) return Fail("'" + std::string(token) + "' is not a time");
      return SetTime(t, token);
    }
    case '0':
    case '1':
    case 'x':
    case 'X':
    case 'z':
    case 'Z':
      return Value(token[0], token.substr(1), count);
    case 'b':
    case 'B':
      if (token.size() < 2 || token.find_first_not_of("01xXzZ", 1) != std::string_view::npos) {
        return Fail("'" + std::string(token) + "' is not a binary value");
      }
      pendingVector_ = token.substr(1);
      return true;
    case 'r':
    case 'R':
      return Fail("real value '" + std::string(token) + "': only 1-bit wires can be imported");
    case '$':
      if (token == "$dumpvars" || token == "$dumpall" || token == "$dumpon" || token == "$dumpoff") {
        inDump_ = true;
        initialDump_ = token == "$dumpvars" && !eventsBegun_;
      } else if (token == "$end") {
        inDump_ = false;
        initialDump_ = false;
      } else {
        command_ = Command::Other;  // $comment and the like: skipped to their $end
        collecting_ = true;
        raw_.clear();
      }
      return true;
    default:
      return Fail("unexpected '" + std::string(token) + "'");
  }
}

bool VcdImport::SetTime(uint64_t t, std::string_view token) {
  if (timeSeen_ && t < now_) return Fail("the time goes back to " + std::string(token.substr(1)));
  if (!timeSeen_) firstTime_ = t;
  timeSeen_ = true;
  now_ = t;
  nowDays_ = date_ + static_cast<double>(t) * unitDays_;
  return true;
}

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

bool VcdImport::Value(char value, std::string_view code, uint32_t& count) {
  const int* slot = CodeSlot(code, false);
  const int id = slot != nullptr ? *slot : -1;
  if (id < 0) return Fail("unknown wire code '" + std::string(code) + "'");
  if (value != '0' && value != '1') return true;  // x and z: the level stays
  const uint8_t level = value == '1' ? 1 : 0;
  const bool initial = !timeSeen_ || initialDump_;
  EventRecord* events = data_.Store.MutableData();
  for (uint8_t ch : codeChannels_[id]) {
    if (initial) {
      level_[ch - 1] = start_[ch - 1] = level;
      continue;
    }
    if (level_[ch - 1] == level) continue;
    if (count >= kEventCapacity) {
      // The capture ends with the store: its end levels are those of then.
      if (skipped_++ == 0) {
        std::memcpy(storedEnd_, level_, kChannelCount);
        storedEndTime_ = nowDays_;
      }
      level_[ch - 1] = level;
      continue;
    }
    level_[ch - 1] = level;
    eventsBegun_ = true;
    events[count++] = EventRecord{nowDays_, ch, level};
  }
  return true;
}

bool VcdImport::Finish(uint32_t count) {
  (void)count;
  if (!inBody_) return Fail("no $enddefinitions: not a value change dump");
  data_.CaptureStart = PositionSnapshot{};
  data_.CaptureStart.time = date_ + static_cast<double>(firstTime_) * unitDays_;
  std::memcpy(data_.CaptureStart.states, start_, kChannelCount);
  data_.CaptureEnd = PositionSnapshot{};
  data_.CaptureEnd.time = skipped_ > 0 ? storedEndTime_ : (timeSeen_ ? nowDays_ : data_.CaptureStart.time);
  std::memcpy(data_.CaptureEnd.states, skipped_ > 0 ? storedEnd_ : level_, kChannelCount);
  return true;
}

}  // namespace korvalog
