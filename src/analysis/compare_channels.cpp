#include "analysis/compare_channels.h"

#include <algorithm>
#include <cctype>

namespace korvalog {
namespace {

std::string Folded(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Leading and trailing spaces are typing, not naming.
  const size_t from = s.find_first_not_of(' ');
  if (from == std::string::npos) return {};
  return s.substr(from, s.find_last_not_of(' ') - from + 1);
}

// A name is the capture's own when it differs from what a fresh channel
// table holds ("#5"): the plain number says nothing about what is wired.
std::string OwnName(const TraceList& names, int ch) {
  static const TraceList fresh;
  const std::string name = Folded(names.Name(ch));
  return name == Folded(fresh.Name(ch)) ? std::string() : name;
}

std::vector<int> Taking(const TraceList& names, const InputHealth* health) {
  std::vector<int> channels;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const bool role = names.Roles()[ch].role != ChannelRole::None;
    const bool named = !OwnName(names, ch).empty();
    const bool changed = health != nullptr && health->channels[ch - 1].transitions > 0;
    if (role || named || changed) channels.push_back(ch);
  }
  return channels;
}

}  // namespace

int ChannelMatch::AfterOf(int beforeChannel) const {
  for (const ChannelPair& p : pairs) {
    if (p.before == beforeChannel) return p.after;
  }
  return 0;
}

int ChannelMatch::BeforeOf(int afterChannel) const {
  for (const ChannelPair& p : pairs) {
    if (p.after == afterChannel) return p.before;
  }
  return 0;
}

ChannelMatch MatchChannels(const TraceList& before, const InputHealth* beforeHealth, const TraceList& after,
                           const InputHealth* afterHealth) {
  ChannelMatch m;
  std::vector<int> left = Taking(before, beforeHealth);
  std::vector<int> right = Taking(after, afterHealth);
  std::vector<bool> taken(right.size(), false);
  std::vector<ChannelPair> found;
  std::vector<int> rest;
  // By role first: two inputs of one role (a second door) pair in channel order.
  for (int b : left) {
    const ChannelRoleEntry& role = before.Roles()[b];
    int hit = -1;
    for (size_t i = 0; role.role != ChannelRole::None && i < right.size() && hit < 0; ++i) {
      if (!taken[i] && after.Roles()[right[i]] == role) hit = static_cast<int>(i);
    }
    if (hit >= 0) {
      taken[hit] = true;
      found.push_back({b, right[hit], true});
    } else {
      rest.push_back(b);
    }
  }
  // Then by name, where the name is not empty and one of a kind on the other side.
  for (int b : rest) {
    const std::string name = OwnName(before, b);
    int hit = -1;
    for (size_t i = 0; !name.empty() && i < right.size() && hit < 0; ++i) {
      if (!taken[i] && after.Roles()[right[i]].role == ChannelRole::None && OwnName(after, right[i]) == name) {
        hit = static_cast<int>(i);
      }
    }
    if (hit >= 0) {
      taken[hit] = true;
      found.push_back({b, right[hit], false});
    } else {
      m.unmatchedBefore.push_back(b);
    }
  }
  for (size_t i = 0; i < right.size(); ++i) {
    if (!taken[i]) m.unmatchedAfter.push_back(right[i]);
  }
  std::sort(found.begin(), found.end(), [](const ChannelPair& a, const ChannelPair& b) { return a.before < b.before; });
  m.pairs = std::move(found);
  return m;
}

std::string CompareChannelLabel(const TraceList& names, int channel) {
  const std::string name = names.Name(channel);
  const std::string input = "input " + std::to_string(channel);
  return name.empty() ? input : name + " (" + input + ")";
}

}  // namespace korvalog
