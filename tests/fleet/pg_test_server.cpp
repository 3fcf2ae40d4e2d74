#include "pg_test_server.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace korvalog::testing_support {
namespace {

std::string g_skip;

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The newest installed server's programs.
std::string ServerBin() {
  std::string best;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
    const std::string bin = entry.path().string() + "/bin";
    if (std::filesystem::exists(bin + "/initdb") && bin > best) best = bin;
  }
  return best;
}

}  // namespace

PgTestServer* PgTestServer::Get() {
  static std::unique_ptr<PgTestServer> server;
  static bool tried = false;
  if (!tried) {
    tried = true;
    std::unique_ptr<PgTestServer> s(new PgTestServer);
    if (s->Init()) server = std::move(s);
  }
  return server.get();
}

const std::string& PgTestServer::SkipReason() { return g_skip; }

int PgTestServer::Run(const std::string& command) const {
  const std::string line = asUser_.empty() ? command : "runuser -u " + asUser_ + " -- " + command;
  return std::system((line + " >>" + folder_ + "/server.log 2>&1").c_str());
}

bool PgTestServer::Init() {
  bin_ = ServerBin();
  if (bin_.empty()) {
    g_skip = "PostgreSQL's server programs are not installed (scripts/install-deps.sh installs them)";
    return false;
  }
  char pattern[] = "/tmp/kvpg-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    g_skip = "cannot make a temporary folder";
    return false;
  }
  folder_ = pattern;
  if (geteuid() == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
      g_skip = "cannot hand the server's folder to the user nobody";
      return false;
    }
    asUser_ = "nobody";
  }
  if (Run(bin_ + "/initdb -D " + folder_ + "/data -U korvalog_test --auth=trust --no-sync -E UTF8 --locale=C") != 0 ||
      !RequirePassword() || !Start()) {
    g_skip = "the test server did not start: see " + folder_ + "/server.log";
    return false;
  }
  return true;
}

// The user "pw_user" must give a password (the password tests); every
// other user is trusted.
bool PgTestServer::RequirePassword() {
  const std::string hba = folder_ + "/data/pg_hba.conf";
  std::FILE* f = std::fopen(hba.c_str(), "r");
  if (f == nullptr) return false;
  std::string text = "local all pw_user scram-sha-256\n";
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  f = std::fopen(hba.c_str(), "w");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

bool PgTestServer::Start() {
  // fsync and full pages off: the tests' data is thrown away anyway. Commits
  // still reach the kernel, so a fast stop (no machine crash) keeps them.
  running_ = Run(bin_ + "/pg_ctl -D " + folder_ + "/data -w -l " + folder_ + "/postgres.log -o \"-k " + folder_ +
                 " -c listen_addresses='' -c fsync=off -c full_page_writes=off\" start") == 0;
  return running_;
}

bool PgTestServer::Stop() {
  const bool ok = Run(bin_ + "/pg_ctl -D " + folder_ + "/data -w -m immediate stop") == 0;
  running_ = !ok;
  return ok;
}

PgTestServer::~PgTestServer() {
  if (running_) Stop();
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::string PgTestServer::Conninfo(const std::string& user, const std::string& db) const {
  return "host=" + folder_ + " dbname=" + db + " user=" + (user.empty() ? "korvalog_test" : user);
}

bool PgTestServer::Sql(const std::string& sql) const {
  const std::string file = folder_ + "/statement.sql";
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (f == nullptr) return false;
    std::fputs(sql.c_str(), f);
    std::fclose(f);
  }
  chmod(file.c_str(), 0644);
  return std::system((bin_ + "/psql -X -q -v ON_ERROR_STOP=1 " + Quoted(Conninfo()) + " -f " + file + " >>" +
                      folder_ + "/server.log 2>&1")
                         .c_str()) == 0;
}

}  // namespace korvalog::testing_support
