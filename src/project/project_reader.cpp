// The load operation shared by projects and logger logs: open, empty the
// store, read the lines with the grammar the name chooses, then the common
// end (snapshot indices, times and start states, flags, DataLoaded).
#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_text.h"
#include "project/gap_line.h"
#include "project/hex_record.h"
#include "project/ignored_lines.h"
#include "project/line_reader.h"
#include "project/log_import.h"
#include "project/project_file.h"
#include "core/skipped_events.h"
#include "core/store_filler.h"
#include "project/vcd_import.h"

namespace korvalog {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FileResult Failure(const std::string& path, const std::string& reason) {
  return FileResult{false, path + ": " + reason};
}

// Why a file of this kind cannot be loaded; empty for a regular file. A FIFO
// or socket would block the load or never end, a device never ends.
std::string NotLoadable(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return "is a directory";
  if (S_ISCHR(st.st_mode)) return "is a device, not a file";
#ifdef S_ISBLK
  if (S_ISBLK(st.st_mode)) return "is a device, not a file";
#endif
  return "is not a regular file";
}

// Opens `path` for reading only when it is a regular file (a symbolic link is
// followed), without ever waiting: a FIFO without a writer would block the
// open itself.
FilePtr OpenRegularFile(const std::string& path, std::string& reason) {
#ifdef _WIN32
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !(reason = NotLoadable(st)).empty()) return nullptr;
  FilePtr file(std::fopen(path.c_str(), "rb"));
#else
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = std::string("cannot open: ") + std::strerror(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !(reason = NotLoadable(st)).empty()) {
    if (reason.empty()) reason = std::string("cannot open: ") + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FilePtr file(fdopen(fd, "rb"));
  if (!file) {
    reason = std::string("cannot open: ") + std::strerror(errno);
    close(fd);
  }
#endif
  if (!file && reason.empty()) reason = std::string("cannot open: ") + std::strerror(errno);
  return file;
}

constexpr size_t kProjectSniffBytes = 1024;
constexpr const char* kNotAProject = "not a Korvalog project";

// What a load replaces before it knows whether the file is a project at all.
struct PreviousCapture {
  explicit PreviousCapture(const CaptureData& data)
      : count(data.Store.Count()),
        startTime(data.CaptureStart.time),
        endTime(data.CaptureEnd.time),
        present(data.DataPresent.load(std::memory_order_acquire)),
        gaps(data.Gaps.Spans()) {}
  void Restore(CaptureData& data) const {
    data.Gaps.Assign(gaps);
    data.Store.SetCount(count);
    data.CaptureStart.time = startTime;
    data.CaptureEnd.time = endTime;
    data.DataPresent.store(present, std::memory_order_release);
  }
  uint32_t count;
  double startTime, endTime;
  uint8_t present;
  std::vector<GapSpan> gaps;
};

// True when the line is exactly the tag, then 2 * size digits from `start`
// (0-based).
bool HoldsPayload(std::string_view line, size_t start, size_t size) { return line.size() == start + 2 * size; }

void ReadSnapshot(std::string_view line, PositionSnapshot& snap) {
  PositionSnapshot read;
  DecodeHexBytes(line.data() + 2, sizeof read, reinterpret_cast<uint8_t*>(&read));
  // A span that is not a number cannot be drawn; without it the span is
  // taken from the events.
  if (!std::isfinite(read.time)) return;
  // The chart and the analysis take a level as 0 or 1.
  for (uint8_t& s : read.states) s = s != 0 ? 1 : 0;
  snap = read;
}

// A marker: its time (8 bytes) and its label's bytes, in hex.
bool ReadMarkerLine(std::string_view line, CaptureView& view) {
  constexpr size_t kTime = 2 * sizeof(double);
  if (line.size() < 1 + kTime || (line.size() - 1) % 2 != 0) return false;
  const size_t labelSize = (line.size() - 1 - kTime) / 2;
  if (labelSize > MarkerList::kLabelMax) return false;
  // A time read leniently would put the marker anywhere: it must be hex.
  const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (!std::all_of(line.begin() + 1, line.begin() + 1 + kTime, hex)) return false;
  double time;
  DecodeHexBytes(line.data() + 1, sizeof time, reinterpret_cast<uint8_t*>(&time));
  std::string label(labelSize, '\0');
  DecodeHexBytes(line.data() + 1 + kTime, labelSize, reinterpret_cast<uint8_t*>(label.data()));
  // Not a number, or beyond the list's size: not taken, so counted as ignored.
  return view.Markers.Add(time, std::move(label)).has_value();
}

// A table line: its letter, a number 1..`max` as a hex pair, one whole record.
template <typename Record>
bool ReadNumberedRecord(std::string_view line, int max, int& number, Record& rec) {
  if (!HoldsPayload(line, 3, sizeof(Record))) return false;
  number = DecodeHexPair(line.data() + 1);
  if (number < 1 || number > max) return false;
  DecodeHexBytes(line.data() + 3, sizeof rec, reinterpret_cast<uint8_t*>(&rec));
  return true;
}

// One line of the tables (S, Q, L, O) or a marker (M), dispatched on its first character.
// Lines that do not hold exactly one record are passed over: false.
bool ReadTableLine(std::string_view line, CaptureData& data, CaptureView& view) {
  switch (line[0]) {
    case 'S': {
      int ch = 0;
      ChannelRecord rec;
      if (!ReadNumberedRecord(line, kChannelCount, ch, rec)) return false;
      if (rec.nameLength > kChannelNameMax) rec.nameLength = kChannelNameMax;
      view.Traces.SetRecord(ch, rec);
      return true;
    }
    case 'Q': {
      int row = 0;
      SequenceRow rec;
      if (!ReadNumberedRecord(line, kSequenceRows, row, rec)) return false;
      view.Sequence[row - 1] = rec;
      return true;
    }
    case 'L':
      if (!HoldsPayload(line, 2, sizeof(PositionSnapshot))) return false;
      ReadSnapshot(line, line[1] == '1' ? data.CaptureStart : data.CaptureEnd);
      return true;
    case 'O': {
      if (!HoldsPayload(line, 1, sizeof(DisplayOrder))) return false;
      DisplayOrder order;
      DecodeHexBytes(line.data() + 1, order.size(), order.data());
      if (!view.Traces.SetOrder(order)) view.Traces.ResetOrder();
      return true;
    }
    case 'M':
      return ReadMarkerLine(line, view);
    case 'R':
      return ReadRoleLine(line, view.Traces.Roles());
    case 'P':
      return ReadSiteLine(line, view.Site);
    case 'G':
      return ReadGapLine(line, data.Gaps);
    default:
      return false;
  }
}

// The bulk of a project: one event, stored when it names a channel, a level
// and a time the rest of the program can index and draw by.
inline void ReadEventLine(const char* line, StoreFiller& filler, uint32_t& count) {
  uint8_t bytes[sizeof(EventRecord)];
  DecodeHexRecord(line + 1, bytes);
  EventRecord rec;
  std::memcpy(&rec, bytes, sizeof rec);
  filler.Add(rec, count);
}

// Reads every line of a project; returns the number of events stored.
// `taken` counts the lines read as records (events skipped for their
// contents are not), `ignored` the lines that are no record at all.
uint32_t ReadProjectLines(LineReader& reader, CaptureData& data, CaptureView& view, SkippedEvents& skipped,
                          IgnoredLines& ignored, uint64_t& taken) {
  constexpr size_t kEventLine = 1 + 2 * sizeof(EventRecord);
  StoreFiller filler(data.Store, skipped);
  uint32_t count = 0;
  std::string_view line;
  bool cut = false;
  bool lastIgnored = false;
  for (;;) {
    if (const char* fixed = reader.NextFixedCrLf(kEventLine)) {
      if (fixed[0] == 'E') {
        ReadEventLine(fixed, filler, count);
      } else if (!ReadTableLine(std::string_view(fixed, kEventLine), data, view)) {
        ++ignored.lines;
        continue;
      }
      ++taken;
      continue;
    }
    if (!reader.Next(line, cut)) break;
    if (line.empty()) continue;
    const uint64_t ignoredBefore = ignored.lines;
    if (cut) {
      ++ignored.lines;
    } else if (line[0] != 'E') {
      if (ReadTableLine(line, data, view)) {
        ++taken;
      } else {
        ++ignored.lines;
      }
    } else if (HoldsPayload(line, 1, sizeof(EventRecord))) {
      ReadEventLine(line.data(), filler, count);
      ++taken;
    } else {
      ++ignored.lines;
    }
    lastIgnored = ignored.lines != ignoredBefore;
  }
  // A last line without its line end that still holds a whole record (a
  // file made by hand) lost nothing; one that holds none was cut.
  ignored.endedMidLine = reader.EndedMidLine() && lastIgnored;
  // Events passed over for their contents are told apart, not as lines.
  taken -= std::min<uint64_t>(taken, skipped.Total());
  return count;
}

// When the file gave no span of its own (a log, or a project without L
// lines), the span runs from the first to the last event; each channel starts
// opposite to its earliest transition and ends at its last one.
void RebuildSpan(CaptureData& data, uint32_t count) {
  const EventRecord* events = data.Store.Data();
  data.CaptureStart.time = events[0].time;
  data.CaptureEnd.time = events[count - 1].time;
  uint8_t* start = data.CaptureStart.states;
  std::memset(start, 0, kChannelCount);
  for (uint32_t i = count; i-- > 0;) start[events[i].channel - 1] = events[i].state != 0 ? 0 : 1;
  uint8_t* end = data.CaptureEnd.states;
  std::memcpy(end, start, kChannelCount);
  for (uint32_t i = 0; i < count; ++i) end[events[i].channel - 1] = events[i].state;
}

// `spanRead`: the file's reader set the span and its levels itself (a dump
// whose changes all fall at one time still has levels for the quiet wires).
void FinishLoad(CaptureData& data, uint32_t count, LoadSinks& sinks, bool spanRead = false) {
  data.Store.SetCount(count);
  // The indices in the file are not used: the events loaded are the capture.
  data.CaptureStart.index = 0;
  data.CaptureEnd.index = count;
  if (count > 0) {
    if (!spanRead && data.CaptureStart.time == data.CaptureEnd.time) RebuildSpan(data, count);
    data.DataPresent.store(1, std::memory_order_release);
  }
  data.DataModified.store(0, std::memory_order_release);
  sinks.DataLoaded(count > 0);
}

}  // namespace

