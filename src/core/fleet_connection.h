#pragma once
// Where the window publishes to: the fleet store's host, database, user and
// TLS mode as Properties keeps them. Never a password: libpq finds that in
// ~/.pgpass, the file PGPASSFILE names, or a service file.
#include <string>

namespace korvalog {

struct FleetConnection {
  std::string host, database, user, sslmode;
  bool Empty() const { return host.empty() && database.empty() && user.empty() && sslmode.empty(); }
  bool operator==(const FleetConnection&) const = default;
};

// A libpq conninfo of the fields that are set ("host='db.example' dbname='fleet'"),
// each value quoted so that spaces, quotes and backslashes stay as typed.
std::string FleetConninfo(const FleetConnection& c);

}  // namespace korvalog
