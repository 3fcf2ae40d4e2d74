#pragma once
// Which input of one capture is which of the other when two captures of a
// lift are compared: first by role (and a call's floor), then by name. An
// input that matches neither way is listed, never paired by its number.
#include <string>
#include <vector>

#include "analysis/input_health.h"
#include "core/trace_list.h"

namespace korvalog {

struct ChannelPair {
  int before = 0, after = 0;  // channels 1..128
  bool byRole = false;        // false: by name
};

struct ChannelMatch {
  std::vector<ChannelPair> pairs;          // in the before capture's channel order
  std::vector<int> unmatchedBefore, unmatchedAfter;
  // The after capture's channel paired with a before channel; 0 for none.
  int AfterOf(int beforeChannel) const;
  int BeforeOf(int afterChannel) const;
};

// Inputs taken part: those with a role, or a name of their own, or that
// changed (`health` may be null: then changes are not looked at).
ChannelMatch MatchChannels(const TraceList& before, const InputHealth* beforeHealth, const TraceList& after,
                           const InputHealth* afterHealth);

// "Door close relay (input 14)".
std::string CompareChannelLabel(const TraceList& names, int channel);

}  // namespace korvalog
