#pragma once
// Where a capture lost its logger and where it had it back: the link
// supervisor notes each loss while a capture runs, so that the capture can
// show (and later mark) the stretch in which changes may have been missed.
#include <cstdint>
#include <string>
#include <vector>

namespace korvalog {

struct LinkGap {
  double lostAt = 0;        // date-time the link was found lost
  uint32_t eventIndex = 0;  // events recorded before the loss
  double backAt = 0;        // date-time the logger was configured again; 0 while lost
  bool Closed() const { return backAt != 0; }
};

class LinkGaps {
 public:
  // A new capture starts without gaps.
  void Clear() { gaps_.clear(); }
  void Lost(double at, uint32_t eventIndex) { gaps_.push_back({at, eventIndex, 0}); }
  // Closes the open gap, if there is one.
  void Back(double at);
  bool Open() const { return !gaps_.empty() && !gaps_.back().Closed(); }
  const std::vector<LinkGap>& Gaps() const { return gaps_; }

  // "Logger link lost at 09:12:03 after 1234 events, reconnecting" (without
  // ", reconnecting" once the capture has ended)
  static std::string LostText(const LinkGap& gap, bool reconnecting = true);
  // "Logger link back at 09:12:15, 12 s without it"
  static std::string BackText(const LinkGap& gap);

 private:
  std::vector<LinkGap> gaps_;
};

}  // namespace korvalog
