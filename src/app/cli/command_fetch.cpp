// korvalog-cli fetch --db CONNINFO --lift L [--site S] --from T --to T --out
// FILE.kv: a stretch of one lift's time back from the fleet store as a
// project; a whole capture comes back byte for byte as published.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"
#include "core/file_identity.h"
#include "project/project_file.h"

#ifdef KORVALOG_FLEET_STORE
#include "fleet/fleet_fetch.h"
#include "fleet/fleet_schema.h"
#include "fleet/pg_connection.h"
#endif

namespace korvalog::cli {

#ifndef KORVALOG_FLEET_STORE
int RunFetch(const CommandArgs&, CliContext& ctx) {
  ctx.err << "korvalog-cli: this build has no fleet store (it was built without libpq)\n";
  return kExitUsage;
}
#else
int RunFetch(const CommandArgs& args, CliContext& ctx) {
  static constexpr char kUsage[] = "fetch --db CONNINFO --lift L [--site S] --from T --to T --out FILE.kv";
  ParsedArgs parsed;
  std::string error, db, site, lift, fromText, toText, out;
  if (!ParseOptions(args, std::vector<std::string_view>{"--db", "--lift", "--site", "--from", "--to", "--out"}, parsed, error)) {
    return UsageError(ctx, error, kUsage);
  }
  for (const auto& [name, value] : parsed.options) {
    if (name == "--db") db = value;
    if (name == "--lift") lift = value;
    if (name == "--site") site = value;
    if (name == "--from") fromText = value;
    if (name == "--to") toText = value;
    if (name == "--out") out = value;
  }
  if (!parsed.positional.empty()) return UsageError(ctx, "fetch takes options only", kUsage);
  for (const auto& [value, name] : {std::pair{db, "--db"}, {lift, "--lift"}, {fromText, "--from"},
                                    {toText, "--to"}, {out, "--out"}}) {
    if (value.empty()) return UsageError(ctx, std::string(name) + " is missing", kUsage);
  }
  double from = 0, to = 0;
  if (!ParseStoreTime(fromText, from)) return UsageError(ctx, "cannot read --from '" + fromText + "'", kUsage);
  if (!ParseStoreTime(toText, to)) return UsageError(ctx, "cannot read --to '" + toText + "'", kUsage);
  if (from > to) return UsageError(ctx, "--from is after --to", kUsage);
  if (!ReopensAsProject(out)) return UsageError(ctx, out + ": a project name must contain .kv and not end in .vcd", kUsage);
  if (KindOfPath(out) == PathKind::Folder || KindOfPath(out) == PathKind::Other) {
    ctx.err << "korvalog-cli: " << out << ": is not a regular file\n";
    return kExitUsage;
  }
  PgConnection conn;
  int64_t liftId = 0;
  if (!conn.Open(db) || !EnsureFleetSchema(conn, SchemaUse::Read, error) ||
      !FindLift(conn, site, lift, liftId, error)) {
    ctx.err << "korvalog-cli: " << (error.empty() ? conn.Error() : error) << "\n";
    return kExitUsage;
  }
  const FetchResult r = FetchStretch(conn, liftId, from, to, out);
  if (!r.ok) {
    ctx.err << "korvalog-cli: " << r.error << "\n";
    return kExitUsage;
  }
  ctx.out << out << "\t" << r.events << " events from " << r.captures << (r.captures == 1 ? " capture" : " captures")
          << (r.wholeCapture ? " (the whole capture)" : "") << "\n";
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}
#endif

}  // namespace korvalog::cli
