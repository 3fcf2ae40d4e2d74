// Channel roles: the ROLES text (read, refused lines, written back), roles
// proposed from names, and the project line an older reader passes over.
#include "core/channel_roles.h"

#include <gtest/gtest.h>

#include <string>

#include "app/demo_logger.h"
#include "common/capture_builder.h"
#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

TEST(ChannelRoles, RolesTextReadsEveryRoleAndRefusesBadLinesByNumber) {
  struct C {
    const char* text;
    bool ok;
    const char* error;  // part of the message
  };
  const C cases[] = {
      {"13\tdoor-open-relay\n14\tdoor-close-relay\n", true, ""},
      {"# lift 2\n\n1\thall-up\t0\r\n2\thall-down\t-2  # basement\n7\tcar-call\t12\n", true, ""},
      {"15\tmotor-up\n16\tmotor-down\n17\tlevel\n18\tout-of-service\n19\tdoor-open-limit\n20\tdoor-closed-limit\n"
       "21\tdoor-reopen\n22\tmotor-run\n23\tfire-service\n24\tinspection\n25\talarm\n",
       true, ""},
      {"13 door-open-relay\n", false, "line 1: expected CHANNEL<TAB>ROLE[<TAB>FLOOR]"},
      {"# ok\n0\tlevel\n", false, "line 2: channel '0' is not 1..128"},
      {"129\tlevel\n", false, "line 1: channel '129'"},
      {"x\tlevel\n", false, "channel 'x'"},
      {"5\tdoor-open\n", false, "line 1: unknown role 'door-open'"},
      {"1\thall-up\n", false, "line 1: role 'hall-up' needs a whole-number FLOOR"},
      {"1\tcar-call\t2.5\n", false, "needs a whole-number FLOOR"},
      {"1\tlevel\t3\n", false, "role 'level' takes no floor"},
      {"1\tlevel\t\t\n", true, ""},
      {"1\tlevel\n2\talarm\n3\talarm\t1\t2\n", false, "line 3: expected"},
      // A byte order mark, as Windows editors write it, is not part of line 1.
      {"\xEF\xBB\xBF" "1\tlevel\n", true, ""},
      // Calls repeat once per floor, level zones freely; anything given twice is refused naming both lines.
      {"1\thall-up\t3\n2\thall-up\t4\n3\thall-down\t3\n4\tcar-call\t3\n5\tlevel\n6\tlevel\n", true, ""},
      {"1\tlevel\n1\talarm\n", false, "line 2: channel 1 is given again (first on line 1)"},
      {"4\tdoor-open-relay\n# lift 2\n9\tdoor-open-relay\n", false,
       "line 3: role 'door-open-relay' is given to channel 9 and already to channel 4 on line 1"},
      {"1\thall-up\t3\n2\thall-up\t3\n", false,
       "line 2: role 'hall-up' for floor 3 is given to channel 2 and already to channel 1 on line 1"},
      // Control bytes are shown, never sent to the terminal.
      {"5\tdoor\x1b[2Jopen\x07\n", false, "line 1: unknown role 'door\\x1B[2Jopen\\x07'"},
      {"\x1b\tlevel\n", false, "line 1: channel '\\x1B' is not 1..128"},
      {"1\tcar-call\t\x07\n", false, "line 1: role 'car-call' needs a whole-number FLOOR"},
  };
  for (const C& c : cases) {
    SCOPED_TRACE(c.text);
    ChannelRoles roles;
    roles.Set(100, ChannelRole::Alarm);
    std::string error;
    EXPECT_EQ(ParseRolesText(c.text, roles, error), c.ok);
    if (c.ok) {
      EXPECT_EQ(roles[100].role, ChannelRole::None);  // replaced as a whole
      ChannelRoles again;
      ASSERT_TRUE(ParseRolesText(FormatRolesText(roles), again, error));
      EXPECT_EQ(again, roles);
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      EXPECT_EQ(error.find_first_of("\x07\x1b\xEF"), std::string::npos) << error;
      EXPECT_EQ(roles[100].role, ChannelRole::Alarm);  // untouched
    }
  }
  ChannelRoles roles;
  std::string error;
  ASSERT_TRUE(ParseRolesText("2\thall-down\t-2\n1\thall-up\t0\n", roles, error));
  EXPECT_EQ(roles[2], (ChannelRoleEntry{ChannelRole::HallDown, -2}));
  EXPECT_EQ(FormatRolesText(roles), "1\thall-up\t0\n2\thall-down\t-2\n");
}

