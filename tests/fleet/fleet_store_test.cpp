// The fleet store against a real PostgreSQL server: publish and fetch back,
// idempotence, a server gone mid-publish, the roles, names that would break
// spliced SQL, a newer schema, and the fleet figures against the reports.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "analysis/lift_report.h"
#include "analysis/report_summary.h"
#include "app/cli/cli_context.h"
#include "fleet/fleet_report.h"
#include "fleet/pg_connection.h"
#include "fleet_captures.h"
#include "pg_test_server.h"
#include "project/temp_dir.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using testing_support::PgTestServer;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class FleetStore : public ::testing::Test {
 protected:
  void SetUp() override {
    server = PgTestServer::Get();
    if (server == nullptr) GTEST_SKIP() << PgTestServer::SkipReason();
    // A database of its own per test: the schema tests change it.
    db = "t_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    for (char& c : db) c = std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
    ASSERT_TRUE(server->Sql("DROP DATABASE IF EXISTS " + db + "; CREATE DATABASE " + db + ";"));
  }

  // Runs a korvalog-cli command in-process; its status, output in out/err.
  int Cli(cli::CommandFunction run, std::vector<std::string> args, const std::string& user = {}) {
    args.push_back("--db");
    args.push_back(server->Conninfo(user, db));
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    SetStartupDefaults(data, view);
    LoggerSettings settings;
    out.str({});
    err.str({});
    cli::CliContext ctx{clock, data, view, settings, out, err};
    return run(args, ctx);
  }

  std::string Capture(const std::string& name, const std::string& site, const std::string& lift, int minutes = 60,
                      uint32_t seed = 1) {
    sim::LiftTrafficParameters p;
    p.seed = seed;
    p.reopenEvery = 4;
    const std::string path = dir / name;
    EXPECT_TRUE(testing_support::MakeLiftCapture(path, p, testing_support::kFleetStart, minutes * 60000LL, site, lift));
    return path;
  }

  std::string Scalar(const std::string& sql) {
    PgConnection conn;
    PgRows rows;
    if (!conn.Open(server->Conninfo({}, db)) || !conn.Query(sql, {}, rows) || rows.Count() == 0) {
      return "? " + conn.Error();
    }
    return rows.Text(0, 0);
  }

  PgTestServer* server = nullptr;
  std::string db;
  testing_support::TempDir dir;
  std::ostringstream out, err;
};

TEST_F(FleetStore, PublishedCapturesComeBackByteForByteAndPublishOnce) {
  const std::string a = Capture("a.kv", "Harbour House", "Lift 1");
  const std::string b = Capture("b.kv", "Harbour House", "Lift 2", 30, 7);
  ASSERT_EQ(Cli(cli::RunFleetInit, {}), 0) << err.str();
  ASSERT_EQ(Cli(cli::RunPublish, {a, b}), 0) << err.str();
  EXPECT_NE(out.str().find("a.kv\tpublished\tsite Harbour House\tlift Lift 1"), std::string::npos) << out.str();
  // Again: recognised, nothing changes.
  const std::string rowsBefore = Scalar("SELECT count(*) FROM korvalog.event_blocks");
  ASSERT_EQ(Cli(cli::RunPublish, {b, a}), 0) << err.str();
  EXPECT_NE(out.str().find("a.kv\talready in the store"), std::string::npos) << out.str();
  EXPECT_EQ(Scalar("SELECT count(*) FROM korvalog.captures"), "2");
  EXPECT_EQ(Scalar("SELECT count(*) FROM korvalog.event_blocks"), rowsBefore);

  struct Case {
    std::string lift, from, to;
    bool whole;
  };
  const Case cases[] = {
      {"Lift 1", "2026-03-10", "2026-03-11", true},
      {"Lift 2", "2026-03-10 05:00", "2026-03-10T07:00:00", true},
      {"Lift 1", "2026-03-10 06:10", "2026-03-10 06:20", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lift + " " + c.from);
    const std::string back = dir / "back.kv";
    ASSERT_EQ(Cli(cli::RunFetch, {"--lift", c.lift, "--from", c.from, "--to", c.to, "--out", back}), 0) << err.str();
    const std::string original = ReadFile(c.lift == "Lift 1" ? a : b);
    if (c.whole) {
      EXPECT_EQ(ReadFile(back), original);
    } else {
      ManualClock clock;
      CaptureData data(clock);
      CaptureView view;
      LoadSinks sinks;
      ASSERT_TRUE(LoadCaptureFile(back, data, view, sinks).ok);
      ASSERT_GT(data.Store.Count(), 0u);
      EXPECT_GE(data.Store[0].time, testing_support::kFleetStart + 10.0 / 1440 - 1e-9);
      EXPECT_LE(data.Store[data.Store.Count() - 1].time, testing_support::kFleetStart + 20.0 / 1440 + 1e-9);
      EXPECT_EQ(view.Site.lift, "Lift 1");
    }
  }
}

