#pragma once
// Where a simulated logger's input changes come from: a script file or a
// generated lift-like pattern. Times count from the start command. Shared by
// korvalog-sim and the window program's demonstration logger.
#include <cstdint>
#include <deque>
#include <istream>
#include <random>
#include <string>
#include <vector>

namespace korvalog::sim {

struct SimTransition {
  int64_t atMs;  // after the start command
  int channel;   // 1..128
  int level;     // 0/1
  bool operator==(const SimTransition&) const = default;
};

class TransitionSource {
 public:
  virtual ~TransitionSource() = default;
  // The next transition in time order; false when there are no more.
  virtual bool Next(SimTransition& out) = 0;
};

// Script lines: time offset in seconds (fractions allowed), channel, level,
// separated by spaces, tabs or commas. Blank lines and lines starting with
// '#' are skipped. False with a message naming the line for anything else.
bool ParseScript(std::istream& in, int channels, std::vector<SimTransition>& out,
                 std::string& error);

class ScriptSource final : public TransitionSource {
 public:
  // Kept in time order; lines with the same time keep their file order.
  explicit ScriptSource(std::vector<SimTransition> transitions);
  bool Next(SimTransition& out) override;

 private:
  std::vector<SimTransition> transitions_;
  size_t next_ = 0;
};

// A lift serving calls: hall calls on channels 1..6 and car calls on 7..12
// for six floors, door open 13, door closed 14, motor up 15, motor down 16,
// floor level sensor 17. Runs without end at about `eventsPerSecond`.
class LiftPattern final : public TransitionSource {
 public:
  static constexpr int kFloors = 6;
  static constexpr int kDoorOpen = 13, kDoorClosed = 14, kMotorUp = 15, kMotorDown = 16,
                       kFloorSensor = 17;

  LiftPattern(double eventsPerSecond, uint32_t seed);
  bool Next(SimTransition& out) override;

 private:
  void PlanTrip();
  void Add(double step, int channel, int level, std::vector<std::pair<double, SimTransition>>& trip);

  double eventsPerSecond_;
  std::mt19937 random_;
  int floor_ = 1;
  int levels_[18] = {};
  double tripStartMs_ = 0;
  std::deque<SimTransition> pending_;
};

}  // namespace korvalog::sim
