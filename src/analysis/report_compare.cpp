#include "analysis/report_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/report_summary.h"
#include "analysis/report_tables.h"

namespace korvalog {
namespace {

std::string Number(double v, int decimals) {
  if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;  // no "-0.000"
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// Which way is better: -1 less, +1 more, 0 neither (for information).
struct Figure {
  std::string title, unit;
  int decimals;
  int better;
};

class RowMaker {
 public:
  // `lb` and `la`: the captures' lengths in seconds, for counts per hour.
  RowMaker(ReportComparison& c, double lb, double la) : c_(c), lb_(lb), la_(la) {}
  void Group(std::string g) { group_ = std::move(g); }

  CompareRow& Add(const Figure& f, bool mb, double b, bool ma, double a) {
    CompareRow r;
    r.figure = f.title;
    r.unit = f.unit;
    r.decimals = f.decimals;
    r.measuredBefore = mb && std::isfinite(b);
    r.measuredAfter = ma && std::isfinite(a);
    r.before = r.measuredBefore ? b : 0;
    r.after = r.measuredAfter ? a : 0;
    r.group = group_;
    if (r.Both()) {
      // The change as printed decides "no change", so the words match the numbers.
      const double shown = std::stod(Number(r.Difference(), f.decimals));
      r.change = shown == 0 ? Change::Same
                 : f.better == 0 ? Change::None
                 : (shown < 0) == (f.better < 0) ? Change::Better
                                                 : Change::Worse;
    }
    c_.rows.push_back(std::move(r));
    return c_.rows.back();
  }
  // A key figure: judged against its target on both sides.
  void Key(KeyFigure k, const KeyFigureRow& b, const KeyFigureRow& a, int decimals) {
    std::string unit = std::string(KeyFigureValueText(k, 0));
    unit = unit.find(" %") != std::string::npos ? "%" : unit.find(" s") != std::string::npos ? "s" : "";
    if (k == KeyFigure::ReopensPer100) unit = "per 100 door cycles";
    if (k == KeyFigure::TripsPerDay) unit = "per day";
    if (k == KeyFigure::Shutdowns) unit = "count";
    CompareRow& r = Add({b.title, unit, decimals, HigherIsBetter(k) ? 1 : -1}, b.measured, b.value, a.measured, a.value);
    r.verdictBefore = b.verdict;
    r.verdictAfter = a.verdict;
    if (k == KeyFigure::TripsPerDay && r.Both()) r.change = r.change == Change::Same ? Change::Same : Change::None;
  }
  // A count over the capture, or per hour when the lengths differ.
  void Count(const std::string& title, bool mb, double b, bool ma, double a);

 private:
  ReportComparison& c_;
  double lb_, la_;
  std::string group_;
};

int KeyDecimals(KeyFigure k) {
  // As the report's first page prints them.
  const std::string text = KeyFigureValueText(k, 0);
  const size_t dot = text.find('.');
  if (dot == std::string::npos) return 0;
  size_t n = 0;
  while (dot + 1 + n < text.size() && text[dot + 1 + n] == '0') ++n;
  return static_cast<int>(n);
}

double Rate(double count, double seconds) { return seconds > 0 ? count * 3600.0 / seconds : 0; }

void RowMaker::Count(const std::string& title, bool mb, double b, bool ma, double a) {
  if (c_.perHour) {
    Add({title, "per hour", 3, -1}, mb, Rate(b, lb_), ma, Rate(a, la_));
  } else {
    Add({title, "count", 0, -1}, mb, b, ma, a);
  }
}

void AddTimes(RowMaker& m, const char* title, const FigureSummary& b, bool mb, const FigureSummary& a, bool ma) {
  m.Add({std::string(title) + ": mean", "s", 3, -1}, mb && b.count > 0, b.mean, ma && a.count > 0, a.mean);
  m.Add({std::string(title) + ": 95th percentile", "s", 3, -1}, mb && b.count > 0, b.p95, ma && a.count > 0, a.p95);
}

// The lift's figures, which need roles on both sides.
void AddLiftFigures(RowMaker& m, const ReportComparison& c, const ReportSummary& sb, const ReportSummary& sa,
                    const LiftReport& before, const LiftReport& after) {
  m.Group("Key figures");
  for (size_t i = 0; i < sb.figures.size() && i < sa.figures.size(); ++i) {
    const auto k = static_cast<KeyFigure>(i);
    if (k == KeyFigure::Shutdowns && c.perHour) continue;  // a count over unequal lengths: below, per hour
    m.Key(k, sb.figures[i], sa.figures[i], KeyDecimals(k));
  }
  if (c.perHour) {
    m.Count("Shutdowns", before.Measured(ReportFigure::Availability), before.availability.shutdowns,
            after.Measured(ReportFigure::Availability), after.availability.shutdowns);
  }
  m.Group("Hall calls");
  const FigureSummary wb = before.HallWaits(), wa = after.HallWaits();
  const bool hb = before.Measured(ReportFigure::HallWaits), ha = after.Measured(ReportFigure::HallWaits);
  m.Add({"Median hall-call wait", "s", 1, -1}, hb && wb.count > 0, wb.median, ha && wa.count > 0, wa.median);
  m.Add({"Longest hall-call wait", "s", 1, -1}, hb && wb.count > 0, wb.longest, ha && wa.count > 0, wa.longest);

  m.Group("Doors");
  AddTimes(m, "Door opening time", before.Opening(), before.Measured(ReportFigure::DoorOpening), after.Opening(),
           after.Measured(ReportFigure::DoorOpening));
  AddTimes(m, "Door closing time", before.Closing(), before.Measured(ReportFigure::DoorClosing), after.Closing(),
           after.Measured(ReportFigure::DoorClosing));
  AddTimes(m, "Door dwell time", before.Dwell(), before.Measured(ReportFigure::Dwell), after.Dwell(),
           after.Measured(ReportFigure::Dwell));
  m.Count("Reopens", before.Measured(ReportFigure::Reopens), static_cast<double>(before.doors.reopens.size()),
          after.Measured(ReportFigure::Reopens), static_cast<double>(after.doors.reopens.size()));

  m.Group("Trips");
  AddTimes(m, "Start delay", before.StartDelay(), before.Measured(ReportFigure::StartDelay), after.StartDelay(),
           after.Measured(ReportFigure::StartDelay));
  AddTimes(m, "Single-floor flight time", before.SingleFloorFlight(), before.Measured(ReportFigure::Flight),
           after.SingleFloorFlight(), after.Measured(ReportFigure::Flight));
  AddTimes(m, "Run time", before.RunTimes(OccurrenceDetail::None), before.Measured(ReportFigure::Trips),
           after.RunTimes(OccurrenceDetail::None), after.Measured(ReportFigure::Trips));
}

// Per floor, where both captures have the floor.
void AddFloorFigures(RowMaker& m, const LiftReport& before, const LiftReport& after) {
  for (const FloorFigures& fb : before.floors) {
    const auto fa = std::find_if(after.floors.begin(), after.floors.end(),
                                 [&](const FloorFigures& f) { return f.floor == fb.floor; });
    if (fa == after.floors.end()) continue;
    m.Group("Floor " + std::to_string(fb.floor));
    const std::string at = " at floor " + std::to_string(fb.floor);
    const auto mean = [&](const char* what, const FigureSummary& b, const FigureSummary& a) {
      if (b.count > 0 || a.count > 0) m.Add({std::string(what) + at, "s", 3, -1}, b.count > 0, b.mean, a.count > 0, a.mean);
    };
    mean("Mean hall wait up", fb.hallWaitUp, fa->hallWaitUp);
    mean("Mean hall wait down", fb.hallWaitDown, fa->hallWaitDown);
    mean("Mean door opening time", fb.opening, fa->opening);
    mean("Mean door closing time", fb.closing, fa->closing);
    if (fb.doorCycles > 0 && fa->doorCycles > 0) {
      m.Add({"Reopens per 100 door cycles" + at, "per 100 door cycles", 1, -1}, true,
            100.0 * fb.reopens / fb.doorCycles, true, 100.0 * fa->reopens / fa->doorCycles);
    }
  }
}

// The inputs' health, which needs no roles.
void AddInputHealth(RowMaker& m, const ReportComparison& c, const LiftReport& before, const TraceList& beforeNames,
                    const LiftReport& after) {
  m.Group("Inputs");
  uint32_t chatteringB = 0, chatteringA = 0, stuckB = 0, stuckA = 0;
  for (const ChannelHealth& h : before.health.channels) {
    chatteringB += h.chatter > 0;
    stuckB += h.stuckSpells > 0;
  }
  for (const ChannelHealth& h : after.health.channels) {
    chatteringA += h.chatter > 0;
    stuckA += h.stuckSpells > 0;
  }
  m.Add({"Chattering inputs", "count", 0, -1}, true, chatteringB, true, chatteringA);
  m.Add({"Stuck inputs", "count", 0, -1}, true, stuckB, true, stuckA);
  m.Count("Chatter", true, static_cast<double>(before.health.chatter.size()), true,
          static_cast<double>(after.health.chatter.size()));
  for (const ChannelPair& p : c.channels.pairs) {
    const ChannelHealth& hb = before.health.channels[p.before - 1];
    const ChannelHealth& ha = after.health.channels[p.after - 1];
    const std::string name = CompareChannelLabel(beforeNames, p.before);
    if (hb.chatter > 0 || ha.chatter > 0) m.Count("Chatter: " + name, true, hb.chatter, true, ha.chatter);
    if (hb.stuckSpells > 0 || ha.stuckSpells > 0) {
      m.Count("Stuck spells: " + name, true, hb.stuckSpells, true, ha.stuckSpells);
    }
  }
}

void AddNotes(ReportComparison& c, double lb, double la) {
  if (c.healthOnly) {
    c.notes.push_back("Neither capture has inputs with roles: only the inputs' health is compared. Give the inputs "
                      "their roles (Roles window or --roles) to compare the lift's figures.");
  } else if (!c.before.hasRoles || !c.after.hasRoles) {
    c.notes.push_back(std::string("The ") + (c.before.hasRoles ? "after" : "before") +
                      " capture has no inputs with roles: its lift figures are not measured.");
  }
  if (c.perHour) {
    c.notes.push_back("The captures differ in length (" + DurationText(lb) + " and " + DurationText(la) +
                      "): counts are compared per hour of capture, reopens per 100 door cycles.");
  }
  if (!c.unmatchedBefore.empty() || !c.unmatchedAfter.empty()) {
    c.notes.push_back("Inputs are paired by role, then by name; those without a partner are listed and not compared.");
  }
}

}  // namespace

std::string_view ChangeWord(Change c) {
  switch (c) {
    case Change::Same: return "no change";
    case Change::Better: return "better";
    case Change::Worse: return "worse";
    default: return "";
  }
}

std::string CompareRow::BeforeText() const { return measuredBefore ? Number(before, decimals) : std::string(); }
std::string CompareRow::AfterText() const { return measuredAfter ? Number(after, decimals) : std::string(); }
std::string CompareRow::ChangeText() const {
  if (!Both()) return {};
  const std::string n = Number(Difference(), decimals);
  return n[0] == '-' || std::stod(n) == 0 ? n : "+" + n;
}

std::string CompareRow::Label() const {
  if (unit == "s" || unit == "%" || figure.find(unit) != std::string::npos) return figure;
  return figure + " (" + unit + ")";
}

const CompareRow* ReportComparison::Find(std::string_view figure) const {
  for (const CompareRow& r : rows) {
    if (r.figure == figure) return &r;
  }
  return nullptr;
}

std::string ReportComparison::VerdictLine() const {
  int better = 0, worse = 0, same = 0;
  for (const CompareRow& r : rows) {
    better += r.change == Change::Better;
    worse += r.change == Change::Worse;
    same += r.change == Change::Same;
  }
  if (better + worse + same == 0) return "No figure was measured in both captures.";
  if (better + worse == 0) return "No change: all " + std::to_string(same) + " figures measured in both are the same.";
  return std::to_string(better) + (better == 1 ? " figure" : " figures") + " better, " + std::to_string(worse) +
         " worse, " + std::to_string(same) + " unchanged.";
}

void SetSources(ReportComparison& c, std::string beforeSource, std::string afterSource) {
  c.before.source = std::move(beforeSource);
  c.after.source = std::move(afterSource);
}

ReportComparison CompareReports(const LiftReport& before, const TraceList& beforeNames, const LiftReport& after,
                                const TraceList& afterNames, const ReportTargets& targets) {
  ReportComparison c;
  const ReportSummary sb = SummarizeReport(before, {}, targets);
  const ReportSummary sa = SummarizeReport(after, {}, targets);
  c.before = {"", before.Start(), before.End(), sb.spanText, before.Roles().Any()};
  c.after = {"", after.Start(), after.End(), sa.spanText, after.Roles().Any()};
  const double lb = before.SpanSeconds(), la = after.SpanSeconds();
  c.perHour = std::fabs(lb - la) > kSameLengthShare * std::max(lb, la);
  c.healthOnly = !c.before.hasRoles && !c.after.hasRoles;
  c.channels = MatchChannels(beforeNames, &before.health, afterNames, &after.health);
  for (int ch : c.channels.unmatchedBefore) c.unmatchedBefore.push_back(CompareChannelLabel(beforeNames, ch));
  for (int ch : c.channels.unmatchedAfter) c.unmatchedAfter.push_back(CompareChannelLabel(afterNames, ch));

  RowMaker m(c, lb, la);
  if (!c.healthOnly) {
    AddLiftFigures(m, c, sb, sa, before, after);
    AddFloorFigures(m, before, after);
  }
  AddInputHealth(m, c, before, beforeNames, after);
  AddNotes(c, lb, la);
  return c;
}

std::vector<PlotPlan> OverlaidHistograms(const LiftReport& before, const LiftReport& after) {
  struct Source {
    const char* title;
    const Occurrences& b;
    const Occurrences& a;
  };
  // Answered calls only, as the report's wait figures.
  const auto answered = [](const Occurrences& all) {
    Occurrences kept;
    for (const Occurrence& o : all) {
      if (o.detail != OccurrenceDetail::Cancelled) kept.push_back(o);
    }
    return kept;
  };
  const Occurrences waitsBefore = answered(before.calls.hallWaits), waitsAfter = answered(after.calls.hallWaits);
  const Source sources[] = {{"Door closing time, before and after", before.doors.closing, after.doors.closing},
                            {"Hall-call waiting time, before and after", waitsBefore, waitsAfter}};
  std::vector<PlotPlan> plans;
  for (const Source& s : sources) {
    // Shared bins: a plan over both sides' occurrences gives the bin width.
    Occurrences both = s.b;
    both.insert(both.end(), s.a.begin(), s.a.end());
    const PlotPlan shared = HistogramPlot(s.title, both);
    PlotPlan p = shared;
    p.series = {"before", "after"};
    p.bars.clear();
    p.yMax = 1;
    if (!shared.bars.empty()) {
      const double width = shared.bars.front().x1 - shared.bars.front().x0;
      for (int side = 0; side < 2; ++side) {
        std::vector<double> counts(static_cast<size_t>(std::ceil(shared.xMax / width)) + 1, 0);
        for (const Occurrence& o : side == 0 ? s.b : s.a) {
          if (!std::isfinite(o.seconds) || o.seconds < 0 || o.seconds > shared.xMax) continue;
          // A hair over the quotient, so 3.2 s lands in the 3.2 s bin and not below it.
          counts[std::min(counts.size() - 1, static_cast<size_t>(o.seconds / width + 1e-9))] += 1;
        }
        for (size_t i = 0; i < counts.size(); ++i) {
          if (counts[i] == 0) continue;
          // Before in the bin's left half, after in its right half.
          const double x0 = i * width + side * width / 2;
          p.bars.push_back({x0, x0 + width / 2, 0, counts[i], side, -1, -1});
          p.yMax = std::max(p.yMax, counts[i]);
        }
      }
    }
    plans.push_back(std::move(p));
  }
  return plans;
}

}  // namespace korvalog
