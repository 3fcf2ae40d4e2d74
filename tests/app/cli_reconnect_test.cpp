// korvalog-cli capture when the logger is unplugged and plugged back under
// the same name (the simulator's link removed and made anew): the capture
// goes on into the same project, standard error says where the gap was, and
// the project keeps it.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/cli/cli_context.h"
#include "app/cli_fixture.h"
#include "base/time_text.h"
#include "project/load_sinks.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "support/wait_until.h"
#include "tools/sim_process.h"

namespace korvalog::cli {
namespace {

using namespace std::chrono_literals;
using korvalog::testing::WaitUntil;
using korvalog::testing::SimProcess;
using testing_support::WriteBytes;

class CliReconnectTest : public CliFixture<SystemClock> {
 protected:
  // Waits (bounded) for the capture to hold `events`.
  bool Captured(uint32_t events) {
    return WaitUntil([&] { return data.Capturing.load() != 0 && data.Store.Count() >= events; }, 30000ms);
  }
};

TEST_F(CliReconnectTest, UnpluggedLoggerIsOpenedAgainAndTheCaptureGoesOn) {
  WriteBytes(dir / "one.txt", "0.2 3 1\n0.3 3 0\n0.4 40 1\n");
  WriteBytes(dir / "two.txt", "0.2 5 1\n0.3 5 0\n");
  const std::string link = dir / "logger";
  auto plug = [&](const char* script) {
    return std::make_unique<SimProcess>(std::vector<std::string>{"--script", dir / script, "--link", link});
  };
  std::unique_ptr<SimProcess> sim = plug("one.txt");
  ASSERT_TRUE(sim->Running());
  bool replugged = false;
  // The cable: pulled once three changes are in, plugged straight back in,
  // and the capture stopped with Ctrl+C once the new logger's two are in.
  std::thread cable([&] {
    if (!Captured(3)) return;
    sim->Stop();
    sim = plug("two.txt");
    replugged = sim->Running();
    if (replugged && Captured(5)) kill(getpid(), SIGINT);
  });
  const std::string file = dir / "live.kv";
  const int status = RunCapture({"--logger", "96", "--device", link, "--seconds", "40", "--out", file}, ctx);
  cable.join();
  ASSERT_TRUE(replugged);
  ASSERT_EQ(status, kExitOk) << err.str();
  const std::string log = err.str();
  EXPECT_NE(log.find("korvalog-cli: Logger link lost at "), std::string::npos) << log;
  EXPECT_NE(log.find("after 3 events, reconnecting"), std::string::npos) << log;
  EXPECT_NE(log.find("korvalog-cli: Logger link back at "), std::string::npos) << log;
  EXPECT_LT(log.find("Logger link lost"), log.find("Logger link back"));

  ManualClock other;
  CaptureData back(other);
  CaptureView backView;
  LoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(file, back, backView, sinks).ok);
  const int want[5][2] = {{3, 1}, {3, 0}, {40, 1}, {5, 1}, {5, 0}};
  ASSERT_EQ(back.Store.Count(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(back.Store[i].channel, want[i][0]) << i;
    EXPECT_EQ(back.Store[i].state, want[i][1]) << i;
  }

  // The gap is in the project, between the last change before it and the
  // first after, and info lists it.
  ASSERT_EQ(back.Gaps.Spans().size(), 1u);
  const GapSpan gap = back.Gaps.Spans()[0];
  EXPECT_GE(gap.start, back.Store[2].time);
  EXPECT_LT(gap.start, gap.end);
  EXPECT_LE(gap.end, back.Store[3].time);
  out.str("");
  ASSERT_EQ(RunInfo({file}, ctx), kExitOk);
  const std::string info = out.str();
  EXPECT_NE(info.find("\nlink gaps\t1\t"), std::string::npos) << info;
  EXPECT_NE(info.find("\n  " + FormatTimeStamp(gap.start) + "\t" + FormatTimeStamp(gap.end) + "\t"),
            std::string::npos)
      << info;
}

}  // namespace
}  // namespace korvalog::cli
