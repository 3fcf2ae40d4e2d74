#include "fleet/fleet_schema.h"

namespace korvalog {
namespace {

// Version 1. Captures' events are blocks of compact records with their time
// span; a capture's other project lines (channel table, pattern, positions,
// order, markers, roles, site, gaps) are kept as its head and tail bytes so
// that a fetched whole capture is the published file byte for byte.
constexpr char kSchemaV1[] = R"sql(
CREATE SCHEMA IF NOT EXISTS korvalog;
CREATE TABLE korvalog.schema_version (
  version integer PRIMARY KEY,
  applied_at timestamptz NOT NULL DEFAULT now());
CREATE TABLE korvalog.sites (
  site_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  name text NOT NULL UNIQUE);
CREATE TABLE korvalog.lifts (
  lift_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  site_id bigint NOT NULL REFERENCES korvalog.sites,
  name text NOT NULL,
  engineer text NOT NULL DEFAULT '',
  visit text NOT NULL DEFAULT '',
  UNIQUE (site_id, name));
CREATE TABLE korvalog.captures (
  lift_id bigint NOT NULL,
  capture_id bigint GENERATED ALWAYS AS IDENTITY,
  identity text NOT NULL,
  first_time float8 NOT NULL,
  last_time float8 NOT NULL,
  events integer NOT NULL,
  file_name text NOT NULL,
  publisher text NOT NULL DEFAULT current_user,
  published_at timestamptz NOT NULL DEFAULT now(),
  head bytea NOT NULL,
  tail bytea NOT NULL,
  PRIMARY KEY (lift_id, capture_id),
  UNIQUE (lift_id, identity));
CREATE INDEX captures_span ON korvalog.captures (lift_id, first_time);
CREATE TABLE korvalog.channels (
  lift_id bigint NOT NULL,
  capture_id bigint NOT NULL,
  channel smallint NOT NULL,
  name text NOT NULL,
  role text NOT NULL,
  floor integer,
  PRIMARY KEY (lift_id, capture_id, channel));
CREATE TABLE korvalog.event_blocks (
  lift_id bigint NOT NULL,
  capture_id bigint NOT NULL,
  block integer NOT NULL,
  first_time float8 NOT NULL,
  last_time float8 NOT NULL,
  events integer NOT NULL,
  data bytea NOT NULL,
  PRIMARY KEY (lift_id, capture_id, block));
CREATE INDEX event_blocks_span ON korvalog.event_blocks (lift_id, first_time);
-- The blocks are packed already: no compression to try on each.
ALTER TABLE korvalog.event_blocks ALTER COLUMN data SET STORAGE EXTERNAL;
CREATE TABLE korvalog.link_gaps (
  lift_id bigint NOT NULL,
  capture_id bigint NOT NULL,
  gap integer NOT NULL,
  start_time float8 NOT NULL,
  end_time float8 NOT NULL,
  PRIMARY KEY (lift_id, capture_id, gap));
CREATE TABLE korvalog.markers (
  lift_id bigint NOT NULL,
  capture_id bigint NOT NULL,
  marker integer NOT NULL,
  time float8 NOT NULL,
  label text NOT NULL,
  PRIMARY KEY (lift_id, capture_id, marker));
CREATE TABLE korvalog.occurrences (
  lift_id bigint NOT NULL,
  capture_id bigint NOT NULL,
  row_count integer NOT NULL,
  csv text NOT NULL,
  PRIMARY KEY (lift_id, capture_id));
CREATE TABLE korvalog.lift_days (
  lift_id bigint NOT NULL,
  day date NOT NULL,
  capture_id bigint NOT NULL,
  span_s float8 NOT NULL,
  in_service_s float8 NOT NULL,
  trips integer NOT NULL,
  door_cycles integer NOT NULL,
  reopens integer NOT NULL,
  closing_total_s float8 NOT NULL,
  closing_count integer NOT NULL,
  hall_waits float8[] NOT NULL,
  shutdowns integer NOT NULL,
  chattering smallint[] NOT NULL,
  measured text NOT NULL,
  PRIMARY KEY (lift_id, day, capture_id));
INSERT INTO korvalog.schema_version (version) VALUES (1);
)sql";

// Index i holds the step from version i to i + 1.
const char* const kUpgrades[] = {kSchemaV1};
static_assert(sizeof kUpgrades / sizeof kUpgrades[0] == kFleetSchemaVersion);

constexpr char kRoles[] = R"sql(
DO $$ BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'korvalog_reader') THEN
    CREATE ROLE korvalog_reader NOLOGIN; END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'korvalog_publisher') THEN
    CREATE ROLE korvalog_publisher NOLOGIN; END IF;
END $$;
GRANT USAGE ON SCHEMA korvalog TO korvalog_reader, korvalog_publisher;
GRANT SELECT ON ALL TABLES IN SCHEMA korvalog TO korvalog_reader;
GRANT SELECT, INSERT ON ALL TABLES IN SCHEMA korvalog TO korvalog_publisher;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA korvalog TO korvalog_publisher;
)sql";

// The version the store holds: 0 for none.
bool StoredVersion(PgConnection& conn, int& version) {
  PgRows rows;
  if (!conn.Query("SELECT to_regclass('korvalog.schema_version') IS NOT NULL", {}, rows)) return false;
  version = 0;
  if (rows.Text(0, 0) != "t") return true;
  if (!conn.Query("SELECT coalesce(max(version), 0) FROM korvalog.schema_version", {}, rows)) return false;
  version = static_cast<int>(rows.Int(0, 0));
  return true;
}

bool Newer(int version, std::string& error) {
  if (version <= kFleetSchemaVersion) return false;
  error = "the store's schema is version " + std::to_string(version) + "; this korvalog-cli knows up to version " +
          std::to_string(kFleetSchemaVersion) + ": use a newer korvalog-cli";
  return true;
}

}  // namespace

bool EnsureFleetSchema(PgConnection& conn, SchemaUse use, std::string& error) {
  int version = 0;
  if (!StoredVersion(conn, version)) return false;
  if (Newer(version, error)) return false;
  if (version == kFleetSchemaVersion) return true;
  if (use == SchemaUse::Read) {
    error = version == 0 ? "the store holds no fleet schema yet: run korvalog-cli fleet-init or publish first"
                         : "the store's schema is version " + std::to_string(version) +
                               ", older than this korvalog-cli: run korvalog-cli fleet-init to upgrade it";
    return false;
  }
  // One session at a time makes or upgrades it; the others wait, then see it done.
  if (!conn.Exec("BEGIN") || !conn.Exec("SELECT pg_advisory_xact_lock(7243101)") || !StoredVersion(conn, version)) {
    conn.Rollback();
    return false;
  }
  if (Newer(version, error)) {
    conn.Rollback();
    return false;
  }
  for (int v = version; v < kFleetSchemaVersion; ++v) {
    if (!conn.Exec(kUpgrades[v])) {
      conn.Rollback();
      return false;
    }
  }
  return conn.Exec("COMMIT");
}

bool EnsureFleetRoles(PgConnection& conn, std::string& /*error*/) { return conn.Exec(kRoles); }

}  // namespace korvalog
