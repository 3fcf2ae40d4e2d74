#include "core/site_details.h"

#include <vector>

#include "base/byte_text.h"

namespace korvalog {
namespace {

std::string Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

bool StartsLikeLift(std::string_view s) {
  for (std::string_view word : {"lift", "car", "elevator"}) {
    if (s.size() < word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) same = (s[i] | 0x20) == word[i];
    if (same) return true;
  }
  return false;
}

}  // namespace

std::string& SiteDetails::Field(int i) {
  switch (i) {
    case 0: return site;
    case 1: return lift;
    case 2: return engineer;
    default: return visit;
  }
}

const std::string& SiteDetails::Field(int i) const { return const_cast<SiteDetails*>(this)->Field(i); }

void SiteDetails::TakeFrom(const SiteDetails& over) {
  for (int i = 0; i < kFields; ++i) {
    if (!over.Field(i).empty()) Field(i) = over.Field(i).substr(0, kMaxBytes);
  }
}

std::string SiteLine(int field, const std::string& text) {
  std::string line = "P";
  AppendByteHex(line, static_cast<uint8_t>(field));
  const size_t n = text.size() < SiteDetails::kMaxBytes ? text.size() : SiteDetails::kMaxBytes;
  for (size_t i = 0; i < n; ++i) AppendByteHex(line, static_cast<uint8_t>(text[i]));
  return line;
}

bool ReadSiteLine(std::string_view line, SiteDetails& site) {
  if (line.size() < 3 || line[0] != 'P' || line.size() % 2 != 1) return false;
  const size_t bytes = (line.size() - 3) / 2;
  if (bytes > SiteDetails::kMaxBytes) return false;
  const int hi = HexDigitValue(line[1]), lo = HexDigitValue(line[2]);
  if (hi != 0 || lo < 0 || lo >= SiteDetails::kFields) return false;
  std::string text(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) {
    const int a = HexDigitValue(line[3 + 2 * i]), b = HexDigitValue(line[4 + 2 * i]);
    if (a < 0 || b < 0) return false;
    text[i] = static_cast<char>(a * 16 + b);
  }
  site.Field(lo) = std::move(text);
  return true;
}

SiteDetails SiteFromLogNotes(std::string_view notes) {
  // Entries are "Label\t\bvalue\b" joined by "\n", the escapes written out.
  SiteDetails out;
  std::string name, liftNames, liftCount;
  size_t at = 0;
  while (at < notes.size()) {
    size_t end = notes.find("\\n", at);
    if (end == std::string_view::npos) end = notes.size();
    const std::string_view entry = notes.substr(at, end - at);
    at = end + 2;
    const size_t tab = entry.find("\\t\\b");
    if (tab == std::string_view::npos) continue;
    std::string_view value = entry.substr(tab + 4);
    if (value.size() >= 2 && value.substr(value.size() - 2) == "\\b") value.remove_suffix(2);
    const std::string_view label = entry.substr(0, tab);
    if (label == "Name") name = Trimmed(value);
    if (label == "Lift Names") liftNames = Trimmed(value);
    if (label == "Num Lifts") liftCount = Trimmed(value);
  }
  out.site = name.substr(0, SiteDetails::kMaxBytes);
  const size_t comma = name.rfind(',');
  if (comma != std::string::npos && StartsLikeLift(Trimmed(std::string_view(name).substr(comma + 1)))) {
    out.site = Trimmed(std::string_view(name).substr(0, comma));
    out.lift = Trimmed(std::string_view(name).substr(comma + 1));
  } else if (liftCount == "1" && !liftNames.empty()) {
    out.lift = liftNames.substr(0, SiteDetails::kMaxBytes);
  }
  return out;
}

}  // namespace korvalog
