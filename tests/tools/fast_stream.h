#pragma once
// A logger streaming changes faster than any real line: a korvalog-sim script
// of `count` changes at `perSecond`, input after input over all of a
// logger's channels (each one a change: high on the first round, low on the
// next), and the list to compare a capture with.
#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "transport/transition_source.h"

namespace korvalog::testing {

struct StreamedChange {
  int channel;
  int level;
};

// Half a second of the rate the receiver is made for; the pseudo-terminal
// holds far less, so a receiver that falls behind is found out.
constexpr double kFastChangesPerSecond = 50000;
constexpr uint32_t kFastChanges = 25000;

inline std::vector<StreamedChange> SweepChanges(int channels, uint32_t count) {
  std::vector<StreamedChange> out;
  out.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const int channel = static_cast<int>(i % static_cast<uint32_t>(channels)) + 1;
    const int level = static_cast<int>(i / static_cast<uint32_t>(channels) + 1) % 2;
    out.push_back({channel, level});
  }
  return out;
}

// The first `count` changes of korvalog-sim's lift pattern at `perSecond`.
inline std::vector<StreamedChange> LiftChanges(double perSecond, uint32_t seed, uint32_t count) {
  sim::LiftPattern pattern(perSecond, seed);
  std::vector<StreamedChange> out;
  sim::SimTransition t{};
  while (out.size() < count && pattern.Next(t)) out.push_back({t.channel, t.level});
  return out;
}

// A fast stream from a script of SweepChanges, or from korvalog-sim's own
// pattern at 50,000 a second, which runs without end.
struct FastStreamCase {
  int channels;
  bool liftPattern;
  std::vector<StreamedChange> Sent() const {
    return liftPattern ? LiftChanges(kFastChangesPerSecond, 5, kFastChanges) : SweepChanges(channels, kFastChanges);
  }
  std::vector<std::string> SimArgs(const std::string& script) const {
    if (liftPattern) return {"--channels", std::to_string(channels), "--rate", "50000", "--seed", "5"};
    return {"--channels", std::to_string(channels), "--script", script};
  }
  friend void PrintTo(const FastStreamCase& c, std::ostream* out) {
    *out << c.channels << (c.liftPattern ? " pattern" : " script");
  }
};

inline const std::array<FastStreamCase, 4> kFastStreamCases{
    {{96, false}, {128, false}, {96, true}, {128, true}}};

inline std::string FastStreamName(const FastStreamCase& c) {
  return "Channels" + std::to_string(c.channels) + (c.liftPattern ? "Pattern" : "Script");
}

inline std::string ScriptFor(const std::vector<StreamedChange>& changes, double perSecond) {
  std::string text;
  char line[64];
  for (size_t i = 0; i < changes.size(); ++i) {
    std::snprintf(line, sizeof line, "%.6f %d %d\n", static_cast<double>(i) / perSecond, changes[i].channel,
                  changes[i].level);
    text += line;
  }
  return text;
}

// Where a capture first differs from what the logger sent ("" when it holds
// exactly that, in order).
template <typename Store>
std::string FirstDifference(const Store& store, uint32_t count, const std::vector<StreamedChange>& sent) {
  for (uint32_t i = 0; i < count && i < sent.size(); ++i) {
    if (store[i].channel != sent[i].channel || store[i].state != sent[i].level) {
      return "event " + std::to_string(i) + " is input " + std::to_string(store[i].channel) + " level " +
             std::to_string(store[i].state) + ", sent input " + std::to_string(sent[i].channel) + " level " +
             std::to_string(sent[i].level);
    }
  }
  if (count != sent.size()) return std::to_string(count) + " events of " + std::to_string(sent.size()) + " sent";
  return "";
}

}  // namespace korvalog::testing
