#include "sim/logger_sim.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "sim/pseudo_terminal.h"
#include "sim/send_queue.h"
#include "sim/sim_options.h"
#include "support/wait_until.h"

namespace korvalog::sim {
namespace {

struct Exchange {
  std::vector<uint8_t> answer;
  std::vector<std::string> log;
};

Exchange Send(LoggerSim& logger, const std::string& bytes) {
  Exchange e;
  logger.OnPcBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), e.answer, e.log);
  return e;
}

TEST(LoggerSim, AnswersEveryCommandOnceEvenWhenSplit) {
  LoggerSim logger(96, {});
  EXPECT_EQ(Send(logger, "0").answer, std::vector<uint8_t>{255});
  // The debounce byte may look like a command ('2' = 50): it is not one.
  EXPECT_TRUE(Send(logger, "1").answer.empty());
  Exchange e = Send(logger, "2");
  EXPECT_EQ(e.answer, std::vector<uint8_t>{255});
  EXPECT_EQ(e.log, std::vector<std::string>{"31 32 debounce 500 ms"});
  EXPECT_EQ(logger.DebounceMs(), 500);
  EXPECT_FALSE(logger.Started());
  EXPECT_EQ(Send(logger, "32").answer, (std::vector<uint8_t>{255, 255}));
  EXPECT_TRUE(logger.AcSignals());
  EXPECT_TRUE(logger.Started());
  e = Send(logger, "x");
  EXPECT_TRUE(e.answer.empty());  // not a command
  EXPECT_EQ(logger.Commands(), 4u);
}

TEST(LoggerSim, StopsAnsweringAfterNCommandsOrNever) {
  LoggerSim limited(96, {AnswerMode::FirstN, 1});
  EXPECT_EQ(Send(limited, "0").answer.size(), 1u);
  Exchange e = Send(limited, std::string("1\x05", 2));
  EXPECT_TRUE(e.answer.empty());
  EXPECT_EQ(e.log, std::vector<std::string>{"31 05 debounce 50 ms (not answered)"});
  LoggerSim never(128, {AnswerMode::Never, 0});
  EXPECT_TRUE(Send(never, "0").answer.empty());
}

TEST(LoggerSim, EncodesTransitionsInEachForm) {
  std::vector<uint8_t> out;
  LoggerSim small(96, {});
  EXPECT_TRUE(small.EncodeTransition(1, 1, out));
  EXPECT_TRUE(small.EncodeTransition(96, 0, out));
  EXPECT_FALSE(small.EncodeTransition(97, 1, out));
  EXPECT_EQ(out, (std::vector<uint8_t>{0x80, 0x5F}));
  out.clear();
  LoggerSim large(128, {});
  EXPECT_TRUE(large.EncodeTransition(128, 1, out));
  EXPECT_TRUE(large.EncodeTransition(5, 0, out));
  EXPECT_FALSE(large.EncodeTransition(0, 0, out));
  EXPECT_EQ(out, (std::vector<uint8_t>{254, 127, 253, 4}));
}

// More than the pseudo-terminal holds waits until the program reads it, and
// arrives whole and in order; only what nobody takes beyond the limit is
// dropped, and counted.
TEST(SendQueue, KeepsWhatThePortCannotTakeYet) {
  PseudoTerminal pty;
  std::string error;
  ASSERT_TRUE(pty.Open(error)) << error;
  std::vector<uint8_t> sent(400000);
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<uint8_t>(i * 13 + i / 256);
  SendQueue queue;
  queue.Add(sent);
  ASSERT_TRUE(queue.Flush(pty.MasterFd()));
  EXPECT_GT(queue.Waiting(), 0u);  // the terminal is full
  EXPECT_EQ(queue.Dropped(), 0u);
  const int fd = open(pty.DevicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  std::vector<uint8_t> got;
  EXPECT_TRUE(korvalog::testing::WaitUntil([&] {
    uint8_t b[4096];
    ssize_t n;
    while ((n = read(fd, b, sizeof b)) > 0) got.insert(got.end(), b, b + n);
    queue.Flush(pty.MasterFd());
    return got.size() >= sent.size();
  }));
  close(fd);
  EXPECT_TRUE(got == sent);
  EXPECT_EQ(queue.Sent(), sent.size());
  EXPECT_EQ(queue.NotSent(), 0u);

  queue.Add(std::vector<uint8_t>(SendQueue::kLimit, 1));  // nobody reads now
  queue.Add(std::vector<uint8_t>(100, 2));
  queue.Flush(pty.MasterFd());
  EXPECT_EQ(queue.Dropped(), 100u);
  EXPECT_EQ(queue.NotSent(), 100u + queue.Waiting());
}

TEST(SimOptions, ReadsEveryOptionAndRefusesNonsense) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({"--channels", "128", "--answer", "3", "--script", "s.txt", "--seconds",
                               "2.5", "--link", "/tmp/x", "--log-commands"},
                              o, error))
      << error;
  EXPECT_EQ(o.channels, 128);
  EXPECT_EQ(o.answer.mode, AnswerMode::FirstN);
  EXPECT_EQ(o.answer.limit, 3u);
  EXPECT_EQ(o.scriptPath, "s.txt");
  EXPECT_FALSE(o.liftPattern);
  EXPECT_EQ(o.seconds, 2.5);
  EXPECT_TRUE(o.logCommands);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--channels", "64"}, {"--answer", "-1"}, {"--answer", "sometimes"},
        {"--rate", "0"}, {"--rate", "fast"}, {"--seconds"}, {"--pattern", "escalator"}, {"stray"},
        {"--seed", "1.5"}}) {
    SimOptions ignored;
    EXPECT_FALSE(ParseSimOptions(bad, ignored, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace korvalog::sim