bool IsProjectPath(std::string_view path) { return FindTextFrom(1, ".kv", path) != 0; }

bool ReopensAsProject(std::string_view path) { return IsProjectPath(path) && !IsVcdPath(path); }

namespace {

// From here on the current capture is replaced.
void ForgetCapture(CaptureData& data, CaptureView& view) {
  data.Store.Clear();
  data.CaptureStart.time = 0.0;
  data.CaptureEnd.time = 0.0;
  data.DataPresent.store(0, std::memory_order_release);
  view.Markers.Clear();
  view.Traces.Roles().Clear();
  view.Site = SiteDetails{};
  data.Gaps.Clear();
}

// A load stopped part-way: the events read so far stay, not shown.
FileResult StoppedLoad(const std::string& path, CaptureData& data, uint32_t count, LoadSinks& sinks,
                       const std::string& reason) {
  data.Store.SetCount(count);
  sinks.Error(reason);
  sinks.DataLoaded(false);
  return Failure(path, reason);
}

// A dump that cannot be taken stops the load at the line that says so.
FileResult LoadVcd(const std::string& path, LineReader& reader, CaptureData& data, CaptureView& view,
                   LoadSinks& sinks) {
  uint32_t count = 0;
  SkippedEvents skipped;
  std::vector<std::string> warnings;
  std::string reason = ReadVcdLines(reader, data, view.Traces, count, skipped, warnings);
  for (const std::string& warning : warnings) sinks.Warning(warning);
  if (skipped.Total() > 0) sinks.Warning(skipped.Warning());
  if (reason.empty() && reader.Failed()) reason = std::string("read error: ") + std::strerror(reader.ErrorNumber());
  if (!reason.empty()) return StoppedLoad(path, data, count, sinks, reason);
  FinishLoad(data, count, sinks, true);
  return {};
}

// A logger log, line by line; false when it stopped part-way (`failure`
// says why). `notes`: its description lines.
bool ReadLog(const std::string& path, LineReader& reader, CaptureData& data, CaptureView& view, LoadSinks& sinks,
             SkippedEvents& skipped, uint32_t& count, std::string& notes, FileResult& failure) {
  sinks.LogImportStarted();
  LogImport log(data, view.Traces, sinks, skipped);
  std::string_view line;
  bool cut = false;
  uint64_t lineNumber = 0;
  while (reader.Next(line, cut)) {
    ++lineNumber;
    if (log.ReadLine(line, count)) continue;
    data.Store.SetCount(count);
    if (skipped.Total() > 0) sinks.Warning(skipped.Warning());
    StoppedLoad(path, data, count, sinks, log.Error());
    failure = Failure(path, "line " + std::to_string(lineNumber) + ": " + log.Error());
    return false;
  }
  notes = log.Notes();
  view.Site = SiteFromLogNotes(notes);
  return true;
}

}  // namespace