TEST(ChannelRoles, ProposedFromTheChannelNames) {
  struct C {
    const char* name;
    ChannelRole role;
    int floor;
  };
  const C cases[] = {
      {"Door open", ChannelRole::DoorOpenRelay, 0},
      {"Door open relay", ChannelRole::DoorOpenRelay, 0},
      {"Door close relay", ChannelRole::DoorCloseRelay, 0},
      {"Door open limit", ChannelRole::DoorOpenLimit, 0},
      {"Door closed limit", ChannelRole::DoorClosedLimit, 0},
      {"Door fully closed", ChannelRole::DoorClosedLimit, 0},
      {"Safety edge", ChannelRole::DoorReopen, 0},
      {"Light curtain", ChannelRole::DoorReopen, 0},
      {"Motor run up", ChannelRole::MotorUp, 0},
      {"Motor down", ChannelRole::MotorDown, 0},
      {"Motor run", ChannelRole::MotorRun, 0},
      {"Floor level sensor", ChannelRole::Level, 0},
      {"Hall call 3", ChannelRole::HallUp, 3},
      {"Hall call G", ChannelRole::HallUp, 0},
      {"Hall call down 4", ChannelRole::HallDown, 4},
      {"Landing call up -1", ChannelRole::HallUp, -1},
      {"Car call 12", ChannelRole::CarCall, 12},
      {"Out of service", ChannelRole::OutOfService, 0},
      {"Fire service", ChannelRole::FireService, 0},
      {"Inspection", ChannelRole::Inspection, 0},
      {"Alarm bell", ChannelRole::Alarm, 0},
      {"Hall call", ChannelRole::None, 0},  // no floor: not certain
      {"#7", ChannelRole::None, 0},
      {"Car fan", ChannelRole::None, 0},
      {"Landing door contact", ChannelRole::None, 0},
  };
  for (const C& c : cases) {
    SCOPED_TRACE(c.name);
    const ChannelRoleEntry e = ProposeRole(c.name);
    EXPECT_EQ(e.role, c.role);
    EXPECT_EQ(e.floor, c.floor);
  }
}

TEST(ChannelRoles, TheDemonstrationLiftCarriesRolesForItsInputs) {
  ChannelTable names;
  ResetChannelTable(names);
  NameLiftChannels(names);
  const ChannelRoles roles = LiftRoles(names);
  EXPECT_EQ(roles[1], (ChannelRoleEntry{ChannelRole::HallUp, 0}));
  EXPECT_EQ(roles[12], (ChannelRoleEntry{ChannelRole::CarCall, 5}));
  EXPECT_EQ(roles[13].role, ChannelRole::DoorOpenRelay);
  EXPECT_EQ(roles[14].role, ChannelRole::DoorCloseRelay);
  EXPECT_EQ(roles[15].role, ChannelRole::MotorUp);
  EXPECT_EQ(roles[16].role, ChannelRole::MotorDown);
  EXPECT_EQ(roles[17].role, ChannelRole::Level);
  EXPECT_EQ(roles[18].role, ChannelRole::OutOfService);
  EXPECT_EQ(roles[19].role, ChannelRole::DoorOpenLimit);
  EXPECT_EQ(roles[20].role, ChannelRole::DoorClosedLimit);
  EXPECT_EQ(roles[21].role, ChannelRole::DoorReopen);
  EXPECT_EQ(roles[22].role, ChannelRole::None);
  EXPECT_EQ(roles[23].role, ChannelRole::None);
}

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

