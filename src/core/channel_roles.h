#pragma once
// What each input means to the lift: a role per channel (door relays and
// limits, motor, calls with their floor, service states), the ROLES text
// users keep beside logs, and roles proposed from the channel names.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/records.h"

namespace korvalog {

enum class ChannelRole : uint8_t {
  None = 0,
  DoorOpenRelay,
  DoorCloseRelay,
  DoorOpenLimit,
  DoorClosedLimit,
  DoorReopen,
  MotorUp,
  MotorDown,
  MotorRun,
  Level,
  HallUp,
  HallDown,
  CarCall,
  OutOfService,
  FireService,
  Inspection,
  Alarm,
};
inline constexpr int kRoleCount = 17;  // None included

// The ROLES file's word ("door-open-relay"); "" for None.
std::string_view RoleKey(ChannelRole role);
// What the Roles window shows ("Door open relay").
std::string_view RoleTitle(ChannelRole role);
// From the ROLES word; false for anything else.
bool RoleFromKey(std::string_view key, ChannelRole& role);
// The three call roles carry a floor.
inline bool RoleHasFloor(ChannelRole r) {
  return r == ChannelRole::HallUp || r == ChannelRole::HallDown || r == ChannelRole::CarCall;
}

struct ChannelRoleEntry {
  ChannelRole role = ChannelRole::None;
  int16_t floor = 0;  // only for calls
  bool operator==(const ChannelRoleEntry&) const = default;
};

// One entry per channel, channel 1 first.
class ChannelRoles {
 public:
  const ChannelRoleEntry& operator[](int channel) const { return entries_[channel - 1]; }
  void Set(int channel, ChannelRole role, int floor = 0);
  void Clear() { entries_.fill({}); }
  bool Any() const;
  bool Has(ChannelRole role) const;
  bool operator==(const ChannelRoles&) const = default;

 private:
  std::array<ChannelRoleEntry, kChannelCount> entries_{};
};

// Reads ROLES text: one line per channel, CHANNEL<TAB>ROLE[<TAB>FLOOR], '#'
// starts a comment, blank lines pass. False with `error` naming the line for
// anything else; `roles` then holds nothing of it.
bool ParseRolesText(std::string_view text, ChannelRoles& roles, std::string& error);
// Writes the roles in the same format, channel order, LF line ends.
std::string FormatRolesText(const ChannelRoles& roles);

// A role guessed from a channel name ("Door open" -> door open relay, "Hall
// call 3" -> hall call with floor 3; "G" reads as floor 0). None when the
// name says nothing certain.
ChannelRoleEntry ProposeRole(std::string_view name);
// ProposeRole for every channel of the table.
ChannelRoles ProposeRoles(const ChannelTable& channels);

// The project line that keeps one channel's role: "R", the channel, the
// role and the floor (16 bits, low byte first) as upper-case hex. Readers
// that do not know the letter pass over it.
std::string RoleLine(int channel, const ChannelRoleEntry& entry);
// False (nothing set) for a line that is not exactly one such record.
bool ReadRoleLine(std::string_view line, ChannelRoles& roles);

}  // namespace korvalog