FileResult LoadCaptureFile(const std::string& path, CaptureData& data, CaptureView& view, LoadSinks& sinks) {
  if (data.Capturing.load(std::memory_order_acquire) != 0) return Failure(path, "cannot load while capturing");
  std::string reason;
  FilePtr file = OpenRegularFile(path, reason);
  if (!file) return Failure(path, reason);
  LineReader reader(file.get());
  if (!reader.Prime()) return Failure(path, std::string("cannot read: ") + std::strerror(reader.ErrorNumber()));
  const bool isProject = IsProjectPath(path) && !IsVcdPath(path);
  // A project is text: NUL bytes at its start mean some other kind of file.
  if (isProject && reader.NulWithin(kProjectSniffBytes)) return Failure(path, kNotAProject);

  const PreviousCapture previous(data);
  ForgetCapture(data, view);
  if (IsVcdPath(path)) return LoadVcd(path, reader, data, view, sinks);

  uint32_t count = 0;
  const bool isLog = !IsProjectPath(path);
  std::string notes;
  SkippedEvents skipped;
  if (isLog) {
    FileResult failure;
    if (!ReadLog(path, reader, data, view, sinks, skipped, count, notes, failure)) return failure;
  } else {
    IgnoredLines ignored;
    uint64_t taken = 0;
    count = ReadProjectLines(reader, data, view, skipped, ignored, taken);
    // Nothing was read as a record, so nothing but the store was touched:
    // the capture shown before stays.
    if (taken == 0 && !reader.Failed()) {
      previous.Restore(data);
      return Failure(path, kNotAProject);
    }
    if (ignored.Any()) sinks.Warning(ignored.Warning());
  }
  if (skipped.Total() > 0) sinks.Warning(skipped.Warning());
  if (reader.Failed()) {
    // Too late to keep the old capture: keep what was read, not shown.
    data.Store.SetCount(count);
    sinks.DataLoaded(false);
    return Failure(path, std::string("read error: ") + std::strerror(reader.ErrorNumber()));
  }
  FinishLoad(data, count, sinks);
  if (isLog) sinks.LogNotes(notes);
  return {};
}

}  // namespace korvalog
