#pragma once
// The fleet store's tables, made and brought up to date by the tool. Every
// large table leads with lift_id and is keyed by it, so that a distributed
// PostgreSQL can spread the store by lift as it stands.
#include <string>

#include "fleet/pg_connection.h"

namespace korvalog {

// The schema version this program writes and reads.
constexpr int kFleetSchemaVersion = 1;

enum class SchemaUse { Read, Write };

// Makes the schema when the store has none (only for Write), upgrades an
// older one, and refuses one newer than this program ("the store's schema
// is version 3; this korvalog-cli knows up to version 1"). False with
// conn.Error() or `error` set.
bool EnsureFleetSchema(PgConnection& conn, SchemaUse use, std::string& error);

// The two group roles, korvalog_publisher (insert and select) and
// korvalog_reader (select), made when missing and granted on every table.
// Needs a user that may create roles.
bool EnsureFleetRoles(PgConnection& conn, std::string& error);

}  // namespace korvalog
