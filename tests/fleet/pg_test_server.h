#pragma once
// A real PostgreSQL server for the fleet tests, one per test program: made
// with initdb in a temporary folder, listening only on a Unix socket there,
// stopped when the program ends (also after a failed test). Run as root,
// the server runs as "nobody", since PostgreSQL refuses to run as root.
#include <string>

namespace korvalog::testing_support {

class PgTestServer {
 public:
  // The server of this test program, started on first use; nullptr (with
  // the reason in SkipReason()) where PostgreSQL is not installed.
  static PgTestServer* Get();
  static const std::string& SkipReason();

  // A conninfo for `user` (the superuser when empty) to database `db`.
  std::string Conninfo(const std::string& user = {}, const std::string& db = "postgres") const;
  // Runs SQL as the superuser through psql; false when psql failed.
  bool Sql(const std::string& sql) const;
  // A fast stop (connections cut, as a server going away) and a start again.
  bool Stop();
  bool Start();
  ~PgTestServer();

 private:
  PgTestServer() = default;
  bool Init();
  bool RequirePassword();
  int Run(const std::string& command) const;

  std::string bin_, folder_, asUser_;
  bool running_ = false;
};

}  // namespace korvalog::testing_support
