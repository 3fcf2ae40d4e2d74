#pragma once
// The numbered projects of a continuous capture: their names and how many
// of them are kept (--max-files).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvalog {

// "20261207-103000": the local start time of a capture, for names that sort
// by time.
std::string PartTimeStamp(double dateTime);
// "20261207-103000-0003.kv".
std::string ContinuousPartName(const std::string& timeStamp, uint32_t number);
// A name of that kind: eight digits, '-', six digits, '-', four digits or
// more (part 10000 on), ".kv".
bool IsContinuousPartName(const std::string& name);
// The number of a part so named.
uint32_t PartNumberOf(const std::string& name);

// The first number after every part in `folder` that starts with
// `timeStamp` (1 when there is none), so that a run whose start second
// repeats an earlier one's (a clock set back, two runs in one second)
// neither overwrites nor precedes it.
uint32_t FirstFreePartNumber(const std::string& folder, const std::string& timeStamp);

// Leaves at most `keep` parts in `folder`. Parts of earlier runs go first,
// oldest modification time first (names say nothing once a clock was set
// back); then the running capture's own `ownParts` (oldest first, as
// written), never the last one. Removed entries leave `ownParts`. Names in
// `notMine` (parts another running capture owns, and this one's claimed
// but not yet written) are neither removed nor counted. Own parts for which
// `stillNeeded` says true (not yet in the fleet store) are counted but kept:
// the folder may hold more than `keep` until they are done with.
void PruneContinuousParts(const std::string& folder, size_t keep, std::vector<std::string>& ownParts,
                          const std::vector<std::string>& notMine = {},
                          const std::function<bool(const std::string&)>& stillNeeded = {});

}  // namespace korvalog
