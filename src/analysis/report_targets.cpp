#include "analysis/report_targets.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace korvalog {
namespace {

struct FigureInfo {
  std::string_view key, title, unit;
  bool higherBetter;
  int decimals;
  FigureTarget defaults;
};

// Rules of thumb for passenger lifts in offices and flats.
constexpr FigureInfo kInfo[kKeyFigures] = {
    {"availability", "Availability", " %", true, 2, {99.5, 99, 97}},
    {"mean-wait", "Mean hall-call wait", " s", false, 1, {20, 30, 40}},
    {"p95-wait", "95th-percentile hall-call wait", " s", false, 1, {45, 60, 90}},
    {"within-30s", "Calls answered within 30 s", " %", true, 1, {85, 75, 60}},
    {"within-60s", "Calls answered within 60 s", " %", true, 1, {98, 95, 90}},
    {"trips-per-day", "Trips per day", "", false, 0, {-1, -1, -1}},
    {"door-closing", "Mean door closing time", " s", false, 2, {3, 4, 5}},
    {"reopens-per-100", "Reopens per 100 door cycles", "", false, 1, {2, 5, 10}},
    {"shutdowns", "Shutdowns", "", false, 0, {-1, 0, 1}},
};

const FigureInfo& Info(KeyFigure f) { return kInfo[static_cast<size_t>(f)]; }

std::string Number(double v, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string Limit(double v) {
  // Whole numbers without decimals, others as written.
  char text[48];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

bool ReadNumber(std::string_view word, double& value) {
  if (word.empty() || word.size() > 30) return false;
  const std::string text(word);
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value) && value >= 0;
}

std::string Quoted(std::string_view w) {
  std::string out = "'";
  for (char c : w.substr(0, 40)) out += (static_cast<unsigned char>(c) < 32) ? '?' : c;
  return out + "'";
}

}  // namespace

std::string_view VerdictWord(Verdict v) {
  switch (v) {
    case Verdict::Excellent: return "excellent";
    case Verdict::Good: return "good";
    case Verdict::Acceptable: return "acceptable";
    case Verdict::Poor: return "poor";
    default: return "";
  }
}

std::string_view KeyFigureKey(KeyFigure f) { return Info(f).key; }
std::string_view KeyFigureTitle(KeyFigure f) { return Info(f).title; }
bool HigherIsBetter(KeyFigure f) { return Info(f).higherBetter; }

ReportTargets::ReportTargets() {
  for (int i = 0; i < kKeyFigures; ++i) targets_[i] = kInfo[i].defaults;
}

Verdict ReportTargets::Judge(KeyFigure f, double value) const {
  const FigureTarget& t = (*this)[f];
  if (!t.Any() || !std::isfinite(value)) return Verdict::None;
  const bool higher = HigherIsBetter(f);
  const auto meets = [&](double limit) { return limit >= 0 && (higher ? value >= limit : value <= limit); };
  if (meets(t.excellent)) return Verdict::Excellent;
  if (meets(t.good)) return Verdict::Good;
  if (meets(t.acceptable)) return Verdict::Acceptable;
  return Verdict::Poor;
}

std::string ReportTargets::Text(KeyFigure f) const {
  const FigureTarget& t = (*this)[f];
  if (!t.Any()) return "no target";
  const FigureInfo& info = Info(f);
  const std::string sign = info.higherBetter ? "\xE2\x89\xA5 " : "\xE2\x89\xA4 ";  // ≥ ≤
  std::string text;
  const std::pair<double, std::string_view> levels[] = {
      {t.excellent, "excellent"}, {t.good, "good"}, {t.acceptable, "acceptable"}};
  for (const auto& [limit, word] : levels) {
    if (limit < 0) continue;
    if (!text.empty()) text += ", ";
    text += std::string(word) + " " + sign + Limit(limit) + std::string(info.unit);
  }
  return text;
}

bool ParseTargets(std::string_view text, ReportTargets& targets, std::string& error) {
  ReportTargets read = targets;
  int number = 0;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) {
      if (end == text.size()) break;
      continue;
    }
    const std::string where = "line " + std::to_string(number) + ": ";
    int figure = -1;
    for (int i = 0; i < kKeyFigures; ++i) {
      if (kInfo[i].key == words[0]) figure = i;
    }
    if (figure < 0) {
      error = where + "unknown figure " + Quoted(words[0]);
      return false;
    }
    FigureTarget t;
    if (words.size() == 2 && words[1] == "none") {
      read[static_cast<KeyFigure>(figure)] = t;
      continue;
    }
    if (words.size() < 3 || words.size() % 2 == 0) {
      error = where + "expected " + std::string(words[0]) + " followed by pairs such as 'good 30' or by 'none'";
      return false;
    }
    for (size_t w = 1; w + 1 < words.size(); w += 2) {
      double* slot = words[w] == "excellent" ? &t.excellent
                     : words[w] == "good"    ? &t.good
                     : words[w] == "acceptable" ? &t.acceptable
                                                : nullptr;
      if (slot == nullptr) {
        error = where + "unknown verdict " + Quoted(words[w]) + " (excellent, good or acceptable)";
        return false;
      }
      if (!ReadNumber(words[w + 1], *slot)) {
        error = where + "'" + std::string(words[w]) + "' needs a number of zero or more, not " + Quoted(words[w + 1]);
        return false;
      }
    }
    // Excellent must be at least as strict as good, good as acceptable.
    const bool higher = kInfo[figure].higherBetter;
    const double order[] = {t.excellent, t.good, t.acceptable};
    double last = -1;
    for (double v : order) {
      if (v < 0) continue;
      if (last >= 0 && (higher ? v > last : v < last)) {
        error = where + "the limits of " + std::string(words[0]) + " are out of order";
        return false;
      }
      last = v;
    }
    read[static_cast<KeyFigure>(figure)] = t;
    if (end == text.size()) break;
  }
  targets = read;
  return true;
}

std::string KeyFigureValueText(KeyFigure f, double value) {
  const FigureInfo& info = Info(f);
  return Number(value, info.decimals) + std::string(info.unit);
}

}  // namespace korvalog
