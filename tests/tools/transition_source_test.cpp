#include "transport/transition_source.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvalog::sim {
namespace {

TEST(EventScript, ReadsLinesInTimeOrder) {
  std::istringstream in(
      "# seconds channel level\n"
      "0.5 3 1\n"
      "\n"
      "0.25,7,1\r\n"
      "  1\t3\t0\n"
      "0.5 4 1\n");
  std::vector<SimTransition> list;
  std::string error;
  ASSERT_TRUE(ParseScript(in, 96, list, error)) << error;
  ScriptSource source(list);
  std::vector<SimTransition> order;
  SimTransition t;
  while (source.Next(t)) order.push_back(t);
  EXPECT_EQ(order, (std::vector<SimTransition>{{250, 7, 1}, {500, 3, 1}, {500, 4, 1}, {1000, 3, 0}}));
}

TEST(EventScript, NamesTheLineOfABadEntry) {
  for (const char* bad : {"1 97 1\n", "1 0 1\n", "1 3 2\n", "-1 3 1\n", "x 3 1\n", "1 3\n",
                          "1 3 1 9\n", "nan 3 1\n"}) {
    std::istringstream in(std::string("0 1 1\n") + bad);
    std::vector<SimTransition> list;
    std::string error;
    EXPECT_FALSE(ParseScript(in, 96, list, error)) << bad;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
  std::istringstream wide("0 128 1\n");
  std::vector<SimTransition> list;
  std::string error;
  EXPECT_TRUE(ParseScript(wide, 128, list, error));
}

TEST(LiftPattern, ReportsOnlyChangesAtTheChosenRate) {
  LiftPattern lift(10.0, 7);
  int levels[18] = {};
  int64_t last = 0;
  SimTransition t;
  for (int i = 0; i < 2000; ++i) {
    ASSERT_TRUE(lift.Next(t));
    ASSERT_GE(t.channel, 1);
    ASSERT_LE(t.channel, 17);
    ASSERT_NE(levels[t.channel], t.level) << "repeated level at event " << i;
    levels[t.channel] = t.level;
    ASSERT_GE(t.atMs, last);
    last = t.atMs;
  }
  // 2000 events at 10 per second: about 200 s.
  EXPECT_NEAR(static_cast<double>(last) / 1000.0, 200.0, 10.0);
  // Never both motors at once.
  LiftPattern again(10.0, 7);
  int up = 0, down = 0;
  for (int i = 0; i < 2000; ++i) {
    again.Next(t);
    if (t.channel == LiftPattern::kMotorUp) up = t.level;
    if (t.channel == LiftPattern::kMotorDown) down = t.level;
    ASSERT_FALSE(up && down);
  }
}

}  // namespace
}  // namespace korvalog::sim
