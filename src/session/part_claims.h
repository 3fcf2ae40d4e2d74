#pragma once
// The part names of one continuous capture. Several captures may share a
// parts folder, even start in the same second: each name is claimed by
// creating a hidden mark ".NAME.claim", which only one capture can create
// (the next number for one that comes second), until the part is written;
// and every running capture keeps a run file in the folder, locked while it
// runs, that lists the names it claimed, so that no other capture's
// --max-files removes them.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace korvalog {

class PartClaims {
 public:
  PartClaims() = default;
  ~PartClaims() { End(); }
  PartClaims(const PartClaims&) = delete;
  PartClaims& operator=(const PartClaims&) = delete;

  // A run in `folder` whose names start with `prefix`, numbered after every
  // part of that prefix already there. Run files of captures that ended
  // without removing theirs go.
  void Begin(const std::string& folder, const std::string& prefix);
  bool Begun() const { return !prefix_.empty(); }
  // The path of part `index` (0 first), claimed when first asked for; the
  // journal's thread and the saving thread ask alike.
  std::string NameOf(uint32_t index);
  // Part `index` now holds its events.
  void Written(uint32_t index);
  // Names --max-files must leave alone: parts other running captures own,
  // and this run's claims not written yet.
  std::vector<std::string> NotMine();
  // The marks of claims never written go, and so does the run file.
  void End();

 private:
  std::mutex mutex_;
  std::string folder_;
  std::string prefix_;
  uint32_t next_ = 1;
  std::vector<std::string> names_;  // file names, by part index
  std::vector<bool> claimed_;       // created here, still this run's
  std::vector<bool> written_;
  std::string runFile_;
  int runFd_ = -1;
  uint64_t runSize_ = 0;
};

// Removes the claim mark of the part at `path`, left by a capture that died
// before writing it (its journal was just recovered there).
void DropClaimOf(const std::string& path);

// The part names listed by run files in `folder` whose captures still run
// (all but `ownRunFile`); a run file nobody holds is removed.
std::vector<std::string> PartsOfOtherRuns(const std::string& folder, const std::string& ownRunFile);

}  // namespace korvalog
