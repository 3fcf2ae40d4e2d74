#include "session/continuous_parts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "base/date_time.h"
#include "core/file_names.h"

namespace korvalog {

namespace fs = std::filesystem;

std::string PartTimeStamp(double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", f.year, f.month, f.day, f.hour, f.minute,
                f.second);
  return text;
}

std::string ContinuousPartName(const std::string& timeStamp, uint32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04u", number);
  return timeStamp + "-" + digits + ".kv";
}

bool IsContinuousPartName(const std::string& name) {
  // Four digits at least: a run past part 9999 goes on with five.
  if (name.size() < 23 || name.size() > 29 || name.compare(name.size() - 3, 3, ".kv") != 0 || name[8] != '-' ||
      name[15] != '-') {
    return false;
  }
  for (size_t i = 0; i + 3 < name.size(); ++i) {
    if (i != 8 && i != 15 && (name[i] < '0' || name[i] > '9')) return false;
  }
  return true;
}

uint32_t PartNumberOf(const std::string& name) {
  const unsigned long long n = std::stoull(name.substr(16, name.size() - 19));
  return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

uint32_t FirstFreePartNumber(const std::string& folder, const std::string& timeStamp) {
  uint32_t first = 1;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder), ec)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    if (!IsContinuousPartName(name) || name.compare(0, timeStamp.size(), timeStamp) != 0) continue;
    const uint32_t n = PartNumberOf(name);
    if (n < UINT32_MAX) first = std::max(first, n + 1);
  }
  return first;
}

void PruneContinuousParts(const std::string& folder, size_t keep, std::vector<std::string>& ownParts,
                          const std::vector<std::string>& notMine,
                          const std::function<bool(const std::string&)>& stillNeeded) {
  std::vector<std::pair<fs::file_time_type, std::string>> earlier;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder), ec)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    if (!IsContinuousPartName(name)) continue;
    if (std::find(notMine.begin(), notMine.end(), name) != notMine.end()) continue;
    const std::string path = Utf8FromPath(entry.path());
    bool own = false;
    for (const std::string& mine : ownParts) {
      std::error_code ec2;
      own = own || fs::equivalent(entry.path(), PathFromUtf8(mine), ec2);
    }
    if (own) continue;
    std::error_code ec2;
    const fs::file_time_type when = fs::last_write_time(entry.path(), ec2);
    if (!ec2) earlier.emplace_back(when, path);
  }
  std::sort(earlier.begin(), earlier.end());
  size_t total = earlier.size() + ownParts.size();
  for (size_t i = 0; i < earlier.size() && total > keep; ++i, --total) fs::remove(PathFromUtf8(earlier[i].second), ec);
  for (size_t i = 0; total > keep && i + 1 < ownParts.size();) {
    if (stillNeeded && stillNeeded(ownParts[i])) {
      ++i;
      continue;
    }
    fs::remove(PathFromUtf8(ownParts[i]), ec);
    ownParts.erase(ownParts.begin() + static_cast<std::ptrdiff_t>(i));
    --total;
  }
}

}  // namespace korvalog
