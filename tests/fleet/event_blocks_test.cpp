// The store's event blocks and project split: every record back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "fleet/event_blocks.h"
#include "fleet/fleet_fetch.h"
#include "fleet/pg_connection.h"

namespace korvalog {
namespace {

EventRecord Event(double time, int channel, int state) {
  EventRecord e;
  e.time = time;
  e.channel = static_cast<uint8_t>(channel);
  e.state = static_cast<uint8_t>(state);
  return e;
}

TEST(EventBlocks, EveryRecordComesBackBitForBit) {
  std::vector<EventRecord> many;
  for (uint32_t i = 0; i < kEventsPerBlock + 10; ++i) many.push_back(Event(46091.25 + i * 1e-5, 1 + i % 128, i & 1));
  const std::vector<std::vector<EventRecord>> cases = {
      {},
      {Event(46091.25, 1, 1)},
      {Event(46091.25, 128, 0), Event(46091.25, 1, 1), Event(46091.2, 64, 1)},  // same time, clock back
      {Event(-5.5, 3, 1), Event(0.0, 3, 0), Event(1e300, 4, 1), Event(-0.0, 5, 1)},
      many,
  };
  for (const std::vector<EventRecord>& events : cases) {
    std::vector<EventBlock> blocks;
    ASSERT_TRUE(EncodeEventBlocks(events.data(), events.size(), blocks));
    std::vector<EventRecord> back;
    for (const EventBlock& b : blocks) {
      ASSERT_TRUE(DecodeEventBlock(b.data, back));
      EXPECT_LE(b.firstTime, b.lastTime);
    }
    ASSERT_EQ(back.size(), events.size());
    EXPECT_EQ(std::memcmp(back.data(), events.data(), events.size() * sizeof(EventRecord)), 0);
    if (events.size() > 1000) {
      EXPECT_LT(blocks[0].data.size(), 6 * kEventsPerBlock);  // a few bytes an event
    }
  }
  std::vector<EventBlock> blocks;
  const EventRecord bad[] = {Event(1, 0, 1), Event(1, 129, 0), Event(1, 5, 2)};
  for (const EventRecord& e : bad) EXPECT_FALSE(EncodeEventBlocks(&e, 1, blocks));
  std::vector<EventRecord> out;
  EXPECT_FALSE(DecodeEventBlock(std::string("\x02\xff", 2), out));  // cut short
}

TEST(EventBlocks, OnlyProjectsWrittenAsThisProgramWritesSplit) {
  const std::string record = std::string(16, '0') + "0100";  // time 0, channel 1, level 0
  const std::string e = "E" + record + "\r\n";
  struct Case {
    std::string text;
    bool splits;
    size_t events;
  };
  const Case cases[] = {
      {"S01AA\r\n" + e + e + "L1FF\r\n", true, 2},
      {"S01AA\r\nL1FF\r\n", true, 0},
      {"S01AA\r\n" + e + "L1FF\r\n" + e, false, 0},                  // events in two runs
      {"S01AA\r\nE" + record + "\n", false, 0},                     // LF only
      {"S01AA\r\nE" + std::string(15, '0') + "a0100\r\n", false, 0},  // lower case
  };
  for (const Case& c : cases) {
    ProjectParts parts;
    EXPECT_EQ(SplitProjectText(c.text, parts), c.splits) << c.text;
    if (!c.splits) continue;
    EXPECT_EQ(parts.events.size(), c.events);
    EXPECT_EQ(JoinProjectText(parts.head, parts.events, parts.tail), c.text);
  }
}

TEST(FleetText, TimesPasswordsAndCopyValues) {
  double t = 0;
  EXPECT_TRUE(ParseStoreTime("2026-03-10", t));
  EXPECT_DOUBLE_EQ(t, 46091.0);
  EXPECT_TRUE(ParseStoreTime("2026-03-10T06:00:30.5", t));
  EXPECT_NEAR(t, 46091.25 + 30.5 / 86400, 1e-9);
  for (const char* bad : {"", "2026-13-01", "2026-03-10 25:00", "10/03/2026", "2026-03-10 06:00:61"}) {
    EXPECT_FALSE(ParseStoreTime(bad, t)) << bad;
  }
  EXPECT_EQ(ScrubPassword("failed for \"u\" password=abc host=x\n", "xyz"), "failed for \"u\" password=*** host=x");
  EXPECT_EQ(ScrubPassword("postgresql://u:Sekr3t@h/db: refused", "Sekr3t"), "postgresql://u:***@h/db: refused");
  EXPECT_EQ(CopyText("a\tb\\c\nd\re"), "a\\tb\\\\c\\nd\\re");
  EXPECT_EQ(CopyBytes(std::string("\x01\xfe", 2)), "\\\\x01fe");
}

}  // namespace
}  // namespace korvalog