class NullSinks final : public LoadSinks {};

TEST(ChannelRoles, KeptInTheProjectAsLinesAnOlderReaderPassesOver) {
  TempDir dir;
  testing::CaptureBuilder b;
  b.Event(1, 3, 1).Event(2, 3, 0).Finish(5);
  const std::string plain = dir / "plain.kv", withRoles = dir / "roles.kv";
  ASSERT_TRUE(WriteProjectFile(plain, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  b.view.Traces.Roles().Set(3, ChannelRole::HallDown, -3);
  b.view.Traces.Roles().Set(128, ChannelRole::Alarm);
  ASSERT_TRUE(WriteProjectFile(withRoles, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  // Every line of the project without roles is there, byte for byte; the
  // roles follow as two more lines.
  const std::string before = ReadBytes(plain), after = ReadBytes(withRoles);
  ASSERT_EQ(after.substr(0, before.size()), before);
  EXPECT_EQ(after.substr(before.size()), "R030BFDFF\r\nR8010" "0000\r\n");

  ManualClock clock;
  CaptureData loaded(clock);
  CaptureView loadedView;
  NullSinks sinks;
  loadedView.Traces.Roles().Set(5, ChannelRole::Level);
  ASSERT_TRUE(LoadCaptureFile(withRoles, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loadedView.Traces.Roles(), b.view.Traces.Roles());
  EXPECT_EQ(loaded.Store.Count(), 2u);
  // A project without roles loads without any (none left from before).
  ASSERT_TRUE(LoadCaptureFile(plain, loaded, loadedView, sinks).ok);
  EXPECT_FALSE(loadedView.Traces.Roles().Any());
  // Damaged role lines are passed over; the rest loads.
  WriteBytes(dir / "damaged.kv", before + "R03FF0000\r\nR00010000\r\nR0301\r\nRZZ010000\r\nR05090000\r\n");
  ASSERT_TRUE(LoadCaptureFile(dir / "damaged.kv", loaded, loadedView, sinks).ok);
  EXPECT_EQ(loadedView.Traces.Roles()[3].role, ChannelRole::None);
  EXPECT_EQ(loadedView.Traces.Roles()[5].role, ChannelRole::Level);
  EXPECT_EQ(loaded.Store.Count(), 2u);
}

// Site details follow the roles as P lines; a reader without them loads
// the rest, and a project without them has none.
TEST(SiteDetails, KeptInTheProjectAfterTheRoles) {
  TempDir dir;
  testing::CaptureBuilder b;
  b.Event(1, 3, 1).Event(2, 3, 0).Finish(5);
  const std::string plain = dir / "plain.kv", withSite = dir / "site.kv";
  ASSERT_TRUE(WriteProjectFile(plain, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  b.view.Site.site = "Mill Court";
  b.view.Site.visit = "7/12";
  ASSERT_TRUE(WriteProjectFile(withSite, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  const std::string before = ReadBytes(plain), after = ReadBytes(withSite);
  ASSERT_EQ(after.substr(0, before.size()), before);
  EXPECT_EQ(after.substr(before.size()), "P004D696C6C20436F757274\r\nP03372F3132\r\n");
  ManualClock clock;
  CaptureData loaded(clock);
  CaptureView loadedView;
  NullSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(withSite, loaded, loadedView, sinks).ok);
  EXPECT_EQ(loadedView.Site.site, "Mill Court");
  EXPECT_EQ(loadedView.Site.visit, "7/12");
  ASSERT_TRUE(LoadCaptureFile(plain, loaded, loadedView, sinks).ok);
  EXPECT_TRUE(loadedView.Site.Empty());
}

}  // namespace
}  // namespace korvalog
