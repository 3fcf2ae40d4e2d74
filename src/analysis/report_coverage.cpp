#include "analysis/report_coverage.h"

#include <cctype>
#include <bit>
#include <cstdint>

namespace korvalog {
namespace {

using R = ChannelRole;
using Group = uint32_t;  // a set of roles, any one of which will do

constexpr Group Of(R r) { return 1u << static_cast<int>(r); }
constexpr Group kMotor = Of(R::MotorUp) | Of(R::MotorDown) | Of(R::MotorRun);

struct Needs {
  Group groups[6];  // every group; 0 ends the list
};

// In the order of ReportFigure.
constexpr Needs kNeeds[kReportFigures] = {
    {{Of(R::DoorOpenRelay), Of(R::DoorOpenLimit)}},
    {{Of(R::DoorCloseRelay), Of(R::DoorClosedLimit)}},
    {{Of(R::DoorOpenLimit) | Of(R::DoorOpenRelay), Of(R::DoorCloseRelay)}},
    {{Of(R::DoorCloseRelay), Of(R::DoorReopen) | Of(R::DoorOpenRelay)}},
    {{Of(R::DoorOpenRelay)}},
    {{kMotor}},
    {{kMotor, Of(R::Level)}},
    {{Of(R::DoorClosedLimit), kMotor}},
    {{Of(R::DoorOpenRelay), Of(R::DoorOpenLimit), Of(R::DoorCloseRelay), Of(R::DoorClosedLimit), kMotor,
      Of(R::Level)}},
    {{Of(R::HallUp) | Of(R::HallDown)}},
    {{Of(R::HallUp) | Of(R::HallDown), Of(R::DoorOpenRelay)}},
    {{Of(R::CarCall)}},
    {{Of(R::OutOfService) | Of(R::FireService) | Of(R::Inspection)}},
    {{Of(R::FireService)}},
    {{Of(R::Inspection)}},
    {{Of(R::Alarm)}},
    {{Of(R::DoorOpenRelay), kMotor, Of(R::Level), Of(R::HallUp) | Of(R::HallDown) | Of(R::CarCall)}},
};

const Needs& NeedsOf(ReportFigure f) { return kNeeds[static_cast<int>(f) % kReportFigures]; }

bool Satisfied(const ChannelRoles& roles, Group g) {
  for (int r = 1; r < kRoleCount; ++r) {
    if ((g & Of(static_cast<R>(r))) != 0 && roles.Has(static_cast<R>(r))) return true;
  }
  return false;
}

std::string Lower(std::string_view title) {
  std::string s(title);
  if (!s.empty()) s[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
  return s;
}

}  // namespace

bool Measured(const ChannelRoles& roles, ReportFigure figure) {
  for (Group g : NeedsOf(figure).groups) {
    if (g != 0 && !Satisfied(roles, g)) return false;
  }
  return true;
}

std::string MissingRoles(const ChannelRoles& roles, ReportFigure figure) {
  std::string out;
  for (Group g : NeedsOf(figure).groups) {
    if (g == 0 || Satisfied(roles, g)) continue;
    if (!out.empty()) out += " and ";
    const int n = std::popcount(g);
    int i = 0;
    for (int r = 1; r < kRoleCount; ++r) {
      if ((g & Of(static_cast<R>(r))) == 0) continue;
      if (i > 0) out += i + 1 == n ? " or " : ", ";
      out += Lower(RoleTitle(static_cast<R>(r)));
      ++i;
    }
  }
  return out;
}

std::string NotMeasuredText(const ChannelRoles& roles, ReportFigure figure) {
  const std::string missing = MissingRoles(roles, figure);
  return missing.empty() ? "" : "not measured (no " + missing + " role)";
}

std::vector<ChannelRole> RolesPresent(const ChannelRoles& roles) {
  std::vector<ChannelRole> present;
  for (int r = 1; r < kRoleCount; ++r) {
    if (roles.Has(static_cast<ChannelRole>(r))) present.push_back(static_cast<ChannelRole>(r));
  }
  return present;
}

}  // namespace korvalog