TEST_F(FleetStore, BadRequestsAreRefusedClearly) {
  const std::string plain = Capture("plain.kv", "", "");
  const std::string named = Capture("named.kv", "Site", "Lift");
  struct Case {
    cli::CommandFunction run;
    std::vector<std::string> args;
    std::string said;
  };
  const Case cases[] = {
      {cli::RunPublish, {plain}, "names no site: give --site and --lift"},
      {cli::RunPublish, {plain, "--site", "S"}, "names no lift: give --site and --lift"},
      {cli::RunFetch, {"--lift", "Nowhere", "--from", "2026-03-10", "--to", "2026-03-11", "--out", dir / "x.kv"},
       "no fleet schema yet"},
      {cli::RunFetch, {"--lift", "Lift", "--from", "yesterday", "--to", "2026-03-11", "--out", dir / "x.kv"},
       "cannot read --from 'yesterday'"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(Cli(c.run, c.args), 0);
    EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
  }
  // A schema newer than this program: refused, naming its version.
  ASSERT_EQ(Cli(cli::RunPublish, {named}), 0) << err.str();
  ASSERT_TRUE(server->Sql("\\c " + db + "\nINSERT INTO korvalog.schema_version (version) VALUES (7);"));
  EXPECT_EQ(Cli(cli::RunPublish, {plain, "--site", "S", "--lift", "L"}), 2);
  EXPECT_NE(err.str().find("the store's schema is version 7; this korvalog-cli knows up to version 1"),
            std::string::npos)
      << err.str();
  // An unreachable server and a password in the conninfo: never shown.
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  LoggerSettings settings;
  cli::CliContext ctx{clock, data, view, settings, out, err};
  EXPECT_EQ(cli::RunPublish({named, "--db", "host=/nonexistent-folder user=x password=Secret42"}, ctx), 2);
  EXPECT_NE(err.str().find("cannot reach the store"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find("Secret42"), std::string::npos) << err.str();
  // A wrong password is refused and not shown; the right one from a
  // password file (libpq's PGPASSFILE) is taken.
  ASSERT_TRUE(server->Sql("DROP ROLE IF EXISTS pw_user; CREATE ROLE pw_user LOGIN SUPERUSER PASSWORD 'Right-77';"));
  EXPECT_EQ(cli::RunPublish({named, "--db", server->Conninfo("pw_user", db) + " password=Wrong-66"}, ctx), 2);
  EXPECT_NE(err.str().find("password authentication failed"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find("Wrong-66"), std::string::npos) << err.str();
  {
    std::ofstream pgpass(dir / "pgpass");
    pgpass << "*:*:*:pw_user:Right-77\n";
  }
  std::filesystem::permissions(dir / "pgpass", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  setenv("PGPASSFILE", (dir / "pgpass").c_str(), 1);
  EXPECT_EQ(Cli(cli::RunPublish, {named}, "pw_user"), 2);  // the newer schema, but logged in
  EXPECT_NE(err.str().find("version 7"), std::string::npos) << err.str();
  unsetenv("PGPASSFILE");
}

TEST_F(FleetStore, NamesAreStoredAsGiven) {
  const std::string names[] = {"O'Brien's \"Tower\"", "a'; DROP TABLE korvalog.sites; --", "Größe Straße 5 – Ä",
                               "tab\there\\back", "電梯 3"};
  const std::string path = Capture("n.kv", "", "");
  for (const std::string& name : names) {
    ASSERT_EQ(Cli(cli::RunPublish, {path, "--site", name, "--lift", name}), 0) << err.str();
    PgConnection conn;
    PgRows rows;
    ASSERT_TRUE(conn.Open(server->Conninfo({}, db)));
    ASSERT_TRUE(conn.Query("SELECT l.name FROM korvalog.lifts l JOIN korvalog.sites s USING (site_id) "
                           "WHERE s.name = $1",
                           {PgParam::Text(name)}, rows));
    ASSERT_EQ(rows.Count(), 1);
    EXPECT_EQ(rows.Text(0, 0), name);
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM korvalog.sites"), "5");
}

TEST_F(FleetStore, ThePublisherAndTheReaderMayDoTheirsOnly) {
  ASSERT_EQ(Cli(cli::RunFleetInit, {"--roles", "yes"}), 0) << err.str();
  ASSERT_TRUE(server->Sql("DROP ROLE IF EXISTS pub_user; DROP ROLE IF EXISTS read_user; "
                          "CREATE ROLE pub_user LOGIN IN ROLE korvalog_publisher; "
                          "CREATE ROLE read_user LOGIN IN ROLE korvalog_reader;"));
  const std::string path = Capture("r.kv", "Site", "Lift");
  EXPECT_EQ(Cli(cli::RunPublish, {path}, "read_user"), 2);
  EXPECT_NE(err.str().find("permission denied"), std::string::npos) << err.str();
  EXPECT_EQ(Cli(cli::RunPublish, {path}, "pub_user"), 0) << err.str();
  const std::string back = dir / "back.kv";
  EXPECT_EQ(Cli(cli::RunFetch, {"--lift", "Lift", "--from", "2026-03-10", "--to", "2026-03-11", "--out", back},
                "read_user"),
            0)
      << err.str();
  EXPECT_EQ(ReadFile(back), ReadFile(path));
  struct Case {
    std::string user, sql;
  };
  for (const Case& c : {Case{"pub_user", "DELETE FROM korvalog.captures"},
                        Case{"pub_user", "UPDATE korvalog.lifts SET name = 'x'"},
                        Case{"read_user", "INSERT INTO korvalog.sites (name) VALUES ('x')"}}) {
    PgConnection conn;
    ASSERT_TRUE(conn.Open(server->Conninfo(c.user, db)));
    EXPECT_FALSE(conn.Exec(c.sql)) << c.user << ": " << c.sql;
    EXPECT_NE(conn.Error().find("permission denied"), std::string::npos) << conn.Error();
  }
}

TEST_F(FleetStore, AServerGoneMidPublishLeavesNothingAndTheNextPublishIsWhole) {
  const std::string path = Capture("m.kv", "Site", "Lift");
  ASSERT_EQ(Cli(cli::RunFleetInit, {}), 0) << err.str();
  // Another session holds the events table, so the publish waits inside
  // its transaction; the server then goes away.
  PgConnection holder;
  ASSERT_TRUE(holder.Open(server->Conninfo({}, db)));
  ASSERT_TRUE(holder.Exec("BEGIN; LOCK TABLE korvalog.event_blocks IN ACCESS EXCLUSIVE MODE"));
  std::atomic<int> status{-1};
  std::ostringstream publishErr;
  std::thread publisher([&] {
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    LoggerSettings settings;
    std::ostringstream publishOut;
    cli::CliContext ctx{clock, data, view, settings, publishOut, publishErr};
    status = cli::RunPublish({path, "--db", server->Conninfo({}, db)}, ctx);
  });
  PgConnection watcher;
  ASSERT_TRUE(watcher.Open(server->Conninfo({}, db)));
  const bool waiting = korvalog::testing::WaitUntil([&] {
    PgRows rows;
    return watcher.Query("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock'", {}, rows) &&
           rows.Text(0, 0) != "0";
  });
  EXPECT_TRUE(waiting);
  EXPECT_TRUE(server->Stop());
  publisher.join();
  EXPECT_EQ(status.load(), 2);
  EXPECT_NE(publishErr.str().find("not published"), std::string::npos) << publishErr.str();
  ASSERT_TRUE(server->Start());
  EXPECT_EQ(Scalar("SELECT count(*) FROM korvalog.captures"), "0");
  ASSERT_EQ(Cli(cli::RunPublish, {path}), 0) << err.str();
  EXPECT_EQ(Scalar("SELECT count(*) FROM korvalog.captures"), "1");
  const std::string back = dir / "back.kv";
  ASSERT_EQ(Cli(cli::RunFetch, {"--lift", "Lift", "--from", "2026-03-10", "--to", "2026-03-11", "--out", back}), 0);
  EXPECT_EQ(ReadFile(back), ReadFile(path));
}

TEST_F(FleetStore, FleetFiguresEqualTheLiftReports) {
  struct Lift {
    std::string name;
    sim::LiftTrafficParameters p;
  };
  std::vector<Lift> lifts(3);
  lifts[0] = {"Busy", {}};
  lifts[0].p.callIntervalMs = 12000;
  lifts[1] = {"Reopening", {}};
  lifts[1].p.reopenEvery = 3;
  lifts[1].p.chatterChannel = 22;
  lifts[2] = {"Stopped", {}};
  lifts[2].p.outOfServiceFromMs = 600000;
  lifts[2].p.outOfServiceToMs = 1800000;
  std::map<std::string, ReportSummary> reports;
  for (const Lift& l : lifts) {
    const std::string path = dir / (l.name + ".kv");
    ASSERT_TRUE(testing_support::MakeLiftCapture(path, l.p, testing_support::kFleetStart, 3600000, "Site", l.name));
    ASSERT_EQ(Cli(cli::RunPublish, {path}), 0) << err.str();
    ManualClock clock;
    CaptureData data(clock);
    CaptureView view;
    LoadSinks sinks;
    ASSERT_TRUE(LoadCaptureFile(path, data, view, sinks).ok);
    LiftReport report;
    report.Compute(data, view.Sequence, view.Traces.Roles());
    reports[l.name] = SummarizeReport(report, view.Site, ReportTargets());
  }
  PgConnection conn;
  ASSERT_TRUE(conn.Open(server->Conninfo({}, db)));
  FleetReport fleet;
  std::string error;
  ASSERT_TRUE(LoadFleetReport(conn, {}, ReportTargets(), fleet, error)) << error;
  ASSERT_EQ(fleet.lifts.size(), 3u);
  for (const FleetLift& l : fleet.lifts) {
    SCOPED_TRACE(l.lift);
    const ReportSummary& want = reports[l.lift];
    for (const KeyFigureRow& row : want.figures) {
      const int i = static_cast<int>(row.figure);
      EXPECT_EQ(l.now.measured[i], row.measured) << row.title;
      if (row.measured) {
        EXPECT_NEAR(l.now.values[i], row.value, 1e-6) << row.title;
      }
      EXPECT_EQ(l.verdicts[i], row.verdict) << row.title;
    }
  }
  for (size_t i = 1; i < fleet.lifts.size(); ++i) {  // the worst first
    EXPECT_GE(fleet.lifts[i - 1].severity, fleet.lifts[i].severity);
  }
  ASSERT_EQ(Cli(cli::RunFleet, {"--format", "csv", "--out", dir / "fleet.csv"}), 0) << err.str();
  EXPECT_EQ(ReadFile(dir / "fleet.csv"), FleetCsv(fleet));
  ASSERT_EQ(Cli(cli::RunFleet, {"--format", "html", "--out", dir / "fleet.html", "--from", "2026-03-10"}), 0);
  EXPECT_NE(ReadFile(dir / "fleet.html").find("<td class=\"name\">Reopening</td>"), std::string::npos);
  // The PDF comes from the real program, which has korvalog-pictures paint it.
  const std::string pdf = dir / "fleet.pdf";
  const std::string command = std::string(KORVALOG_CLI_PATH) + " fleet --db '" + server->Conninfo({}, db) +
                              "' --format pdf --out " + pdf + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");
}

}  // namespace
}  // namespace korvalog
