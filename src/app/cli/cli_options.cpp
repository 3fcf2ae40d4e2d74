#include "app/cli/cli_options.h"

#include <algorithm>
#include <cstdlib>

#include "core/records.h"

namespace korvalog::cli {

bool ParseOptions(const CommandArgs& args, const std::vector<std::string_view>& known, ParsedArgs& parsed,
                  std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(a);
      continue;
    }
    const size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      error = "unknown option " + name;
      return false;
    }
    if (eq != std::string::npos) {
      parsed.options.emplace_back(name, a.substr(eq + 1));
    } else if (i + 1 < args.size()) {
      parsed.options.emplace_back(name, args[++i]);
    } else {
      error = name + " needs a value";
      return false;
    }
  }
  return true;
}

bool WholeNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) {
    return false;
  }
  value = std::strtol(text.c_str(), nullptr, 10);
  return value >= low && value <= high;
}

bool ParseChannelList(std::string_view text, std::vector<int>& out, std::string& error) {
  size_t pos = 0;
  while (true) {
    const size_t comma = std::min(text.find(',', pos), text.size());
    const std::string_view item = text.substr(pos, comma - pos);
    int value = 0;
    bool ok = !item.empty() && item.size() <= 3;
    for (char ch : item) {
      ok = ok && ch >= '0' && ch <= '9';
      value = value * 10 + (ch - '0');
    }
    if (!ok || value < 1 || value > kChannelCount) {
      error = "not a channel 1..128: '" + std::string(item) + "'";
      return false;
    }
    out.push_back(value);
    if (comma == text.size()) return true;
    pos = comma + 1;
  }
}

}  // namespace korvalog::cli
