#include "core/fleet_connection.h"

namespace korvalog {

std::string FleetConninfo(const FleetConnection& c) {
  std::string out;
  const std::pair<const char*, const std::string*> fields[] = {
      {"host", &c.host}, {"dbname", &c.database}, {"user", &c.user}, {"sslmode", &c.sslmode}};
  for (const auto& [key, value] : fields) {
    if (value->empty()) continue;
    if (!out.empty()) out += ' ';
    out += std::string(key) + "='";
    for (char ch : *value) {
      if (ch == '\'' || ch == '\\') out += '\\';
      out += ch;
    }
    out += '\'';
  }
  return out;
}

}  // namespace korvalog
