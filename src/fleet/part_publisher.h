#pragma once
// Publishes the finished parts of a continuous capture on a thread of its
// own, so that the capture never waits on the database. A part that cannot
// be published (the server unreachable, gone away, refusing) stays on disk
// and is tried again when the next part comes and at the end; publishing is
// idempotent, so a part tried twice is stored once.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/site_details.h"

namespace korvalog {

class PartPublisher {
 public:
  // `typed`: site fields that replace the parts' own.
  PartPublisher(std::string conninfo, SiteDetails typed);
  ~PartPublisher();
  PartPublisher(const PartPublisher&) = delete;
  PartPublisher& operator=(const PartPublisher&) = delete;

  // A finished part, published after every part still waiting (which are
  // tried again first).
  void Add(const std::string& path);
  // What happened to each part, in order: "PATH: published, site S, ..."
  // or, the first time it fails only, "PATH: not published: why"; false
  // when none is new.
  bool TakeLine(std::string& line);
  // After the last part: tries each part not yet published once more, waits
  // for the thread and gives the parts still not published, oldest first.
  std::vector<std::string> Finish();
  // Whether `path` was added and is not yet in the store (waiting, being
  // published or failed).
  bool Pending(const std::string& path);

 private:
  void Run();
  void Retry();  // with mutex_ held

  const std::string conninfo_;
  const SiteDetails typed_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::deque<std::string> queue_;    // to be tried, oldest first
  std::vector<std::string> failed_;  // tried and not published, oldest first
  std::deque<std::string> lines_;
  std::string current_;  // being published, while busy_
  bool busy_ = false, stopping_ = false;
  std::thread worker_;
};

}  // namespace korvalog
