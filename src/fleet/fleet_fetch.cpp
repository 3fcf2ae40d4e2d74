#include "fleet/fleet_fetch.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "base/date_time.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "core/file_names.h"
#include "fleet/event_blocks.h"
#include "fleet/fleet_schema.h"
#include "project/project_file.h"
#include "project/replacing_file.h"

namespace korvalog {
namespace {

std::string Number(double v) { return PgNumberText(v); }

bool WriteBytes(const std::string& path, const std::string& bytes, std::string& error) {
  ReplacingFile file(path);
  if (file.Open() && file.Write(bytes.data(), bytes.size()) && file.Commit()) return true;
  error = file.Error();
  return false;
}

// The tail without its two positions, so that a load takes the span from the
// events it is given.
std::string WithoutPositions(const std::string& tail) {
  std::string out;
  for (size_t at = 0; at < tail.size();) {
    size_t end = tail.find('\n', at);
    end = end == std::string::npos ? tail.size() : end + 1;
    if (tail.compare(at, 2, "L1") != 0 && tail.compare(at, 2, "L2") != 0) out.append(tail, at, end - at);
    at = end;
  }
  return out;
}

class QuietSinks final : public LoadSinks {
 public:
  void Warning(std::string_view) override {}
};

}  // namespace

bool FindLift(PgConnection& conn, const std::string& site, const std::string& lift, int64_t& liftId,
              std::string& error) {
  PgRows rows;
  if (!conn.Query("SELECT l.lift_id FROM korvalog.lifts l JOIN korvalog.sites s USING (site_id) "
                  "WHERE l.name = $1 AND ($2::text IS NULL OR s.name = $2)",
                  {PgParam::Text(lift), site.empty() ? PgParam::Null() : PgParam::Text(site)}, rows)) {
    error = conn.Error();
    return false;
  }
  if (rows.Count() == 1) {
    liftId = rows.Int(0, 0);
    return true;
  }
  error = rows.Count() == 0 ? "the store has no lift '" + lift + "'" + (site.empty() ? "" : " at site '" + site + "'")
                            : "lift '" + lift + "' is at more than one site: name it with --site";
  return false;
}

namespace {

// Binary results: the numbers come as network-order bytes.
int64_t BinaryWhole(const PgRows& rows, int row, int col) {
  const std::string b = rows.Bytes(row, col);
  int64_t v = 0;
  for (unsigned char c : b) v = (v << 8) | c;
  return v;
}

double BinaryReal(const PgRows& rows, int row, int col) {
  const auto bits = static_cast<uint64_t>(BinaryWhole(rows, row, col));
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// The events of the listed captures between `from` and `to` (all of them for
// a whole capture); stops once more than a project holds are read.
bool ReadStoredEvents(PgConnection& conn, const std::string& lift, const PgRows& captures, double from, double to,
                      bool wholeCapture, std::vector<EventRecord>& events, std::string& error) {
  for (int c = 0; c < captures.Count() && events.size() <= kEventCapacity; ++c) {
    PgRows blocks;
    if (!conn.Query("SELECT data FROM korvalog.event_blocks WHERE lift_id = $1 AND capture_id = $2 "
                    "AND first_time <= $4 AND last_time >= $3 ORDER BY block",
                    {PgParam::Text(lift), PgParam::Text(std::to_string(BinaryWhole(captures, c, 0))),
                     PgParam::Text(Number(from)), PgParam::Text(Number(to))},
                    blocks, true)) {
      error = conn.Error();
      return false;
    }
    for (int b = 0; b < blocks.Count() && events.size() <= kEventCapacity; ++b) {
      const size_t before = events.size();
      if (!DecodeEventBlock(blocks.Bytes(b, 0), events)) {
        error = "a block of stored events is damaged";
        return false;
      }
      if (wholeCapture) continue;
      size_t kept = before;
      for (size_t i = before; i < events.size(); ++i) {
        if (events[i].time >= from && events[i].time <= to) events[kept++] = events[i];
      }
      events.resize(kept);
    }
  }
  return true;
}

// A stretch: the first capture's channel table, pattern, roles and site
// around the chosen events, loaded and saved as a project of its own.
FileResult WriteStretchProject(const std::string& out, const std::string& head, const std::string& tail,
                               const std::vector<EventRecord>& events) {
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec) /
                                     ("korvalog-fetch-" + std::to_string(std::random_device{}()) + ".kv");
  const std::string tempName = Utf8FromPath(temp);
  FileResult io;
  if (!WriteBytes(tempName, JoinProjectText(head, events, WithoutPositions(tail)), io.error)) {
    io.ok = false;
    return io;
  }
  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;
  QuietSinks sinks;
  io = LoadCaptureFile(tempName, data, view, sinks);
  std::filesystem::remove(temp, ec);
  if (io.ok) io = WriteProjectFile(out, data, view, data.CaptureStart, data.CaptureEnd);
  return io;
}

}  // namespace

FetchResult FetchStretch(PgConnection& conn, int64_t liftId, double from, double to, const std::string& out) {
  FetchResult result;
  std::string error;
  if (!EnsureFleetSchema(conn, SchemaUse::Read, error)) {
    result.error = error.empty() ? conn.Error() : error;
    return result;
  }
  const std::string lift = std::to_string(liftId);
  PgRows captures;
  if (!conn.Query("SELECT capture_id, first_time, last_time, events, head, tail FROM korvalog.captures "
                  "WHERE lift_id = $1 AND first_time <= $3 AND last_time >= $2 ORDER BY first_time, capture_id",
                  {PgParam::Text(lift), PgParam::Text(Number(from)), PgParam::Text(Number(to))}, captures, true)) {
    result.error = conn.Error();
    return result;
  }
  result.captures = captures.Count();
  if (result.captures == 0) {
    result.error = "the store holds no events of that lift in that time";
    return result;
  }
  result.wholeCapture = result.captures == 1 && from <= BinaryReal(captures, 0, 1) && to >= BinaryReal(captures, 0, 2);
  std::vector<EventRecord> events;
  if (!ReadStoredEvents(conn, lift, captures, from, to, result.wholeCapture, events, result.error)) return result;
  if (events.size() > kEventCapacity) {
    result.error = "the stretch holds more than the 1048576 events a project can hold: ask for a shorter one";
    return result;
  }
  result.events = static_cast<uint32_t>(events.size());
  const std::string head = captures.Bytes(0, 4), tail = captures.Bytes(0, 5);
  if (result.wholeCapture) {
    result.ok = WriteBytes(out, JoinProjectText(head, events, tail), result.error);
    return result;
  }
  const FileResult io = WriteStretchProject(out, head, tail, events);
  result.ok = io.ok;
  result.error = io.error;
  return result;
}

bool ParseStoreTime(const std::string& text, double& dateTime) {
  DateTimeFields f;
  char sep = ' ';
  int consumed = 0;
  const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%n%c%2d:%2d%n", &f.year, &f.month, &f.day, &consumed, &sep,
                            &f.hour, &f.minute, &consumed);
  if (n == 3 && static_cast<size_t>(consumed) == text.size()) return TryEncodeDateTime(f, dateTime);
  if (n != 6 || (sep != ' ' && sep != 'T')) return false;
  std::string rest = text.substr(static_cast<size_t>(consumed));
  if (!rest.empty()) {
    double seconds = -1;
    int used = 0;
    if (std::sscanf(rest.c_str(), ":%lf%n", &seconds, &used) != 1 || static_cast<size_t>(used) != rest.size() ||
        !(seconds >= 0 && seconds < 60)) {
      return false;
    }
    f.second = static_cast<int>(seconds);
    f.millisecond = static_cast<int>((seconds - f.second) * 1000.0 + 0.5);
    if (f.millisecond > 999) f.millisecond = 999;
  }
  return TryEncodeDateTime(f, dateTime);
}

}  // namespace korvalog
