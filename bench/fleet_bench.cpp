// The fleet store against a real PostgreSQL server started for the run (as
// the fleet tests start theirs): publishing the full 1,048,576-event capture
// next to saving it as a project file and a bare read of every event byte,
// the store's bytes per event, fetching one hour of one lift from a store of
// many lifts and days, and the fleet report over that store.
//   KORVALOG_BENCH_FLEET_LIFTS (default 100), KORVALOG_BENCH_FLEET_DAYS (30):
//   the store's size; each lift-day is a one-hour capture of the generated
//   lift with its own timings and faults.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "fleet/fleet_fetch.h"
#include "fleet/fleet_publish.h"
#include "fleet/fleet_report.h"
#include "fleet/fleet_schema.h"
#include "fleet/pg_connection.h"
#include "fleet/pg_test_server.h"
#include "fleet_captures.h"
#include "full_capture.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing_support::PgTestServer;

constexpr char kTables[] =
    "SELECT sum(pg_total_relation_size(c.oid)) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = 'korvalog' AND c.relkind = 'r'";

int EnvNumber(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

bool Connect(PgConnection& conn, const std::string& db) {
  PgTestServer* server = PgTestServer::Get();
  return server != nullptr && server->Sql("CREATE DATABASE " + db) && conn.Open(server->Conninfo({}, db));
}

void BM_FleetBareReadEvents(benchmark::State& state) {
  const CaptureData& data = Capture().data;
  for (auto _ : state) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.Store.Data());
    uint64_t sum = 0;
    for (size_t i = 0; i < kEventCapacity * sizeof(EventRecord); ++i) sum += bytes[i];
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FleetBareReadEvents)->Unit(benchmark::kMillisecond);

void BM_FleetSaveProjectFile(benchmark::State& state) {
  testing_support::TempDir dir;
  FullCapture& c = Capture();
  for (auto _ : state) {
    if (!WriteProjectFile(dir / "full.kv", c.data, c.view, c.data.CaptureStart, c.data.CaptureEnd).ok) {
      state.SkipWithError("the save failed");
    }
  }
}
BENCHMARK(BM_FleetSaveProjectFile)->Unit(benchmark::kMillisecond);

void BM_FleetPublishFullCapture(benchmark::State& state) {
  PgConnection conn;
  if (!Connect(conn, "bench_publish")) return state.SkipWithError("no PostgreSQL server");
  testing_support::TempDir dir;
  FullCapture& c = Capture();
  c.view.Site.site = "Bench";
  c.view.Site.lift = "Full";
  const std::string path = dir / "full.kv";
  PublishRequest request;
  std::string error;
  if (!WriteProjectFile(path, c.data, c.view, c.data.CaptureStart, c.data.CaptureEnd).ok ||
      !ProjectTextForStore(path, c.data, c.view, request.projectText, error)) {
    return state.SkipWithError("the project could not be made");
  }
  request = PublishRequest{"full.kv", request.projectText, &c.data, &c.view, c.view.Site};
  EnsureFleetSchema(conn, SchemaUse::Write, error);
  for (auto _ : state) {
    state.PauseTiming();
    conn.Exec("TRUNCATE korvalog.captures, korvalog.event_blocks, korvalog.channels, korvalog.link_gaps, "
              "korvalog.markers, korvalog.occurrences, korvalog.lift_days");
    state.ResumeTiming();
    if (PublishCapture(conn, request).outcome != PublishOutcome::Published) state.SkipWithError(conn.Error().c_str());
  }
  conn.Exec("VACUUM ANALYZE");
  PgRows rows;
  conn.Query(kTables, {}, rows);
  state.counters["store_bytes_per_event"] = rows.Real(0, 0) / kEventCapacity;
  conn.Query("SELECT sum(pg_total_relation_size('korvalog.event_blocks'))", {}, rows);
  state.counters["event_blocks_bytes_per_event"] = rows.Real(0, 0) / kEventCapacity;
}
BENCHMARK(BM_FleetPublishFullCapture)->Unit(benchmark::kMillisecond)->Iterations(3);

