// The report's tables cut to what a page can carry: a capture of weeks gives
// hundreds of hours and thousands of Sequencer runs, which belong in the CSV.
#include <algorithm>
#include <numeric>

#include "analysis/report_tables.h"

namespace korvalog {
namespace {

void Keep(ReportTable& t, std::vector<size_t> rows) {
  std::sort(rows.begin(), rows.end());
  ReportTable kept = t;
  kept.rows.clear();
  kept.rowFrom.clear();
  kept.rowTo.clear();
  for (size_t i : rows) {
    kept.rows.push_back(t.rows[i]);
    kept.rowFrom.push_back(t.rowFrom[i]);
    kept.rowTo.push_back(t.rowTo[i]);
  }
  t = std::move(kept);
}

std::string AddNote(const std::string& note, const std::string& more) { return note.empty() ? more : note + " " + more; }

unsigned long Number(const std::string& cell) { return std::strtoul(cell.c_str(), nullptr, 10); }

}  // namespace

std::vector<ReportTable> DocumentTables(const LiftReport& report, const TraceList& names, size_t maxRows) {
  std::vector<ReportTable> tables = ReportTables(report, names, maxRows);
  const size_t busiest = std::min<size_t>(12, maxRows);
  for (ReportTable& t : tables) {
    const size_t n = t.rows.size();
    if (n <= maxRows && !(t.title == "Per hour" && n > 48)) continue;
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    if (t.title == "Per hour") {
      // By trips, then answered calls: the hours the lift worked hardest.
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const auto key = [&](size_t i) { return std::make_pair(Number(t.rows[i][1]), Number(t.rows[i][2])); };
        return key(a) > key(b);
      });
      order.resize(busiest);
      Keep(t, order);
      t.title = "Busiest hours";
      t.note = AddNote(t.note, "The " + std::to_string(busiest) + " busiest of " + std::to_string(n) +
                                   " hours by trips; the Per day table and the Report window give every hour's counts.");
    } else {
      order.resize(maxRows);
      Keep(t, order);
      t.note = AddNote(t.note, "The first " + std::to_string(maxRows) + " of " + std::to_string(n) +
                                   " rows; every occurrence is in the CSV.");
    }
  }
  return tables;
}

}  // namespace korvalog
