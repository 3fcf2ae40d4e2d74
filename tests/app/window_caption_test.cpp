// The main window's caption and the status note after a dump.
#include "app/window_caption.h"

#include <gtest/gtest.h>

namespace korvalog {
namespace {

TEST(WindowCaption, FileNameAfterThePrefixStarWhenModified) {
  struct Case {
    const char* path;
    bool modified;
    const char* caption;
  } cases[] = {
      {"", false, "KORVALOG - untitled"},
      {"", true, "KORVALOG - untitled*"},
      {"/home/eng/lifts/tower-a.kv", false, "KORVALOG - tower-a.kv"},
      {"/home/eng/lifts/tower-a.kv", true, "KORVALOG - tower-a.kv*"},
      {"site.001", false, "KORVALOG - site.001"},
      {"C:\\logs\\site.002", true, "KORVALOG - site.002*"},
      {"relative/run.vcd", false, "KORVALOG - run.vcd"},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowCaption(c.path, c.modified), c.caption) << c.path;
}

TEST(WindowCaption, DumpStatusSaysWhereTheDumpWent) {
  EXPECT_EQ(DumpStatusText("/home/eng/Korvalog.dmp", 1234), "1234 events dumped to /home/eng/Korvalog.dmp");
  EXPECT_EQ(DumpStatusText("/tmp/Korvalog.dmp", 1), "1 event dumped to /tmp/Korvalog.dmp");
  EXPECT_EQ(DumpStatusText("/tmp/Korvalog.dmp", 0), "No events to dump");
}

}  // namespace
}  // namespace korvalog
