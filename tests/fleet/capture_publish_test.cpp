// capture --rotate --publish: the real korvalog-cli capturing from the real
// simulator on a pseudo-terminal while the test server is away for part of
// the run or all of it. Every part ends in the store exactly once, or is
// named as not yet published and stored whole by a later publish.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "app/cli/cli_context.h"
#include "fleet/pg_connection.h"
#include "pg_test_server.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "support/wait_until.h"
#include "tools/sim_process.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::PgTestServer;

std::vector<std::string> PartsIn(const std::string& folder) {
  std::vector<std::string> parts;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().extension() == ".kv") parts.push_back(e.path().string());
  }
  std::sort(parts.begin(), parts.end());
  return parts;
}

struct Case {
  const char* name;
  bool backDuringRun;  // the server returns once two parts are written
  int status;
  const char* lastLine;
};

TEST(CapturePublish, EveryPartReachesTheStoreOnceOrIsNamed) {
  PgTestServer* server = PgTestServer::Get();
  if (server == nullptr) GTEST_SKIP() << PgTestServer::SkipReason();
  const Case cases[] = {
      {"back during the run", true, 0, "korvalog-cli: every file of the capture is in the fleet store"},
      {"away throughout", false, 5, "korvalog-cli: not yet in the fleet store (kept on disk, for korvalog-cli publish): "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string db = c.backDuringRun ? "capture_back" : "capture_away";
    ASSERT_TRUE(server->Sql("DROP DATABASE IF EXISTS " + db + "; CREATE DATABASE " + db + ";"));
    testing_support::TempDir dir;
    const std::string parts = dir / "parts";
    fs::create_directory(parts);
    korvalog::testing::SimProcess sim({"--rate", "4000", "--seed", "5"});
    ASSERT_TRUE(sim.Running());
    ASSERT_TRUE(server->Stop());
    const std::string errFile = dir / "stderr.txt";
    std::vector<std::string> args{"korvalog-cli", "capture", "--logger", "96", "--device", sim.DevicePath(),
                                  "--rotate", "--out", parts + "/", "--store-events", "1500", "--seconds", "3",
                                  "--publish", server->Conninfo({}, db), "--site", "Quay 'A'; --", "--lift", "Lift 1"};
    // With the server away, --max-files must not remove a part the store has not got.
    if (!c.backDuringRun) args.insert(args.end(), {"--max-files", "2"});
    const pid_t child = fork();
    if (child == 0) {
      dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(KORVALOG_CLI_PATH, argv.data());
      _exit(127);
    }
    if (c.backDuringRun) {
      korvalog::testing::WaitUntil([&] { return PartsIn(parts).size() >= 2; }, 20000ms);
      EXPECT_TRUE(server->Start());
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!c.backDuringRun) {
      EXPECT_TRUE(server->Start());
    }
    std::ifstream in(errFile);
    const std::string err((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << err;
    EXPECT_NE(err.find(": not published: "), std::string::npos) << err;
    const std::vector<std::string> written = PartsIn(parts);
    ASSERT_GE(written.size(), 3u) << err;
    const size_t last = err.rfind("korvalog-cli: ");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(err.substr(last, std::string(c.lastLine).size()), c.lastLine) << err;
    if (!c.backDuringRun) {
      // Every part is named; a later publish stores each of them whole.
      for (const std::string& p : written) EXPECT_NE(err.find(p, last), std::string::npos) << p;
      std::vector<std::string> publish = written;
      publish.insert(publish.end(), {"--db", server->Conninfo({}, db)});
      ManualClock clock;
      CaptureData data(clock);
      CaptureView view;
      LoggerSettings settings;
      std::ostringstream out, perr;
      cli::CliContext ctx{clock, data, view, settings, out, perr};
      EXPECT_EQ(cli::RunPublish(publish, ctx), 0) << perr.str();
    }
    // Nothing lost, nothing twice: the store holds every part once, with
    // each of its events, under the names given.
    uint64_t events = 0;
    for (const std::string& p : written) {
      ManualClock clock;
      auto back = std::make_unique<CaptureData>(clock);
      CaptureView view;
      NullLoadSinks sinks;
      ASSERT_TRUE(LoadCaptureFile(p, *back, view, sinks).ok) << p;
      events += back->Store.Count();
    }
    PgConnection conn;
    PgRows rows;
    ASSERT_TRUE(conn.Open(server->Conninfo({}, db)));
    ASSERT_TRUE(conn.Query("SELECT count(*), sum(c.events), min(s.name), min(l.name) FROM korvalog.captures c "
                           "JOIN korvalog.lifts l USING (lift_id) JOIN korvalog.sites s USING (site_id)",
                           {}, rows))
        << conn.Error();
    EXPECT_EQ(rows.Int(0, 0), static_cast<long long>(written.size()));
    EXPECT_EQ(rows.Int(0, 1), static_cast<long long>(events));
    EXPECT_EQ(rows.Text(0, 2), "Quay 'A'; --");
    EXPECT_EQ(rows.Text(0, 3), "Lift 1");
  }
}

}  // namespace
}  // namespace korvalog
