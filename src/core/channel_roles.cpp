#include "core/channel_roles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "base/byte_text.h"

namespace korvalog {
namespace {

struct RoleNames {
  std::string_view key;
  std::string_view title;
};

constexpr RoleNames kNames[kRoleCount] = {
    {"", "(none)"},
    {"door-open-relay", "Door open relay"},
    {"door-close-relay", "Door close relay"},
    {"door-open-limit", "Door open limit"},
    {"door-closed-limit", "Door closed limit"},
    {"door-reopen", "Door reopen (safety edge)"},
    {"motor-up", "Motor run up"},
    {"motor-down", "Motor run down"},
    {"motor-run", "Motor run"},
    {"level", "Floor level zone"},
    {"hall-up", "Hall call up"},
    {"hall-down", "Hall call down"},
    {"car-call", "Car call"},
    {"out-of-service", "Out of service"},
    {"fire-service", "Fire service"},
    {"inspection", "Inspection"},
    {"alarm", "Alarm"},
};

bool ParseInt(std::string_view text, long& out) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end;
}

int HexByte(const char* p) {
  const int hi = HexDigitValue(p[0]), lo = HexDigitValue(p[1]);
  return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

void AppendHex(std::string& out, unsigned byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[(byte >> 4) & 15];
  out += kDigits[byte & 15];
}

std::vector<std::string> Words(std::string_view name) {
  std::vector<std::string> words;
  std::string word;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) || (c == '-' && word.empty())) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool HasWord(const std::vector<std::string>& words, std::string_view w) {
  return std::find(words.begin(), words.end(), w) != words.end();
}

bool HasPrefix(const std::vector<std::string>& words, std::string_view p) {
  return std::any_of(words.begin(), words.end(), [p](const std::string& w) { return w.rfind(p, 0) == 0; });
}

// The floor a call's name ends with: a whole number or "G" (ground, 0).
bool TrailingFloor(const std::vector<std::string>& words, int& floor) {
  if (words.empty()) return false;
  const std::string& last = words.back();
  long v = 0;
  if (ParseInt(last, v) && v >= -999 && v <= 999) {
    floor = static_cast<int>(v);
    return true;
  }
  if (last == "g" || last == "gf" || last == "ground") {
    floor = 0;
    return true;
  }
  return false;
}

}  // namespace

std::string_view RoleKey(ChannelRole role) { return kNames[static_cast<int>(role) % kRoleCount].key; }
std::string_view RoleTitle(ChannelRole role) { return kNames[static_cast<int>(role) % kRoleCount].title; }

bool RoleFromKey(std::string_view key, ChannelRole& role) {
  for (int i = 1; i < kRoleCount; ++i) {
    if (kNames[i].key == key) {
      role = static_cast<ChannelRole>(i);
      return true;
    }
  }
  return false;
}

void ChannelRoles::Set(int channel, ChannelRole role, int floor) {
  if (channel < 1 || channel > kChannelCount) return;
  entries_[channel - 1] = {role, static_cast<int16_t>(RoleHasFloor(role) ? floor : 0)};
}

bool ChannelRoles::Any() const {
  return std::any_of(entries_.begin(), entries_.end(), [](const ChannelRoleEntry& e) { return e.role != ChannelRole::None; });
}

bool ChannelRoles::Has(ChannelRole role) const {
  return std::any_of(entries_.begin(), entries_.end(), [role](const ChannelRoleEntry& e) { return e.role == role; });
}

namespace {

// A lift has one of each door and motor input and one of each service
// state; calls come once per floor and a level zone may be read at every
// floor. A second channel with a single role would be read as one input.
bool RoleRepeats(ChannelRole role) { return role == ChannelRole::Level; }

// What was given on which line, so a repeat names the line it repeats.
struct GivenRoles {
  int channelLine[kChannelCount] = {};
  int roleLine[kRoleCount] = {};
  int roleChannel[kRoleCount] = {};
  struct Call {
    ChannelRole role;
    long floor;
    int line;
    int channel;
  };
  std::vector<Call> calls;

  // Empty when the entry may be added, else why not.
  std::string Clash(int lineNo, int channel, ChannelRole role, long floor) {
    if (const int first = channelLine[channel - 1]; first != 0) {
      return "channel " + std::to_string(channel) + " is given again (first on line " + std::to_string(first) + ")";
    }
    channelLine[channel - 1] = lineNo;
    const std::string key(RoleKey(role));
    const auto given = [&](int line, int ch) {
      return " is given to channel " + std::to_string(channel) + " and already to channel " + std::to_string(ch) +
             " on line " + std::to_string(line);
    };
    if (RoleHasFloor(role)) {
      for (const Call& c : calls) {
        if (c.role == role && c.floor == floor) {
          return "role '" + key + "' for floor " + std::to_string(floor) + given(c.line, c.channel);
        }
      }
      calls.push_back({role, floor, lineNo, channel});
      return {};
    }
    const int r = static_cast<int>(role);
    if (!RoleRepeats(role) && roleLine[r] != 0) return "role '" + key + "'" + given(roleLine[r], roleChannel[r]);
    roleLine[r] = lineNo;
    roleChannel[r] = channel;
    return {};
  }
};

}  // namespace

