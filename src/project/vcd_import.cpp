#include "project/vcd_import.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/byte_text.h"
#include "base/date_time.h"
#include "project/export_text.h"
#include "project/line_reader.h"
#include "project/vcd_header.h"

namespace korvalog {

namespace {

bool IsHeaderKeyword(std::string_view token) {
  static constexpr std::string_view kKeywords[] = {"$date",    "$timescale", "$var",     "$scope",
                                                   "$upscope", "$comment",   "$version", "$enddefinitions",
                                                   "$dumpvars"};
  for (std::string_view k : kKeywords) {
    if (token == k) return true;
  }
  return false;
}

// The last moment a dump's time may reach: later ones cannot be told apart.
double LatestDumpTime() {
  DateTimeFields last;
  last.year = 9999;
  last.month = 12;
  last.day = 31;
  last.hour = 23;
  last.minute = 59;
  last.second = 59;
  last.millisecond = 999;
  double days = 0.0;
  TryEncodeDateTime(last, days);
  return days;
}

}  // namespace

bool IsVcdPath(std::string_view path) {
  const int last = static_cast<int>(path.size()) - 3;  // 1-based start of the last four characters
  return last >= 1 && FindTextFrom(last, ".vcd", path) == last;
}

std::string ReadVcdLines(LineReader& reader, CaptureData& data, TraceList& traces, uint32_t& count, SkippedEvents& skipped,
                         std::vector<std::string>& warnings) {
  VcdImport vcd(data, traces);
  std::string reason;
  std::string_view line;
  bool cut = false;
  uint64_t lineNumber = 0;
  // Tokens are never longer than a line may be, but a comment's line may
  // be: a long line comes in pieces split between tokens.
  reader.HandLongLinesInPieces();
  bool piece = false;
  bool wordGoesOn = false;  // this piece begins inside the word the last one split
  while (reason.empty() && reader.Next(line, cut)) {
    if (!piece) ++lineNumber;
    piece = reader.LastWasPiece();
    const bool split = wordGoesOn;
    wordGoesOn = reader.LastSplitAWord();
    if ((split || wordGoesOn) && !vcd.SkippingText()) {
      // No word of a dump is that long outside a comment.
      reason = "line " + std::to_string(lineNumber) + ": line too long";
      break;
    }
    if (split) {
      // The rest of a word longer than a line may be, inside a comment: it
      // cannot be the comment's $end.
      size_t word = 0;
      while (word < line.size() && !IsVcdSpace(line[word])) ++word;
      line.remove_prefix(word);
    }
    if (cut) {
      reason = "line " + std::to_string(lineNumber) + ": line too long";
    } else if (!vcd.ReadLine(line, count)) {
      reason = "line " + std::to_string(lineNumber) + ": " + vcd.Error();
    }
  }
  // After a read error the load reports that instead.
  if (reason.empty() && !reader.Failed() && !vcd.Finish(count)) reason = vcd.Error();
  skipped = vcd.Skipped();
  warnings = vcd.Warnings();
  return reason;
}

VcdImport::VcdImport(CaptureData& data, TraceList& traces)
    : data_(data), traces_(traces), filler_(data.Store, skipped_, EventChecks{true, LatestDumpTime()}) {
  ChannelTable names{};
  ResetChannelTable(names);
  traces_.SetTable(names);
  for (int& c : singleCodes_) c = -1;
  DateTimeFields fallback;
  fallback.year = 2000;
  fallback.month = 1;
  fallback.day = 1;
  TryEncodeDateTime(fallback, date_);
  unitDays_ = 1e-9 / kSecondsPerDay;  // a dump without $timescale counts nanoseconds
  nowDays_ = date_;
  lastDays_ = LatestDumpTime();
}

bool VcdImport::Fail(std::string text) {
  error_ = std::move(text);
  return false;
}

bool VcdImport::ReadLine(std::string_view line, uint32_t& count) {
  // Most lines of a dump's body are one change ("1!") or one time ("#1234").
  if (inBody_ && !collecting_ && pending_ == Pending::None && line.size() >= 2) {
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
        if (command_ != Command::Comment || !commentFull_) raw_.append(line.substr(rawFrom, i - rawFrom));
        collecting_ = false;
        if (!EndCommand()) return false;
      } else if (command_ == Command::EndDefinitions || (command_ != Command::Other && command_ != Command::Comment &&
                                                         IsHeaderKeyword(token) && commandTokens_ != 2)) {
        // Nothing belongs there (a wire's code, the third word of a $var,
        // may look like anything): the $end is missing.
        return Fail(commandName_ + " without its $end");
      } else {
        ++commandTokens_;
      }
    } else {
      if (!Token(token, count)) return false;
      rawFrom = j;
    }
    i = j;
  }
  if (collecting_ && command_ != Command::Other) {
    // Only the header's date, scale, wires and comments are kept, and none
    // of the first three runs to megabytes unless its $end is missing. A
    // comment may be of any size: only its beginning is kept (the channel
    // names the export writes).
    if (raw_.size() > kMaxCommandText) {
      if (command_ != Command::Comment) return Fail("a command without its $end");
      commentFull_ = true;
      return true;
    }
    raw_.append(line.substr(rawFrom < n ? rawFrom : n));
    raw_ += '\n';
  }
  return true;
}

