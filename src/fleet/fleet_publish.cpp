#include "fleet/fleet_publish.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <type_traits>

#include "analysis/lift_report.h"
#include "analysis/report_csv.h"
#include "fleet/event_blocks.h"
#include "fleet/fleet_report.h"
#include "fleet/fleet_schema.h"
#include "fleet/lift_days.h"

namespace korvalog {
namespace {

std::string Number(double v) { return PgNumberText(v); }

std::string Whole(int64_t v) { return std::to_string(v); }

template <typename T>
std::string ArrayText(const std::vector<T>& values) {
  std::string out = "{";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    if constexpr (std::is_floating_point_v<T>) {
      out += Number(values[i]);
    } else {
      out += std::to_string(values[i]);
    }
  }
  return out + "}";
}

// Builds COPY rows: fields joined by tabs, each already in COPY's text format.
class CopyRows {
 public:
  CopyRows& Field(const std::string& copyText) {
    if (!startOfRow_) text_ += '\t';
    text_ += copyText;
    startOfRow_ = false;
    return *this;
  }
  void EndRow() {
    text_ += '\n';
    startOfRow_ = true;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  bool startOfRow_ = true;
};

bool IdOf(PgConnection& conn, const std::string& insert, const std::string& select, const std::vector<PgParam>& params,
          int64_t& id) {
  PgRows rows;
  if (!conn.Run(insert, params) || !conn.Query(select, params, rows)) return false;
  id = rows.Count() > 0 ? rows.Int(0, 0) : 0;
  return id > 0;
}

PublishResult Failed(PgConnection& conn, std::string error = {}) {
  conn.Rollback();
  PublishResult r;
  r.error = error.empty() ? conn.Error() : error;
  return r;
}

}  // namespace

std::string CaptureIdentity(const std::string& projectText) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : projectText) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[64];
  std::snprintf(text, sizeof text, "fnv1a64:%016llx:%zu", static_cast<unsigned long long>(hash), projectText.size());
  return text;
}

std::string StoreText(const std::string& bytes) {
  std::string out;
  bool valid = true;
  for (size_t i = 0; i < bytes.size() && valid;) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > bytes.size()) valid = false;
    for (size_t k = 1; valid && k < n; ++k) valid = (static_cast<unsigned char>(bytes[i + k]) >> 6) == 2;
    i += n == 0 ? 1 : n;
  }
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0) continue;
    if (valid || c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

// The site's and the lift's rows, made when they are new; the lift's id.
bool StoreLift(PgConnection& conn, const SiteDetails& site, int64_t& liftId) {
  int64_t siteId = 0;
  return IdOf(conn, "INSERT INTO korvalog.sites (name) VALUES ($1) ON CONFLICT DO NOTHING",
              "SELECT site_id FROM korvalog.sites WHERE name = $1", {PgParam::Text(StoreText(site.site))}, siteId) &&
         IdOf(conn,
              "INSERT INTO korvalog.lifts (site_id, name, engineer, visit) VALUES ($1, $2, $3, $4) "
              "ON CONFLICT DO NOTHING",
              "SELECT lift_id FROM korvalog.lifts WHERE site_id = $1 AND name = $2 AND $3::text IS NOT NULL "
              "AND $4::text IS NOT NULL",
              {PgParam::Text(Whole(siteId)), PgParam::Text(StoreText(site.lift)),
               PgParam::Text(StoreText(site.engineer)), PgParam::Text(StoreText(site.visit))},
              liftId);
}

// What the store keeps beside the event blocks, as COPY rows.
struct CaptureRows {
  CopyRows channels, gaps, markers, days;
  std::string csv;
  size_t csvRows = 0, dayCount = 0;
};

CaptureRows DescribeCapture(const PublishRequest& request, int64_t liftId, int64_t captureId) {
  CaptureRows out;
  const std::string key = Whole(liftId) + "\t" + Whole(captureId);
  const TraceList& traces = request.view->Traces;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const std::string name = ChannelName(traces.Record(ch));
    const ChannelRoleEntry& role = traces.Role(ch);
    if (name.empty() && role.role == ChannelRole::None) continue;
    out.channels.Field(key).Field(Whole(ch)).Field(CopyText(StoreText(name))).Field(
        CopyText(std::string(RoleKey(role.role))));
    out.channels.Field(role.role == ChannelRole::None ? "\\N" : Whole(role.floor)).EndRow();
  }
  int n = 0;
  for (const GapSpan& g : request.data->Gaps.Spans()) {
    out.gaps.Field(key).Field(Whole(n++)).Field(Number(g.start)).Field(Number(g.end)).EndRow();
  }
  n = 0;
  for (const Marker& m : request.view->Markers.Items()) {
    out.markers.Field(key).Field(Whole(n++)).Field(Number(m.time)).Field(CopyText(StoreText(m.label))).EndRow();
  }
  LiftReport report;
  report.Compute(*request.data, request.view->Sequence, traces.Roles());
  out.csv = ReportCsv(report);
  for (char c : out.csv) out.csvRows += c == '\n' ? 1 : 0;
  const std::vector<LiftDay> summary = SummarizeDays(report);
  for (const LiftDay& d : summary) {
    out.days.Field(Whole(liftId)).Field(DayText(d.day)).Field(Whole(captureId)).Field(Number(d.spanSeconds));
    out.days.Field(Number(d.inServiceSeconds)).Field(Whole(d.trips)).Field(Whole(d.doorCycles)).Field(
        Whole(d.reopens));
    out.days.Field(Number(d.closingSeconds)).Field(Whole(d.closingCount)).Field(ArrayText(d.hallWaits));
    out.days.Field(Whole(d.shutdowns)).Field(ArrayText(d.chattering)).Field(d.measured).EndRow();
  }
  out.dayCount = summary.size();
  return out;
}

