#include "project/export_range.h"

#include <cmath>

#include "base/date_time.h"
#include "core/level_walk.h"

namespace korvalog {
namespace {

uint32_t StoredEnd(const CaptureData& data, uint32_t index) {
  const uint32_t count = data.DataPresent.load(std::memory_order_acquire) != 0 ? data.Store.Count() : 0;
  return index < count ? index : count;
}

PositionSnapshot Normalised(const PositionSnapshot& s) {
  PositionSnapshot out = s;
  NormaliseStates(out);
  return out;
}

// Reads a run of decimal digits at text[pos]; false when there is none or
// it has more than `maxDigits`.
bool Digits(std::string_view text, size_t& pos, size_t maxDigits, int& value) {
  const size_t begin = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - begin < maxDigits) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > begin && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

bool Expect(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// ".zzz" with one to three digits, or nothing.
bool Milliseconds(std::string_view text, size_t& pos, int& ms) {
  ms = 0;
  if (pos == text.size()) return true;
  if (!Expect(text, pos, '.')) return false;
  const size_t begin = pos;
  int digits = 0;
  if (!Digits(text, pos, 3, digits)) return false;
  for (size_t n = pos - begin; n < 3; ++n) digits *= 10;
  ms = digits;
  return true;
}

// "12", "12.5", ".5": seconds, read digit by digit so the locale's decimal
// separator plays no part.
bool ParseSeconds(std::string_view text, double& seconds) {
  if (text.empty() || text.size() > 24 || text == ".") return false;
  double whole = 0.0, frac = 0.0, scale = 1.0;
  bool dot = false;
  for (char c : text) {
    if (c == '.' && !dot) {
      dot = true;
    } else if (c >= '0' && c <= '9') {
      if (dot) {
        scale /= 10.0;
        frac += (c - '0') * scale;
      } else {
        whole = whole * 10.0 + (c - '0');
      }
    } else {
      return false;
    }
  }
  seconds = whole + frac;
  return true;
}

// "dd/mm hhnn:ss.zzz" (the dump's stamp).
bool ParseStamp(std::string_view text, DateTimeFields& f) {
  size_t pos = 0;
  int hhnn = 0;
  if (!Digits(text, pos, 2, f.day) || !Expect(text, pos, '/') || !Digits(text, pos, 2, f.month) ||
      !Expect(text, pos, ' ')) {
    return false;
  }
  const size_t begin = pos;
  if (!Digits(text, pos, 4, hhnn) || pos - begin != 4 || !Expect(text, pos, ':') ||
      !Digits(text, pos, 2, f.second) || !Milliseconds(text, pos, f.millisecond)) {
    return false;
  }
  f.hour = hhnn / 100;
  f.minute = hhnn % 100;
  return true;
}

// "YYYY-MM-DDThh:mm:ss[.zzz]" (a space may stand for the T).
bool ParseIso(std::string_view text, DateTimeFields& f) {
  size_t pos = 0;
  return Digits(text, pos, 4, f.year) && Expect(text, pos, '-') && Digits(text, pos, 2, f.month) &&
         Expect(text, pos, '-') && Digits(text, pos, 2, f.day) &&
         (Expect(text, pos, 'T') || Expect(text, pos, ' ')) && Digits(text, pos, 2, f.hour) &&
         Expect(text, pos, ':') && Digits(text, pos, 2, f.minute) && Expect(text, pos, ':') &&
         Digits(text, pos, 2, f.second) && Milliseconds(text, pos, f.millisecond);
}

}  // namespace

ExportRange WholeCaptureRange(const CaptureData& data) {
  ExportRange r{Normalised(data.CaptureStart), data.CaptureStart};
  r.from.index = StoredEnd(data, data.CaptureStart.index);
  r.to = r.from;
  AdvanceLevelsTo(r.to, data.Store.Data(), StoredEnd(data, data.CaptureEnd.index));
  r.to.time = data.CaptureEnd.time;
  return r;
}

ExportRange MakeExportRange(const CaptureData& data, double from, double to) {
  const double start = data.CaptureStart.time;
  const double end = data.CaptureEnd.time;
  from = std::isnan(from) || from < start ? start : (from > end ? end : from);
  to = std::isnan(to) || to > end ? end : (to < from ? from : to);
  const EventRecord* events = data.Store.Data();
  const uint32_t last = StoredEnd(data, data.CaptureEnd.index);
  ExportRange r{Normalised(data.CaptureStart), {}};
  r.from.index = StoredEnd(data, data.CaptureStart.index);
  // Bounds compare to the millisecond, as the times are shown and typed.
  const int64_t fromMs = DateTimeToMs(from);
  const int64_t toMs = DateTimeToMs(to);
  uint32_t i = r.from.index;
  while (i < last && DateTimeToMs(events[i].time) < fromMs) ++i;
  AdvanceLevelsTo(r.from, events, i);
  r.from.time = from;
  while (i < last && DateTimeToMs(events[i].time) <= toMs) ++i;
  r.to = r.from;
  AdvanceLevelsTo(r.to, events, i);
  r.to.time = to;
  return r;
}

std::vector<int> ExportChannels(const CaptureData& data, const ExportRange& range, ChannelChoice choice) {
  std::vector<int> out;
  if (choice == ChannelChoice::All) {
    for (int c = 1; c <= kChannelCount; ++c) out.push_back(c);
    return out;
  }
  bool changed[kChannelCount] = {};
  uint8_t level[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) level[c] = range.from.states[c];
  const EventRecord* events = data.Store.Data();
  for (uint32_t i = range.from.index; i < range.to.index; ++i) {
    const unsigned c = events[i].channel;
    if (c - 1u >= static_cast<unsigned>(kChannelCount)) continue;
    const uint8_t s = events[i].state != 0 ? 1 : 0;
    if (s != level[c - 1]) changed[c - 1] = true;
    level[c - 1] = s;
  }
  for (int c = 1; c <= kChannelCount; ++c) {
    if (changed[c - 1]) out.push_back(c);
  }
  return out;
}

bool ParseExportTime(std::string_view text, const CaptureData& data, double& out) {
  const double start = data.CaptureStart.time;
  double seconds = 0.0;
  if (ParseSeconds(text, seconds)) {
    out = start + seconds / kSecondsPerDay;
    return true;
  }
  DateTimeFields f;
  if (ParseIso(text, f)) return TryEncodeDateTime(f, out);
  if (!ParseStamp(text, f)) return false;
  // The stamp has no year: take the one nearest the capture start, so a
  // capture over New Year reads right.
  const int startYear = FieldsFromMs(DateTimeToMs(start)).year;
  bool found = false;
  for (int year = startYear - 1; year <= startYear + 1; ++year) {
    f.year = year;
    double t = 0.0;
    if (!TryEncodeDateTime(f, t)) continue;
    if (!found || std::fabs(t - start) < std::fabs(out - start)) out = t;
    found = true;
  }
  if (!found) return false;
  out -= 5.0 / kMsPerDay;  // the stamp shows the time plus 5 ms
  return true;
}

int64_t MsFrom(double origin, double time) { return DateTimeToMs(time) - DateTimeToMs(origin); }

}  // namespace korvalog
