#include "core/marker_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace korvalog {
namespace {

std::string Cut(std::string label) {
  if (label.size() > MarkerList::kLabelMax) label.resize(MarkerList::kLabelMax);
  // A line end or a control character would break the lists and the file's
  // reading of it as one line; they become spaces.
  for (char& c : label) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return label;
}

}  // namespace

std::optional<size_t> MarkerList::Add(double time, std::string label) {
  if (!std::isfinite(time) || items_.size() >= kMarkersMax) return std::nullopt;
  label = Cut(std::move(label));
  if (label.empty()) label = FreeLabel();
  // After markers of the same time, so adding keeps the order they came in.
  const auto at = std::upper_bound(items_.begin(), items_.end(), time,
                                   [](double t, const Marker& m) { return t < m.time; });
  const size_t i = static_cast<size_t>(at - items_.begin());
  items_.insert(at, Marker{time, std::move(label)});
  ++version_;
  return i;
}

bool MarkerList::Rename(size_t i, std::string label) {
  if (i >= items_.size()) return false;
  label = Cut(std::move(label));
  if (label.empty() || items_[i].label == label) return false;
  items_[i].label = std::move(label);
  ++version_;
  return true;
}

bool MarkerList::Remove(size_t i) {
  if (i >= items_.size()) return false;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
  ++version_;
  return true;
}

void MarkerList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  ++version_;
}

std::optional<size_t> MarkerList::After(double t) const {
  const auto at = std::upper_bound(items_.begin(), items_.end(), t,
                                   [](double v, const Marker& m) { return v < m.time; });
  if (at == items_.end()) return std::nullopt;
  return static_cast<size_t>(at - items_.begin());
}

std::optional<size_t> MarkerList::Before(double t) const {
  const auto at = std::lower_bound(items_.begin(), items_.end(), t,
                                   [](const Marker& m, double v) { return m.time < v; });
  if (at == items_.begin()) return std::nullopt;
  return static_cast<size_t>(at - items_.begin()) - 1;
}

std::string MarkerList::FreeLabel() const {
  // One pass over the labels, not one per number tried: a project of
  // thousands of unlabelled markers labels each of them while it loads.
  // The lowest free number is at most one more than there are markers.
  std::vector<bool> used(items_.size() + 2, false);
  for (const Marker& m : items_) {
    const std::string& label = m.label;
    if (label.size() < 2 || label[0] != 'M' || label[1] == '0') continue;
    size_t n = 0;
    const auto [end, ec] = std::from_chars(label.data() + 1, label.data() + label.size(), n);
    if (ec == std::errc() && end == label.data() + label.size() && n < used.size()) used[n] = true;
  }
  size_t n = 1;
  while (used[n]) ++n;
  return "M" + std::to_string(n);
}

}  // namespace korvalog
