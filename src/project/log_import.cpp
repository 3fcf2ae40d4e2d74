#include "project/log_import.h"

#include <algorithm>
#include <string>

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

constexpr size_t kMaxNoteValue = 9999;

// Characters 4 to the end of the line, at most 9999 of them.
std::string_view ValueOf(std::string_view line) {
  if (line.size() <= 3) return {};
  return line.substr(3, kMaxNoteValue);
}

std::string Entry(std::string_view label, std::string_view value) {
  std::string out;
  out.reserve(label.size() + value.size() + 6);
  out += label;
  out += "\\t\\b";
  out += value;
  out += "\\b";
  return out;
}

// I3 and I5 carry a code in character 4. A code the program does not know,
// or a missing one, is shown as written so that nothing is hidden.
std::string_view CallsActive(std::string_view value) {
  if (value.size() >= 1 && value[0] == '0') return "LOW";
  if (value.size() >= 1 && value[0] == '1') return "HIGH";
  return value;
}

std::string_view OosActive(std::string_view value) {
  static constexpr std::string_view kTexts[] = {"Both LOW", "Primary HIGH", "Secondary HIGH", "Both HIGH"};
  if (value.size() >= 1 && value[0] >= '0' && value[0] <= '3') return kTexts[value[0] - '0'];
  return value;
}

int TenthsDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

std::string NotesEntry(std::string_view line) {
  if (line.size() < 3) return {};
  const std::string_view value = ValueOf(line);
  const char group = line[1];
  const char item = line[2];
  if (group == 'N') return Entry("Note", value);
  if (group == 'B') {
    static constexpr std::string_view kLabels[] = {"Name", "Rise", "Num Floors", "Floor Names", "Num Lifts",
                                                   "Lift Names"};
    if (item >= '1' && item <= '6') return Entry(kLabels[item - '1'], value);
    return {};
  }
  if (group == 'I') {
    switch (item) {
      case '1': return Entry("Up Calls", value);
      case '2': return Entry("Down Calls", value);
      case '3': return Entry("Calls Active", CallsActive(value));
      case '4': return Entry("Primary OOS", value);
      case '5': return Entry("OOS Active", OosActive(value));
      case '7': return Entry("Secondary OOS", value);
      default: return {};
    }
  }
  return {};
}

LogImport::LogImport(CaptureData& data, TraceList& traces, LoadSinks& sinks, SkippedEvents& skipped)
    : data_(data), sinks_(sinks), filler_(data.Store, skipped) {
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    traces.SetName(ch, "Chan " + IntToText(ch));
    traces.SetSearch(ch, kSearchIgnore);
  }
}

void LogImport::ReadDescription(std::string_view line) {
  const std::string entry = NotesEntry(line);
  if (entry.empty()) return;
  notes_ += entry;
  notes_ += "\\n";
}

bool LogImport::ReadDate(std::string_view line) {
  // "Dddmmyy"; a shorter line carries no date and is passed over.
  if (line.size() < 7) return true;
  const int day = ParseTwoDigits(line, 2);
  const int month = ParseTwoDigits(line, 4);
  const int year = 2000 + ParseTwoDigits(line, 6);
  if (!IsValidDate(year, month, day)) {
    error_ = "Invalid argument to date encode";
    return false;
  }
  const double date = static_cast<double>(DaysFromCivil(year, month, day));
  if (hourRead_ && date < date_) {
    StopAt("the date goes back");
    return true;
  }
  date_ = date;
  dateSinceHour_ = true;
  return true;
}

void LogImport::StopAt(const std::string& what) {
  stopped_ = true;
  sinks_.Warning("line " + std::to_string(line_) + ": " + what + ": the log is read up to that line");
}

// The logger writes an hour line as each hour begins and a date line only
// now and then, so a log may cross midnight with no date line: an hour more
// than twelve before the last, with no date line between, is the next day.
// Any other hour going back (a clock set back) leaves no sound place for the
// later events: the log is read up to that line. Changes within an hour are
// kept as written, a moment out of order as they may be.
void LogImport::ReadHour(std::string_view line) {
  if (line.size() < 3) return;
  const int hour = ParseTwoDigits(line, 2);
  if (hourRead_ && date_ == hourDate_ && hour < hour_) {
    const auto text = [](int h) { return (h < 10 ? "0" : "") + std::to_string(h); };
    const std::string step = "the hour goes back from " + text(hour_) + " to " + text(hour);
    if (dateSinceHour_) {
      StopAt(step + " after a date line");
      return;
    }
    if (hour_ - hour <= 12) {
      StopAt(step);
      return;
    }
    date_ += 1.0;
    sinks_.Warning("line " + std::to_string(line_) + ": " + step +
                   " with no date line: the events from there on are taken as the next day");
  }
  hour_ = hour;
  hourDate_ = date_;
  hourRead_ = true;
  dateSinceHour_ = false;
}

bool LogImport::ReadEvent(std::string_view line, uint32_t& count) {
  // "Hccmmsst"; a shorter line carries no complete transition and is passed over.
  if (line.size() < 8) return true;
  const int channel = (10 * (line[1] - '0') + (line[2] - '0') + 1) & 0xFF;
  const int minute = ParseTwoDigits(line, 4);
  const int second = ParseTwoDigits(line, 6);
  const int ms = 100 * TenthsDigit(line[7]);
  if (!IsValidTime(hour_, minute, second, ms)) {
    error_ = "Invalid argument to time encode";
    return false;
  }
  const double time = date_ + (((hour_ * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / kMsPerDay;
  const EventRecord rec{time, static_cast<uint8_t>(channel), static_cast<uint8_t>(line[0] == 'H' ? 1 : 0)};
  // A log names its channel in two digits: a wrong one is told on its own
  // line, even beyond a full store, and not counted with the skipped events.
  if (filler_.Check(rec, count) == EventFault::Channel) {
    if (channel > kChannelCount) {
      sinks_.Warning("High Channel Number: " + IntToText(channel));
    } else {  // the digits wrapped round to no channel at all
      sinks_.Warning("Invalid Channel Number: 0");
    }
    return true;
  }
  filler_.Add(rec, count);
  return true;
}

bool LogImport::ReadLine(std::string_view line, uint32_t& count) {
  ++line_;
  if (line.empty()) return true;
  // Past a clock that went back only the description is still read.
  if (stopped_ && line[0] != 'C') return true;
  switch (line[0]) {
    case 'C':
      ReadDescription(line);
      return true;
    case 'D':
      return ReadDate(line);
    case 'R':
    case 'T':
      ReadHour(line);
      return true;
    case 'H':
    case 'L':
      return ReadEvent(line, count);
    default:
      return true;
  }
}

}  // namespace korvalog
