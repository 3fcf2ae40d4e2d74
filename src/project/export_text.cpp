#include "project/export_text.h"

#include <charconv>

#include "base/byte_text.h"
#include "base/date_time.h"

namespace korvalog {
namespace {

bool IsAsciiAlnum(unsigned char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

void AppendPadded(std::string& out, int64_t value, int width) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  for (int n = static_cast<int>(res.ptr - buf); n < width; ++n) out += '0';
  out.append(buf, res.ptr);
}

}  // namespace

std::string WireName(int channel, std::string_view name) {
  std::string out = "ch";
  AppendPadded(out, channel, 3);
  bool gap = true;  // a "_" goes before the first kept character
  for (unsigned char c : name) {
    if (!IsAsciiAlnum(c)) {
      gap = true;
      continue;
    }
    if (gap) out += '_';
    gap = false;
    out += static_cast<char>(c);
  }
  return out;
}

int ChannelFromWireName(std::string_view name) {
  if (name.size() < 5 || name.substr(0, 2) != "ch" || (name.size() > 5 && name[5] != '_')) return 0;
  int channel = 0;
  for (size_t i = 2; i < 5; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    channel = channel * 10 + (name[i] - '0');
  }
  return channel >= 1 && channel <= 128 ? channel : 0;
}

std::string WireCode(int n) {
  constexpr int kChars = '~' - '!' + 1;  // 94 printable characters
  std::string out;
  do {
    out += static_cast<char>('!' + n % kChars);
    n = n / kChars - 1;
  } while (n >= 0);
  return out;
}

void AppendNumber(std::string& out, int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

void AppendSeconds(std::string& out, int64_t ms) {
  if (ms < 0) {
    out += '-';
    ms = -ms;
  }
  AppendPadded(out, ms / 1000, 1);
  out += '.';
  AppendPadded(out, ms % 1000, 3);
}

void AppendIsoLocal(std::string& out, double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  // Each field at its width, then the mark that follows it.
  const struct {
    int value, width;
    char after;
  } fields[] = {{f.year, 4, '-'},   {f.month, 2, '-'},  {f.day, 2, 'T'},        {f.hour, 2, ':'},
                {f.minute, 2, ':'}, {f.second, 2, '.'}, {f.millisecond, 3, '\0'}};
  for (const auto& field : fields) {
    AppendPadded(out, field.value, field.width);
    if (field.after != '\0') out += field.after;
  }
}

void AppendCsvField(std::string& out, std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string QuoteName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (unsigned char c : name) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F || c == '$') {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

bool UnquoteName(std::string_view text, size_t& pos, std::string& name) {
  if (pos >= text.size() || text[pos] != '"') return false;
  name.clear();
  for (size_t i = pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return true;
    }
    if (c != '\\') {
      name += c;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    if (text[i + 1] != 'x') {
      name += text[++i];
      continue;
    }
    if (i + 3 >= text.size() || HexDigitValue(text[i + 2]) < 0 || HexDigitValue(text[i + 3]) < 0) return false;
    name += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
    i += 3;
  }
  return false;
}

}  // namespace korvalog
