#include "analysis/compare_csv.h"

namespace korvalog {
namespace {

// A field with a comma, a quote or a line end is quoted (a channel's name may hold any of them).
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

std::string CompareCsv(const ReportComparison& c) {
  std::string csv = "figure,unit,before,after,change\r\n";
  for (const CompareRow& r : c.rows) {
    csv += Field(r.figure) + "," + Field(r.unit) + "," + r.BeforeText() + "," + r.AfterText() + "," + r.ChangeText() +
           "\r\n";
  }
  return csv;
}

}  // namespace korvalog
