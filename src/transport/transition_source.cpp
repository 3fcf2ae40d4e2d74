#include "transport/transition_source.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace korvalog::sim {

bool ParseScript(std::istream& in, int channels, std::vector<SimTransition>& out,
                 std::string& error) {
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    for (char& c : line) {
      if (c == ',' || c == '\t' || c == '\r') c = ' ';
    }
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream fields(line);
    std::string timeText, channelText, levelText, extra;
    fields >> timeText >> channelText >> levelText;
    const std::string where = "script line " + std::to_string(lineNo) + ": ";
    if (levelText.empty() || (fields >> extra)) {
      error = where + "expected 'seconds channel level'";
      return false;
    }
    char* end = nullptr;
    const double seconds = std::strtod(timeText.c_str(), &end);
    if (*end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 1e7) {
      error = where + "time '" + timeText + "' is not a number of seconds from 0";
      return false;
    }
    const long channel = std::strtol(channelText.c_str(), &end, 10);
    if (*end != '\0' || channel < 1 || channel > channels) {
      error = where + "channel '" + channelText + "' is not 1.." + std::to_string(channels);
      return false;
    }
    if (levelText != "0" && levelText != "1") {
      error = where + "level '" + levelText + "' is not 0 or 1";
      return false;
    }
    out.push_back({static_cast<int64_t>(std::llround(seconds * 1000.0)), static_cast<int>(channel),
                   levelText == "1" ? 1 : 0});
  }
  return true;
}

ScriptSource::ScriptSource(std::vector<SimTransition> transitions)
    : transitions_(std::move(transitions)) {
  std::stable_sort(transitions_.begin(), transitions_.end(),
                   [](const SimTransition& a, const SimTransition& b) { return a.atMs < b.atMs; });
}

bool ScriptSource::Next(SimTransition& out) {
  if (next_ >= transitions_.size()) return false;
  out = transitions_[next_++];
  return true;
}

LiftPattern::LiftPattern(double eventsPerSecond, uint32_t seed)
    : eventsPerSecond_(eventsPerSecond > 0 ? eventsPerSecond : 1.0), random_(seed) {}

void LiftPattern::Add(double step, int channel, int level,
                      std::vector<std::pair<double, SimTransition>>& trip) {
  if (levels_[channel] == level) return;  // the logger reports changes only
  levels_[channel] = level;
  trip.push_back({step, {0, channel, level}});
}

// One trip, on a time base of steps: a call comes in, the door closes, the
// car runs past the floors in between and opens at the called floor. The
// steps are then stretched so that the trip keeps the chosen event rate.
void LiftPattern::PlanTrip() {
  std::vector<std::pair<double, SimTransition>> trip;
  std::uniform_int_distribution<int> floorPick(1, kFloors - 1);
  int target = floorPick(random_);
  if (target >= floor_) ++target;  // any floor but the current one
  const bool hallCall = std::uniform_int_distribution<int>(0, 1)(random_) == 1;
  const int call = hallCall ? target : kFloors + target;
  const int motor = target > floor_ ? kMotorUp : kMotorDown;

  double step = 0;
  Add(step, call, 1, trip);
  Add(step += 1, kDoorOpen, 0, trip);
  Add(step += 1, kDoorClosed, 1, trip);
  Add(step += 0.5, motor, 1, trip);
  const int floorsToPass = std::abs(target - floor_);
  for (int i = 1; i <= floorsToPass; ++i) {
    Add(step += 1.5, kFloorSensor, 1, trip);
    Add(step += 0.5, kFloorSensor, 0, trip);
  }
  Add(step += 0.2, motor, 0, trip);
  Add(step += 0.3, call, 0, trip);
  Add(step, kDoorClosed, 0, trip);
  Add(step += 1, kDoorOpen, 1, trip);
  step += 2;  // dwell with the door open
  floor_ = target;

  const double tripMs = static_cast<double>(trip.size()) * 1000.0 / eventsPerSecond_;
  // The start is kept in fractions of a millisecond: above about 1,000
  // events a second a trip is shorter than one, and whole milliseconds would
  // leave every trip at the same moment.
  for (auto& [at, t] : trip) {
    t.atMs = static_cast<int64_t>(tripStartMs_ + at / step * tripMs);
    pending_.push_back(t);
  }
  tripStartMs_ += tripMs;
}

bool LiftPattern::Next(SimTransition& out) {
  while (pending_.empty()) PlanTrip();
  out = pending_.front();
  pending_.pop_front();
  return true;
}

}  // namespace korvalog::sim
