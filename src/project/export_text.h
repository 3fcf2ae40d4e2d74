#pragma once
// The small text forms the export files share: legal wire names, wire codes,
// seconds and local times that read the same in every locale, CSV fields,
// and channel names kept exactly inside a value change dump.
#include <cstdint>
#include <string>
#include <string_view>

namespace korvalog {

// "ch013_Door_open": the channel number in three digits, then the name with
// every run of characters other than ASCII letters and digits made one "_"
// ("ch013" alone when nothing of the name is left).
std::string WireName(int channel, std::string_view name);

// The channel a wire name of that form gives back (1..128), or 0.
int ChannelFromWireName(std::string_view name);

// The identifier code of the n-th wire (n from 0): "!" .. "~", then two
// characters.
std::string WireCode(int n);

// A whole number in decimal, locale-free.
void AppendNumber(std::string& out, int64_t value);

// Milliseconds as seconds with three decimals and '.' ("-0.005", "12.500").
void AppendSeconds(std::string& out, int64_t ms);

// A date-time as ISO 8601 local time to the millisecond
// ("2025-01-01T09:12:34.500").
void AppendIsoLocal(std::string& out, double dateTime);

// A CSV field: as it stands, or in double quotes with quotes doubled when it
// holds a comma, a quote, a line end or leading or trailing spaces.
void AppendCsvField(std::string& out, std::string_view text);

// A channel name as a double-quoted ASCII string: '"' and '\' escaped with
// '\', other bytes outside printable ASCII (and '$', so no "$end" can appear)
// as \xHH. UnquoteName reads it back from text[pos] on; false when the text
// there is not such a string.
std::string QuoteName(std::string_view name);
bool UnquoteName(std::string_view text, size_t& pos, std::string& name);

}  // namespace korvalog
