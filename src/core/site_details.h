#pragma once
// Where a capture was taken, for the report's first page: the site, the
// lift, the engineer who signs and the visit. Saved in a project as `P`
// lines after every other line (an older reader passes them over); a
// project without any is written as before.
#include <string>
#include <string_view>

namespace korvalog {

struct SiteDetails {
  static constexpr int kFields = 4;
  static constexpr size_t kMaxBytes = 200;  // per field; longer text is cut

  std::string site, lift, engineer, visit;

  std::string& Field(int i);
  const std::string& Field(int i) const;
  bool Empty() const { return site.empty() && lift.empty() && engineer.empty() && visit.empty(); }
  // Fields of `over` that are not empty replace these.
  void TakeFrom(const SiteDetails& over);
};

// "P", the field's number as two hex digits, then the text's bytes in hex.
std::string SiteLine(int field, const std::string& text);
// False (nothing changed) when the line is no site line of a known field.
bool ReadSiteLine(std::string_view line, SiteDetails& site);

// Site and lift from a logger log's description in mark-up ("Name" entry
// "Harbour House, Lift 2" gives site "Harbour House", lift "Lift 2"; a
// single lift's "Lift Names" names the lift).
SiteDetails SiteFromLogNotes(std::string_view notesMarkup);

}  // namespace korvalog
