#pragma once
// One connection to the fleet store through libpq. Every value travels as a
// parameter or through COPY, never inside the SQL text, and no message that
// leaves this class holds the connection's password.
#include <memory>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace korvalog {

// A statement's parameter: text, or raw bytes for a bytea column; or NULL.
struct PgParam {
  std::string value;
  bool binary = false;
  bool null = false;
  static PgParam Text(std::string v) { return {std::move(v), false, false}; }
  static PgParam Bytes(std::string v) { return {std::move(v), true, false}; }
  static PgParam Null() { return {{}, false, true}; }
};

// A double as text the server reads back to the same value.
std::string PgNumberText(double v);

class PgRows {
 public:
  PgRows() = default;
  explicit PgRows(pg_result* result);
  int Count() const;
  bool IsNull(int row, int column) const;
  std::string Text(int row, int column) const;
  long long Int(int row, int column) const;
  double Real(int row, int column) const;
  // A bytea column asked for in binary form (see PgConnection::Query).
  std::string Bytes(int row, int column) const;

 private:
  std::shared_ptr<pg_result> result_;
};

class PgConnection {
 public:
  PgConnection() = default;
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // The conninfo is a libpq keyword string or URI; passwords come from
  // ~/.pgpass, PGPASSFILE or a service file (one written into the conninfo
  // is still used, and kept out of every message).
  bool Open(const std::string& conninfo);
  bool IsOpen() const { return conn_ != nullptr; }

  // A statement without parameters (schema, BEGIN, COMMIT).
  bool Exec(const std::string& sql);
  // A statement with parameters; `binaryResult` asks for every column in
  // binary form (for bytea). False on failure, with Error() set.
  bool Query(const std::string& sql, const std::vector<PgParam>& params, PgRows& rows, bool binaryResult = false);
  bool Run(const std::string& sql, const std::vector<PgParam>& params) {
    PgRows rows;
    return Query(sql, params, rows);
  }
  // COPY ... FROM STDIN with `data` in COPY's text format.
  bool CopyIn(const std::string& copySql, const std::string& data);
  // Rolls back an open transaction, quietly (the first error is the one kept).
  void Rollback();

  // The last failure in one line, the password scrubbed; the server's
  // SQLSTATE code of it, when the server sent one.
  const std::string& Error() const { return error_; }
  const std::string& ErrorCode() const { return code_; }
  // The user the server knows this connection as.
  std::string User() const;

 private:
  bool Fail(const std::string& what, pg_result* result);

  pg_conn* conn_ = nullptr;
  std::string password_;  // only to scrub it from messages
  std::string error_, code_;
};

// `message` on one line with every occurrence of `secret` and of any
// "password=..." written in it replaced by "***".
std::string ScrubPassword(std::string message, const std::string& secret);

// A value in COPY's text format: backslash, tab, new line and carriage
// return escaped. Bytes go as "\\x" and hex.
std::string CopyText(const std::string& value);
std::string CopyBytes(const std::string& bytes);

}  // namespace korvalog
