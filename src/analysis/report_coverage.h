#pragma once
// Which figures of the report the roles allow and which roles they rest
// on, so a figure without its inputs reads "not measured (no door open
// limit role)" rather than a number that looks like a good result.
#include <string>
#include <vector>

#include "core/channel_roles.h"

namespace korvalog {

enum class ReportFigure : uint8_t {
  DoorOpening,      // open relay, open limit
  DoorClosing,      // close relay, closed limit
  Dwell,            // open limit or open relay, close relay
  Reopens,          // close relay, reopen input or open relay
  DoorCycles,       // open relay
  Trips,            // a motor input
  Flight,           // a motor input, the level zone
  StartDelay,       // closed limit, a motor input
  PerformanceTime,  // every door relay and limit, a motor input, the level zone
  HallWaits,        // a hall call
  CallAnswers,      // a hall call, the open relay (answered or cancelled)
  CarService,       // a car call
  Availability,     // out of service, fire service or inspection
  FireService,
  Inspection,
  Alarms,
  PerFloorDoors,    // door figures by landing: open relay, a motor input, the level zone, a call
};
inline constexpr int kReportFigures = 17;

bool Measured(const ChannelRoles& roles, ReportFigure figure);
// The roles missing for the figure ("door open limit"; a choice reads
// "motor run up, motor run down or motor run"; several joined by "and");
// "" when it is measured.
std::string MissingRoles(const ChannelRoles& roles, ReportFigure figure);
// "not measured (no door open limit role)"; "" when it is measured.
std::string NotMeasuredText(const ChannelRoles& roles, ReportFigure figure);
// The roles some channel has, in the roles' order.
std::vector<ChannelRole> RolesPresent(const ChannelRoles& roles);

}  // namespace korvalog
