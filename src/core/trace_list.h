#pragma once
// How the 128 channels are shown: their rows top to bottom, and per channel
// its name, search condition and role. Everything that draws or exports
// channels reads one of these; the window keeps one, and an export of some
// channels builds its own. A channel's colour follows from its number and the
// colour mode of the settings, so it is not kept here.
// Interface thread only: the capture never writes it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/channel_roles.h"
#include "core/records.h"

namespace korvalog {

// One row as drawn.
struct Trace {
  int channel = 0;
  std::string name;
  uint8_t search = kSearchIgnore;
  ChannelRoleEntry role;
};

void ResetChannelTable(ChannelTable& table);  // "#1".."#128", search ignore
void ResetDisplayOrder(DisplayOrder& order);  // identity
// True when every channel 1..128 appears exactly once.
bool IsPermutation(const DisplayOrder& order);

class TraceList {
 public:
  TraceList() { Reset(); }

  // "#1".."#128" top to bottom, nothing searched, no roles.
  void Reset();

  // Rows count from 1 at the top. 0 for a row or channel out of range.
  int ChannelAt(int row) const { return ValidIndex(row) ? order_[row - 1] : 0; }
  int RowOf(int channel) const { return ValidIndex(channel) ? rowOf_[channel - 1] : 0; }
  Trace At(int row) const;

  // Per channel, 1..128 (the caller keeps to the range).
  std::string Name(int channel) const { return ChannelName(records_[channel - 1]); }
  void SetName(int channel, std::string_view name) { SetChannelName(records_[channel - 1], name); }
  uint8_t Search(int channel) const { return records_[channel - 1].SearchCondition; }
  void SetSearch(int channel, uint8_t condition) { records_[channel - 1].SearchCondition = condition; }
  const ChannelRoleEntry& Role(int channel) const { return roles_[channel]; }

  // Every channel's search condition as one table, channel 1 first.
  std::array<uint8_t, kChannelCount> SearchConditions() const;

  // Takes the row's channel out and puts it in at `to`; the rows between move
  // by one. False when nothing moved.
  bool MoveRow(int from, int to);

  // A copy that shows `channels` in the top rows, in this list's order, and
  // the others below them.
  TraceList WithFirst(const std::vector<int>& channels) const;

  const ChannelRoles& Roles() const { return roles_; }
  ChannelRoles& Roles() { return roles_; }
  void SetRoles(const ChannelRoles& roles) { roles_ = roles; }

  // For the files: the names and conditions as stored (bytes past a name's
  // length kept), and the order as grid row r -> channel.
  const ChannelTable& Table() const { return records_; }
  void SetTable(const ChannelTable& table) { records_ = table; }
  const ChannelRecord& Record(int channel) const { return records_[channel - 1]; }
  void SetRecord(int channel, const ChannelRecord& record) { records_[channel - 1] = record; }
  const DisplayOrder& Order() const { return order_; }
  // An order that is not a permutation of 1..128 leaves the list unchanged:
  // false.
  bool SetOrder(const DisplayOrder& order);
  // Channel 1 at the top, 128 at the bottom.
  void ResetOrder();

  // Same rows, names (as stored), conditions and roles.
  bool operator==(const TraceList& o) const;

 private:
  static bool ValidIndex(int i) { return i >= 1 && i <= kChannelCount; }
  void IndexRows();

  ChannelTable records_{};
  DisplayOrder order_{};
  std::array<uint8_t, kChannelCount> rowOf_{};
  ChannelRoles roles_;
};

}  // namespace korvalog