// The fleet store: every lift a one-hour capture a day, published once.
struct FleetStore {
  PgConnection conn;
  bool ok = false;
  int lifts = 0, days = 0;
  uint64_t events = 0;
  double storeBytes = 0, publishSeconds = 0;
  FleetStore() {
    lifts = EnvNumber("KORVALOG_BENCH_FLEET_LIFTS", 100);
    days = EnvNumber("KORVALOG_BENCH_FLEET_DAYS", 30);
    if (!Connect(conn, "bench_fleet")) return;
    testing_support::TempDir dir;
    std::string error;
    const auto started = std::chrono::steady_clock::now();
    for (int l = 0; l < lifts; ++l) {
      sim::LiftTrafficParameters p;
      p.seed = static_cast<uint32_t>(l + 1);
      p.callIntervalMs = 12000 + (l % 7) * 6000;
      p.reopenEvery = l % 5 == 0 ? 3 : 0;
      p.chatterChannel = l % 9 == 0 ? 22 : 0;
      p.slowCloseEvery = l % 4 == 0 ? 5 : 0;
      p.slowCloseMs = 7000;
      for (int d = 0; d < days; ++d) {
        if (l % 6 == 0 && d % 10 == 3) {  // a lift out of service for part of the hour now and then
          p.outOfServiceFromMs = 600000;
          p.outOfServiceToMs = 1500000;
        } else {
          p.outOfServiceFromMs = p.outOfServiceToMs = -1;
        }
        p.seed += 1000;
        const std::string path = dir / "lift.kv";
        const double start = testing_support::kFleetStart + d + (l % 10) / 24.0;
        if (!testing_support::MakeLiftCapture(path, p, start, 3600000, "Site " + std::to_string(l / 10),
                                              "Lift " + std::to_string(l))) {
          return;
        }
        ManualClock clock;
        CaptureData data(clock);
        CaptureView view;
        LoadSinks sinks;
        PublishRequest request;
        if (!LoadCaptureFile(path, data, view, sinks).ok ||
            !ProjectTextForStore(path, data, view, request.projectText, error)) {
          return;
        }
        request = PublishRequest{"lift.kv", request.projectText, &data, &view, view.Site};
        const PublishResult r = PublishCapture(conn, request);
        if (r.outcome != PublishOutcome::Published) return;
        events += r.events;
      }
    }
    publishSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    conn.Exec("VACUUM ANALYZE");
    PgRows rows;
    conn.Query(kTables, {}, rows);
    storeBytes = rows.Real(0, 0);
    ok = true;
  }
};

FleetStore& Fleet() {
  static FleetStore store;
  return store;
}

void Describe(benchmark::State& state, const FleetStore& f) {
  state.counters["lifts"] = f.lifts;
  state.counters["days"] = f.days;
  state.counters["events"] = static_cast<double>(f.events);
  state.counters["store_bytes_per_event"] = f.storeBytes / static_cast<double>(f.events);
  state.counters["fill_seconds"] = f.publishSeconds;
}

void BM_FleetFetchOneHour(benchmark::State& state) {
  FleetStore& f = Fleet();
  if (!f.ok) return state.SkipWithError("the fleet store could not be filled");
  testing_support::TempDir dir;
  std::string error;
  int64_t lift = 0;
  const int middle = f.lifts / 2;
  if (!FindLift(f.conn, "Site " + std::to_string(middle / 10), "Lift " + std::to_string(middle), lift, error)) {
    return state.SkipWithError(error.c_str());
  }
  const double from = testing_support::kFleetStart + f.days / 2 + (middle % 10) / 24.0;
  uint32_t events = 0;
  for (auto _ : state) {
    const FetchResult r = FetchStretch(f.conn, lift, from, from + 1 / 24.0, dir / "hour.kv");
    if (!r.ok) state.SkipWithError(r.error.c_str());
    events = r.events;
  }
  Describe(state, f);
  state.counters["fetched_events"] = events;
}
BENCHMARK(BM_FleetFetchOneHour)->Unit(benchmark::kMillisecond);

void BM_FleetReport(benchmark::State& state) {
  FleetStore& f = Fleet();
  if (!f.ok) return state.SkipWithError("the fleet store could not be filled");
  size_t lifts = 0;
  for (auto _ : state) {
    FleetReport report;
    std::string error;
    if (!LoadFleetReport(f.conn, {}, ReportTargets(), report, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(FleetCsv(report));
    lifts = report.lifts.size();
  }
  Describe(state, f);
  state.counters["report_lifts"] = static_cast<double>(lifts);
}
BENCHMARK(BM_FleetReport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