bool ParseRolesText(std::string_view text, ChannelRoles& roles, std::string& error) {
  // Editors on Windows start a UTF-8 file with a byte order mark.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  ChannelRoles read;
  GivenRoles given;
  int lineNo = 0;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
      const size_t tab = line.find('\t', from);
      std::string_view f = line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from);
      while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
      while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
      fields.push_back(f);
      if (tab == std::string_view::npos) break;
      from = tab + 1;
    }
    while (fields.size() > 1 && fields.back().empty()) fields.pop_back();
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    // The user's bytes are quoted with control bytes escaped.
    const auto quoted = [&fields](size_t i) { return "'" + EscapeControlBytes(fields[i]) + "'"; };
    long channel = 0;
    if (fields.size() < 2 || fields.size() > 3) {
      error = where + "expected CHANNEL<TAB>ROLE[<TAB>FLOOR]";
      return false;
    }
    if (!ParseInt(fields[0], channel) || channel < 1 || channel > kChannelCount) {
      error = where + "channel " + quoted(0) + " is not 1..128";
      return false;
    }
    ChannelRole role{};
    if (!RoleFromKey(fields[1], role)) {
      error = where + "unknown role " + quoted(1);
      return false;
    }
    long floor = 0;
    if (RoleHasFloor(role)) {
      if (fields.size() != 3 || !ParseInt(fields[2], floor) || floor < -32768 || floor > 32767) {
        error = where + "role " + quoted(1) + " needs a whole-number FLOOR";
        return false;
      }
    } else if (fields.size() == 3) {
      error = where + "role " + quoted(1) + " takes no floor";
      return false;
    }
    if (std::string clash = given.Clash(lineNo, static_cast<int>(channel), role, floor); !clash.empty()) {
      error = where + clash;
      return false;
    }
    read.Set(static_cast<int>(channel), role, static_cast<int>(floor));
  }
  roles = read;
  return true;
}

std::string FormatRolesText(const ChannelRoles& roles) {
  std::string out;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const ChannelRoleEntry& e = roles[ch];
    if (e.role == ChannelRole::None) continue;
    out += std::to_string(ch) + "\t" + std::string(RoleKey(e.role));
    if (RoleHasFloor(e.role)) out += "\t" + std::to_string(e.floor);
    out += "\n";
  }
  return out;
}

ChannelRoleEntry ProposeRole(std::string_view name) {
  const std::vector<std::string> w = Words(name);
  const auto role = [](ChannelRole r, int floor = 0) { return ChannelRoleEntry{r, static_cast<int16_t>(floor)}; };
  const bool up = HasWord(w, "up"), down = HasWord(w, "down") || HasWord(w, "dn");
  if (HasWord(w, "call")) {
    int floor = 0;
    if (!TrailingFloor(w, floor)) return {};
    if (HasWord(w, "car")) return role(ChannelRole::CarCall, floor);
    if (HasWord(w, "hall") || HasWord(w, "landing")) return role(down ? ChannelRole::HallDown : ChannelRole::HallUp, floor);
    return {};
  }
  if ((HasWord(w, "out") && HasWord(w, "service")) || HasWord(w, "oos")) return role(ChannelRole::OutOfService);
  if (HasWord(w, "fire")) return role(ChannelRole::FireService);
  if (HasPrefix(w, "inspect")) return role(ChannelRole::Inspection);
  if (HasWord(w, "alarm")) return role(ChannelRole::Alarm);
  if (HasPrefix(w, "reopen") || HasWord(w, "edge") || HasWord(w, "curtain") || HasPrefix(w, "photo")) {
    return role(ChannelRole::DoorReopen);
  }
  if (HasWord(w, "door")) {
    const bool limit = HasWord(w, "limit") || HasWord(w, "fully");
    if (HasWord(w, "open") || HasWord(w, "opened")) return role(limit ? ChannelRole::DoorOpenLimit : ChannelRole::DoorOpenRelay);
    if (HasWord(w, "closed") && limit) return role(ChannelRole::DoorClosedLimit);
    if (HasWord(w, "close") || HasWord(w, "closed")) return role(limit ? ChannelRole::DoorClosedLimit : ChannelRole::DoorCloseRelay);
    return {};
  }
  if (HasWord(w, "motor") || HasWord(w, "run")) {
    if (up && !down) return role(ChannelRole::MotorUp);
    if (down && !up) return role(ChannelRole::MotorDown);
    return role(ChannelRole::MotorRun);
  }
  if (HasPrefix(w, "level") || HasWord(w, "zone")) return role(ChannelRole::Level);
  return {};
}

ChannelRoles ProposeRoles(const ChannelTable& channels) {
  ChannelRoles roles;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const ChannelRoleEntry e = ProposeRole(ChannelName(channels[ch - 1]));
    roles.Set(ch, e.role, e.floor);
  }
  return roles;
}

std::string RoleLine(int channel, const ChannelRoleEntry& entry) {
  std::string line = "R";
  AppendHex(line, static_cast<unsigned>(channel));
  AppendHex(line, static_cast<unsigned>(entry.role));
  const auto floor = static_cast<uint16_t>(entry.floor);
  AppendHex(line, floor & 0xFF);
  AppendHex(line, floor >> 8);
  return line;
}

bool ReadRoleLine(std::string_view line, ChannelRoles& roles) {
  if (line.size() != 9 || line[0] != 'R') return false;
  int bytes[4];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = HexByte(line.data() + 1 + 2 * i);
    if (bytes[i] < 0) return false;
  }
  if (bytes[0] < 1 || bytes[0] > kChannelCount || bytes[1] >= kRoleCount) return false;
  const auto floor = static_cast<int16_t>(static_cast<uint16_t>(bytes[2] | (bytes[3] << 8)));
  roles.Set(bytes[0], static_cast<ChannelRole>(bytes[1]), floor);
  return true;
}

}  // namespace korvalog
