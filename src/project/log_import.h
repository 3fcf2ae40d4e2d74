#pragma once
// The line grammar of the log files a 96-channel logger records by itself:
// C description lines, D dates, R/T hours, and H/L input transitions.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/capture_data.h"
#include "core/skipped_events.h"
#include "core/store_filler.h"
#include "core/trace_list.h"
#include "project/load_sinks.h"

namespace korvalog {

class LogImport {
 public:
  // Resets the channel names in `traces` to "Chan 1".."Chan 128" (not
  // searched) and starts on day 0, hour 0. Events beyond the store are
  // counted in `skipped`; a wrong channel is warned about on its own line.
  LogImport(CaptureData& data, TraceList& traces, LoadSinks& sinks, SkippedEvents& skipped);

  // Reads one line; events go into the store from `count` on. False when the
  // line stops the load, with the reason in Error(). An hour or date line
  // that goes back is warned about with its line: an hour past midnight with
  // no date line is the next day; otherwise the log is read up to that line.
  bool ReadLine(std::string_view line, uint32_t& count);

  const std::string& Notes() const { return notes_; }
  const std::string& Error() const { return error_; }

 private:
  void ReadDescription(std::string_view line);
  bool ReadDate(std::string_view line);
  bool ReadEvent(std::string_view line, uint32_t& count);
  void ReadHour(std::string_view line);
  void StopAt(const std::string& what);

  CaptureData& data_;
  LoadSinks& sinks_;
  StoreFiller filler_;
  double date_ = 0.0;  // CurrentLogDate
  int hour_ = 0;       // CurrentLogHour
  std::string notes_;  // NotesText
  uint64_t line_ = 0;          // the line being read, from 1
  bool hourRead_ = false;      // an hour line was read, on this date
  double hourDate_ = 0.0;
  bool dateSinceHour_ = false; // a date line came after it
  bool stopped_ = false;
  std::string error_;
};

// The "Inputs & Notes" entry of one C line in mark-up, or empty when the line
// describes nothing shown.
std::string NotesEntry(std::string_view line);

}  // namespace korvalog
