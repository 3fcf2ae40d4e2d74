#pragma once
// The user's markers on a capture: a time and a short note each, kept in
// time order. Saved with the project; a new capture or a load starts empty.
// Interface thread only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvalog {

struct Marker {
  double time = 0.0;
  std::string label;  // bytes in the program's 8-bit text encoding
  bool operator==(const Marker&) const = default;
};

class MarkerList {
 public:
  static constexpr size_t kLabelMax = 64;
  static constexpr size_t kMarkersMax = 4096;

  // Adds a marker (the label cut to kLabelMax; an empty one gets the next
  // free "M<n>"); returns its place in time order, or nothing when the list
  // is full or the time is not a number.
  std::optional<size_t> Add(double time, std::string label = {});
  // An empty label keeps the old one. True when the label changed.
  bool Rename(size_t i, std::string label);
  bool Remove(size_t i);
  void Clear();

  const std::vector<Marker>& Items() const { return items_; }
  size_t Size() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  const Marker& operator[](size_t i) const { return items_[i]; }

  // The first marker later than t, and the last one earlier than t.
  std::optional<size_t> After(double t) const;
  std::optional<size_t> Before(double t) const;
  // "M1", "M2", ...: the lowest such label not in use.
  std::string FreeLabel() const;
  // Raised by every change, so views know when to redraw.
  uint32_t Version() const { return version_; }

 private:
  std::vector<Marker> items_;
  uint32_t version_ = 0;
};

}  // namespace korvalog
