#include "fleet/pg_connection.h"

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>

namespace korvalog {

std::string PgNumberText(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}
namespace {

void OneLine(std::string& text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
}

// The password a conninfo carries, if any, to keep it out of messages.
std::string PasswordIn(const std::string& conninfo) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (error != nullptr) PQfreemem(error);
  std::string password;
  for (PQconninfoOption* o = options; o != nullptr && o->keyword != nullptr; ++o) {
    if (std::string(o->keyword) == "password" && o->val != nullptr) password = o->val;
  }
  if (options != nullptr) PQconninfoFree(options);
  return password;
}

}  // namespace

std::string ScrubPassword(std::string message, const std::string& secret) {
  OneLine(message);
  if (!secret.empty()) {
    for (size_t at = message.find(secret); at != std::string::npos; at = message.find(secret, at + 3)) {
      message.replace(at, secret.size(), "***");
    }
  }
  for (size_t at = message.find("password="); at != std::string::npos; at = message.find("password=", at + 1)) {
    size_t end = at + 9;
    while (end < message.size() && message[end] != ' ' && message[end] != '&') ++end;
    message.replace(at + 9, end - at - 9, "***");
  }
  return message;
}

std::string CopyText(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string CopyBytes(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\\\\x";
  out.reserve(3 + bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

PgRows::PgRows(pg_result* result) : result_(result, PQclear) {}
int PgRows::Count() const { return result_ ? PQntuples(result_.get()) : 0; }
bool PgRows::IsNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
std::string PgRows::Text(int row, int column) const {
  return std::string(PQgetvalue(result_.get(), row, column), PQgetlength(result_.get(), row, column));
}
long long PgRows::Int(int row, int column) const { return std::strtoll(PQgetvalue(result_.get(), row, column), nullptr, 10); }
double PgRows::Real(int row, int column) const { return std::strtod(PQgetvalue(result_.get(), row, column), nullptr); }
std::string PgRows::Bytes(int row, int column) const { return Text(row, column); }

PgConnection::~PgConnection() {
  if (conn_ != nullptr) PQfinish(conn_);
}

bool PgConnection::Open(const std::string& conninfo) {
  password_ = PasswordIn(conninfo);
  conn_ = PQconnectdb(conninfo.c_str());
  if (conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK) return true;
  error_ = "cannot reach the store: " +
           ScrubPassword(conn_ != nullptr ? PQerrorMessage(conn_) : "out of memory", password_);
  if (conn_ != nullptr) PQfinish(conn_);
  conn_ = nullptr;
  return false;
}

bool PgConnection::Fail(const std::string& what, pg_result* result) {
  std::string message = result != nullptr ? PQresultErrorMessage(result) : "";
  if (message.empty() && conn_ != nullptr) message = PQerrorMessage(conn_);
  const char* code = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  code_ = code != nullptr ? code : "";
  error_ = ScrubPassword(what + ": " + message, password_);
  if (result != nullptr) PQclear(result);
  return false;
}

bool PgConnection::Exec(const std::string& sql) {
  if (conn_ == nullptr) return false;
  PGresult* result = PQexec(conn_, sql.c_str());
  const ExecStatusType status = PQresultStatus(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return Fail("the store refused a statement", result);
  PQclear(result);
  return true;
}

bool PgConnection::Query(const std::string& sql, const std::vector<PgParam>& params, PgRows& rows, bool binaryResult) {
  if (conn_ == nullptr) return false;
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const PgParam& p : params) {
    values.push_back(p.null ? nullptr : p.value.data());
    lengths.push_back(static_cast<int>(p.value.size()));
    formats.push_back(p.binary ? 1 : 0);
  }
  PGresult* result = PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr, values.data(),
                                  lengths.data(), formats.data(), binaryResult ? 1 : 0);
  const ExecStatusType status = PQresultStatus(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return Fail("the store refused a statement", result);
  rows = PgRows(result);
  return true;
}

bool PgConnection::CopyIn(const std::string& copySql, const std::string& data) {
  if (conn_ == nullptr) return false;
  PGresult* result = PQexec(conn_, copySql.c_str());
  if (PQresultStatus(result) != PGRES_COPY_IN) return Fail("the store refused a bulk load", result);
  PQclear(result);
  constexpr size_t kChunk = size_t{1} << 20;
  for (size_t at = 0; at < data.size(); at += kChunk) {
    const size_t n = data.size() - at < kChunk ? data.size() - at : kChunk;
    if (PQputCopyData(conn_, data.data() + at, static_cast<int>(n)) != 1) {
      return Fail("the bulk load was cut off", nullptr);
    }
  }
  if (PQputCopyEnd(conn_, nullptr) != 1) return Fail("the bulk load was cut off", nullptr);
  result = PQgetResult(conn_);
  const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
  if (!ok) return Fail("the store refused a bulk load", result);
  PQclear(result);
  while ((result = PQgetResult(conn_)) != nullptr) PQclear(result);
  return true;
}

void PgConnection::Rollback() {
  if (conn_ == nullptr || PQstatus(conn_) != CONNECTION_OK) return;
  if (PQtransactionStatus(conn_) == PQTRANS_IDLE) return;
  PGresult* result = PQexec(conn_, "ROLLBACK");
  PQclear(result);
}

std::string PgConnection::User() const { return conn_ != nullptr ? PQuser(conn_) : ""; }

}  // namespace korvalog
