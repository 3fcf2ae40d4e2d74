#pragma once
// The targets the report's key figures are judged against, and the plain
// verdict a building owner reads beside each figure. Defaults follow the
// trade's rules of thumb for passenger lifts; a targets file replaces any of
// them, one figure a line:
//
//   # figure      verdict limit ...
//   mean-wait     excellent 20  good 30  acceptable 40
//   availability  good 99  acceptable 97
//   trips-per-day none
//
// A figure where less is better is judged "at most" each limit, the others
// (availability, answered-within shares) "at least". `none` leaves a figure
// without a verdict. `#` starts a comment; blank lines are passed over.
#include <array>
#include <string>
#include <string_view>

namespace korvalog {

enum class KeyFigure : uint8_t {
  Availability,   // percent of the capture in service
  MeanWait,       // seconds, answered hall calls
  P95Wait,        // seconds
  Within30,       // percent of answered hall calls answered within 30 s
  Within60,       // percent within 60 s
  TripsPerDay,
  DoorClosing,    // mean seconds
  ReopensPer100,  // reopens per 100 door cycles
  Shutdowns,      // count over the capture
};
inline constexpr int kKeyFigures = 9;

enum class Verdict : uint8_t { None, Excellent, Good, Acceptable, Poor };
std::string_view VerdictWord(Verdict v);  // "excellent", ..., "" for None

// The word in a targets file ("mean-wait") and the page's name ("Mean hall wait").
std::string_view KeyFigureKey(KeyFigure f);
std::string_view KeyFigureTitle(KeyFigure f);
bool HigherIsBetter(KeyFigure f);

struct FigureTarget {
  // Limits of excellent, good and acceptable; a negative one is not set.
  double excellent = -1, good = -1, acceptable = -1;
  bool Any() const { return excellent >= 0 || good >= 0 || acceptable >= 0; }
};

class ReportTargets {
 public:
  ReportTargets();  // the defaults
  const FigureTarget& operator[](KeyFigure f) const { return targets_[static_cast<size_t>(f)]; }
  FigureTarget& operator[](KeyFigure f) { return targets_[static_cast<size_t>(f)]; }

  Verdict Judge(KeyFigure f, double value) const;
  // The targets as printed beside the figure: "≤ 20 s excellent · ≤ 30 s good · ≤ 40 s acceptable".
  std::string Text(KeyFigure f) const;

 private:
  std::array<FigureTarget, kKeyFigures> targets_{};
};

// Reads a targets file over the defaults. False with "line N: ..." in error.
bool ParseTargets(std::string_view text, ReportTargets& targets, std::string& error);

// A figure's value with its unit as the page shows it ("23.4 s", "99.20 %").
std::string KeyFigureValueText(KeyFigure f, double value);

}  // namespace korvalog
