#include "fleet/part_publisher.h"

#include <algorithm>
#include <memory>
#include <set>

#include "fleet/pg_connection.h"
#include "fleet/publish_file.h"

namespace korvalog {

PartPublisher::PartPublisher(std::string conninfo, SiteDetails typed)
    : conninfo_(std::move(conninfo)), typed_(std::move(typed)), worker_([this] { Run(); }) {}

PartPublisher::~PartPublisher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PartPublisher::Retry() {
  queue_.insert(queue_.begin(), failed_.begin(), failed_.end());
  failed_.clear();
}

void PartPublisher::Add(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    Retry();
    queue_.push_back(path);
  }
  wake_.notify_all();
}

bool PartPublisher::TakeLine(std::string& line) {
  std::lock_guard lock(mutex_);
  if (lines_.empty()) return false;
  line = std::move(lines_.front());
  lines_.pop_front();
  return true;
}

std::vector<std::string> PartPublisher::Finish() {
  std::unique_lock lock(mutex_);
  Retry();
  wake_.notify_all();
  done_.wait(lock, [this] { return queue_.empty() && !busy_; });
  stopping_ = true;
  std::vector<std::string> left = failed_;
  lock.unlock();
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  return left;
}

bool PartPublisher::Pending(const std::string& path) {
  std::lock_guard lock(mutex_);
  return (busy_ && current_ == path) || std::find(queue_.begin(), queue_.end(), path) != queue_.end() ||
         std::find(failed_.begin(), failed_.end(), path) != failed_.end();
}

void PartPublisher::Run() {
  std::unique_ptr<PgConnection> conn;
  std::set<std::string> told;  // parts whose failure was told
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    const std::string path = queue_.front();
    queue_.pop_front();
    current_ = path;
    busy_ = true;
    lock.unlock();
    std::string line;
    bool published = false, unreachable = false;
    if (!conn) {
      conn = std::make_unique<PgConnection>();
      unreachable = !conn->Open(conninfo_);
      if (unreachable) line = path + ": not published: " + conn->Error();
    }
    if (!unreachable) {
      const FilePublish p = PublishFile(*conn, path, typed_);
      published = p.result.outcome != PublishOutcome::Failed;
      line = path + ": " + PublishOutcomeText(p);
    }
    // After any failure the next try starts on a fresh connection: the
    // server may have gone away under this one.
    if (!published) conn.reset();
    for (size_t at = line.find('\t'); at != std::string::npos; at = line.find('\t', at)) line.replace(at, 1, ", ");
    lock.lock();
    // A part's failure is told once: retries while the server stays away
    // would repeat it at every part.
    if (published || told.insert(path).second) lines_.push_back(line);
    if (!published) failed_.push_back(path);
    // An unreachable server refuses the rest of this round as well: they
    // wait for the next part or the end, without a connection attempt each.
    if (unreachable) {
      for (const std::string& rest : queue_) {
        if (told.insert(rest).second) lines_.push_back(rest + ": not published: the server was not reached");
      }
      failed_.insert(failed_.end(), queue_.begin(), queue_.end());
      queue_.clear();
    }
    busy_ = false;
    done_.notify_all();
  }
}

}  // namespace korvalog