bool WriteCaptureRows(PgConnection& conn, const std::vector<EventBlock>& blocks, const CaptureRows& rows,
                      int64_t liftId, int64_t captureId) {
  // The blocks go as binary parameters: no hex text either way.
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (!conn.Run("INSERT INTO korvalog.event_blocks (lift_id, capture_id, block, first_time, last_time, events, "
                  "data) VALUES ($1, $2, $3, $4, $5, $6, $7)",
                  {PgParam::Text(Whole(liftId)), PgParam::Text(Whole(captureId)),
                   PgParam::Text(Whole(static_cast<int64_t>(i))), PgParam::Text(Number(blocks[i].firstTime)),
                   PgParam::Text(Number(blocks[i].lastTime)), PgParam::Text(Whole(blocks[i].events)),
                   PgParam::Bytes(blocks[i].data)})) {
      return false;
    }
  }
  return conn.CopyIn("COPY korvalog.channels (lift_id, capture_id, channel, name, role, floor) FROM STDIN",
                     rows.channels.Text()) &&
         conn.CopyIn("COPY korvalog.link_gaps (lift_id, capture_id, gap, start_time, end_time) FROM STDIN",
                     rows.gaps.Text()) &&
         conn.CopyIn("COPY korvalog.markers (lift_id, capture_id, marker, time, label) FROM STDIN",
                     rows.markers.Text()) &&
         conn.Run("INSERT INTO korvalog.occurrences (lift_id, capture_id, row_count, csv) VALUES ($1, $2, $3, $4)",
                  {PgParam::Text(Whole(liftId)), PgParam::Text(Whole(captureId)),
                   PgParam::Text(Whole(static_cast<int64_t>(rows.csvRows))), PgParam::Text(rows.csv)}) &&
         conn.CopyIn("COPY korvalog.lift_days (lift_id, day, capture_id, span_s, in_service_s, trips, door_cycles, "
                     "reopens, closing_total_s, closing_count, hall_waits, shutdowns, chattering, measured) FROM STDIN",
                     rows.days.Text());
}

}  // namespace

PublishResult PublishCapture(PgConnection& conn, const PublishRequest& request) {
  // The identity's hash reads every byte one after the other: on a core of
  // its own while the events are read and packed.
  std::future<std::string> identityHash =
      std::async(std::launch::async, [&request] { return CaptureIdentity(request.projectText); });
  ProjectParts parts;
  if (!SplitProjectText(request.projectText, parts)) return Failed(conn, "the project's event lines cannot be read");
  std::vector<EventBlock> blocks;
  if (!EncodeEventBlocks(parts.events.data(), parts.events.size(), blocks)) {
    return Failed(conn, "an event has a channel outside 1..128 or a level other than 0 or 1");
  }
  std::string error;
  if (!EnsureFleetSchema(conn, SchemaUse::Write, error)) return Failed(conn, error);
  const std::string identity = identityHash.get();
  int64_t liftId = 0;
  if (!conn.Exec("BEGIN") || !StoreLift(conn, request.site, liftId)) return Failed(conn);
  PublishResult result;
  result.liftId = liftId;
  result.events = static_cast<uint32_t>(parts.events.size());
  PgRows rows;
  if (!conn.Query("SELECT capture_id FROM korvalog.captures WHERE lift_id = $1 AND identity = $2",
                  {PgParam::Text(Whole(liftId)), PgParam::Text(identity)}, rows)) {
    return Failed(conn);
  }
  if (rows.Count() > 0) {
    conn.Rollback();
    result.outcome = PublishOutcome::AlreadyStored;
    result.captureId = rows.Int(0, 0);
    return result;
  }
  double first = 0, last = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    first = i == 0 ? blocks[i].firstTime : std::min(first, blocks[i].firstTime);
    last = i == 0 ? blocks[i].lastTime : std::max(last, blocks[i].lastTime);
  }
  if (blocks.empty()) first = last = request.data->CaptureStart.time;
  if (!conn.Query("INSERT INTO korvalog.captures (lift_id, identity, first_time, last_time, events, file_name, head, "
                  "tail) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) RETURNING capture_id",
                  {PgParam::Text(Whole(liftId)), PgParam::Text(identity), PgParam::Text(Number(first)),
                   PgParam::Text(Number(last)), PgParam::Text(Whole(result.events)),
                   PgParam::Text(StoreText(request.fileName)), PgParam::Bytes(parts.head),
                   PgParam::Bytes(parts.tail)},
                  rows)) {
    // Another publisher stored the same capture meanwhile.
    if (conn.ErrorCode() == "23505") {
      conn.Rollback();
      result.outcome = PublishOutcome::AlreadyStored;
      return result;
    }
    return Failed(conn);
  }
  result.captureId = rows.Int(0, 0);
  const CaptureRows described = DescribeCapture(request, liftId, result.captureId);
  result.days = described.dayCount;
  if (!WriteCaptureRows(conn, blocks, described, liftId, result.captureId) || !conn.Exec("COMMIT")) {
    return Failed(conn);
  }
  result.outcome = PublishOutcome::Published;
  return result;
}

}  // namespace korvalog