bool VcdImport::Token(std::string_view token, uint32_t& count) {
  return inBody_ ? BodyToken(token, count) : HeaderToken(token);
}

bool VcdImport::HeaderToken(std::string_view token) {
  if (token[0] != '$') return Fail("unexpected '" + QuotedVcdText(token) + "' before $enddefinitions");
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
  commandName_ = std::string(token.substr(0, 32));
  commandTokens_ = 0;
  commentFull_ = false;
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

bool VcdImport::BodyToken(std::string_view token, uint32_t& count) {
  if (pending_ != Pending::None) {
    const Pending pending = pending_;
    pending_ = Pending::None;
    if (pending == Pending::Real) return Use(token) != nullptr;  // not a level: passed over
    return VectorValue(pendingVector_, token, count);
  }
  switch (token[0]) {
    case '#': {
      uint64_t t = 0;
      if (!ParseVcdTime(token.substr(1), t)) return Fail("'" + QuotedVcdText(token) + "' is not a time");
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
        return Fail("'" + QuotedVcdText(token) + "' is not a binary value");
      }
      pendingVector_ = token.substr(1);
      pending_ = Pending::Vector;
      return true;
    case 'r':
    case 'R':
      pending_ = Pending::Real;
      return true;
    case 's':
    case 'S':
      pending_ = Pending::Real;  // a string value: passed over as well
      return true;
    case '$':
      if (token == "$dumpvars" || token == "$dumpall" || token == "$dumpon" || token == "$dumpoff") {
        inDump_ = true;
        initialDump_ = token == "$dumpvars" && !eventsBegun_;
        if (!timeSeen_) levelsBeforeTime_ = true;
      } else if (token == "$end") {
        inDump_ = false;
        initialDump_ = false;
      } else {
        command_ = Command::Other;  // $comment and the like: skipped to their $end
        commandName_ = std::string(token.substr(0, 32));
        collecting_ = true;
        raw_.clear();
      }
      return true;
    default:
      return Fail("unexpected '" + QuotedVcdText(token) + "'");
  }
}

bool VcdImport::SetTime(uint64_t t, std::string_view token) {
  if (timeSeen_ && t < now_) return Fail("the time goes back to " + QuotedVcdText(token.substr(1)));
  const double days = date_ + static_cast<double>(t) * unitDays_;
  // Later moments cannot be told apart from one another.
  if (!(days <= lastDays_)) return Fail("the time " + QuotedVcdText(token.substr(1)) + " lies beyond the year 9999");
  if (inDump_) {
    // Values and times do not mix inside $dumpvars: its $end is missing,
    // and it is taken to end here rather than make every change a start level.
    dumpWithoutEnd_ = true;
    inDump_ = false;
    initialDump_ = false;
  }
  if (!timeSeen_) firstTime_ = t;
  timeSeen_ = true;
  now_ = t;
  nowDays_ = days;
  return true;
}

bool VcdImport::Finish(uint32_t count) {
  (void)count;
  if (collecting_ && (command_ == Command::EndDefinitions || !inBody_)) return Fail(commandName_ + " without its $end");
  if (!inBody_) return Fail("no $enddefinitions: not a value change dump");
  if (inDump_ || dumpWithoutEnd_) {
    warnings_.push_back("$dumpvars without its $end: taken to end at the next time");
  }
  if (wideUnknownBits_ > 0) {
    warnings_.push_back(std::to_string(wideUnknownBits_) + " x or z bit" + (wideUnknownBits_ == 1 ? "" : "s") +
                        " of wider wires read as 0");
  }
  data_.CaptureStart = PositionSnapshot{};
  // Levels given before any time hold at time 0, the moment of $date; else
  // the capture starts with the first time.
  const uint64_t startTime = levelsBeforeTime_ ? 0 : firstTime_;
  data_.CaptureStart.time = date_ + static_cast<double>(startTime) * unitDays_;
  std::memcpy(data_.CaptureStart.states, start_, kChannelCount);
  data_.CaptureEnd = PositionSnapshot{};
  data_.CaptureEnd.time = skipped_.full > 0 ? storedEndTime_ : (timeSeen_ ? nowDays_ : data_.CaptureStart.time);
  std::memcpy(data_.CaptureEnd.states, skipped_.full > 0 ? storedEnd_ : level_, kChannelCount);
  return true;
}

}  // namespace korvalog
