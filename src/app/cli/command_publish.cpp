// korvalog-cli publish FILE... --db CONNINFO [--site S] [--lift L]: each
// capture into the fleet store, one transaction each; a capture already
// there is said so and left alone. korvalog-cli fleet-init --db CONNINFO
// [--roles]: the store's schema made or upgraded, and the two roles.
#include <ostream>

#include "app/cli/cli_load.h"
#include "app/cli/cli_options.h"

#ifdef KORVALOG_FLEET_STORE
#include "fleet/fleet_publish.h"
#include "fleet/fleet_schema.h"
#include "fleet/pg_connection.h"
#endif

namespace korvalog::cli {

// Exit status when some capture could not be published (the others were).
constexpr int kExitNotPublished = 1;

#ifndef KORVALOG_FLEET_STORE
int RunPublish(const CommandArgs&, CliContext& ctx) {
  ctx.err << "korvalog-cli: this build has no fleet store (it was built without libpq)\n";
  return kExitUsage;
}
int RunFleetInit(const CommandArgs& args, CliContext& ctx) { return RunPublish(args, ctx); }
#else
namespace {

constexpr char kUsage[] = "publish FILE... --db CONNINFO [--site S] [--lift L]";
constexpr char kInitUsage[] = "fleet-init --db CONNINFO [--roles yes]";

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int RunFleetInit(const CommandArgs& args, CliContext& ctx) {
  ParsedArgs parsed;
  std::string error, db, roles = "no";
  if (!ParseOptions(args, std::vector<std::string_view>{"--db", "--roles"}, parsed, error)) return UsageError(ctx, error, kInitUsage);
  for (const auto& [name, value] : parsed.options) (name == "--db" ? db : roles) = value;
  if (db.empty() || !parsed.positional.empty()) return UsageError(ctx, "fleet-init takes --db only", kInitUsage);
  if (roles != "yes" && roles != "no") return UsageError(ctx, "--roles is yes or no", kInitUsage);
  PgConnection conn;
  if (!conn.Open(db) || !EnsureFleetSchema(conn, SchemaUse::Write, error) ||
      (roles == "yes" && !EnsureFleetRoles(conn, error))) {
    ctx.err << "korvalog-cli: " << (error.empty() ? conn.Error() : error) << "\n";
    return kExitUsage;
  }
  ctx.out << "fleet store ready: schema version " << kFleetSchemaVersion
          << (roles == "yes" ? ", roles korvalog_publisher and korvalog_reader" : "") << "\n";
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

int RunPublish(const CommandArgs& args, CliContext& ctx) {
  ParsedArgs parsed;
  std::string error, db;
  SiteDetails typed;
  if (!ParseOptions(args, std::vector<std::string_view>{"--db", "--site", "--lift"}, parsed, error)) return UsageError(ctx, error, kUsage);
  for (const auto& [name, value] : parsed.options) {
    if (name == "--db") db = value;
    if (name == "--site") typed.site = value;
    if (name == "--lift") typed.lift = value;
  }
  if (db.empty()) return UsageError(ctx, "--db is missing", kUsage);
  if (parsed.positional.empty()) return UsageError(ctx, "publish takes one or more files", kUsage);
  PgConnection conn;
  if (!conn.Open(db)) {
    ctx.err << "korvalog-cli: " << conn.Error() << "\n";
    return kExitUsage;
  }
  int failed = 0;
  for (const std::string& path : parsed.positional) {
    StreamLoadSinks sinks(ctx.err, path);
    if (!LoadForCommand(path, ctx, sinks)) {
      ++failed;
      continue;
    }
    PublishRequest request;
    request.site = ctx.view.Site;
    request.site.TakeFrom(typed);
    if (request.site.site.empty() || request.site.lift.empty()) {
      ctx.err << "korvalog-cli: " << path << ": the capture names no "
              << (request.site.site.empty() ? "site" : "lift") << ": give --site and --lift\n";
      ++failed;
      continue;
    }
    if (!ProjectTextForStore(path, ctx.data, ctx.view, request.projectText, error)) {
      ctx.err << "korvalog-cli: " << error << "\n";
      ++failed;
      continue;
    }
    request.fileName = BaseName(path);
    request.data = &ctx.data;
    request.view = &ctx.view;
    const PublishResult r = PublishCapture(conn, request);
    if (r.outcome == PublishOutcome::Failed) {
      ctx.err << "korvalog-cli: " << path << ": not published: " << r.error << "\n";
      ++failed;
      continue;
    }
    ctx.out << path << "\t" << (r.outcome == PublishOutcome::Published ? "published" : "already in the store")
            << "\tsite " << request.site.site << "\tlift " << request.site.lift << "\t" << r.events << " events";
    if (r.outcome == PublishOutcome::Published) ctx.out << "\t" << r.days << " days";
    ctx.out << "\n";
  }
  if (!FinishOutput(ctx)) return kExitUsage;
  return failed == 0 ? kExitOk : (failed == static_cast<int>(parsed.positional.size()) ? kExitUsage : kExitNotPublished);
}
#endif

}  // namespace korvalog::cli
