#include "session/part_claims.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/file_names.h"
#include "core/journal_file.h"
#include "core/journal_format.h"
#include "session/continuous_parts.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;
namespace jf = journal_file;

constexpr char kRunFilePrefix[] = ".korvalog-run-";
constexpr char kRunFileSuffix[] = ".parts";

bool IsRunFileName(const std::string& name) {
  const size_t p = sizeof kRunFilePrefix - 1;
  const size_t s = sizeof kRunFileSuffix - 1;
  return name.size() > p + s && name.compare(0, p, kRunFilePrefix) == 0 &&
         name.compare(name.size() - s, s, kRunFileSuffix) == 0;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name));
}

// The hidden mark that claims a part's name until the part is written, so
// that nothing empty ever shows under a part's name.
std::string ClaimMark(const std::string& name) { return "." + name + ".claim"; }

bool IsClaimMark(const std::string& name, std::string& part) {
  if (name.size() < 8 || name[0] != '.' || name.compare(name.size() - 6, 6, ".claim") != 0) return false;
  part = name.substr(1, name.size() - 7);
  return IsContinuousPartName(part);
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(PathFromUtf8(path), ec);
}

}  // namespace

void PartClaims::Begin(const std::string& folder, const std::string& prefix) {
  End();
  std::lock_guard<std::mutex> hold(mutex_);
  folder_ = folder;
  prefix_ = prefix;
  next_ = FirstFreePartNumber(folder, prefix);
  char id[17];
  std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(NewCaptureId()));
  const std::string name = kRunFilePrefix + std::string(id) + kRunFileSuffix;
  // Run files and claims left behind by captures that ended without
  // removing them go.
  const std::vector<std::string> live = PartsOfOtherRuns(folder, name);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder), ec)) {
    std::string part;
    if (IsClaimMark(Utf8FromPath(entry.path().filename()), part) &&
        std::find(live.begin(), live.end(), part) == live.end()) {
      jf::Remove(Utf8FromPath(entry.path()));
    }
  }
  // Locked under a name no pruner reads, then renamed: a pruner never finds
  // it unlocked and takes it for one left behind.
  const std::string fresh = InFolder(folder, name + "-new");
  const int fd = jf::Open(fresh, true);
  if (fd < 0) return;  // the folder is gone or full: the parts will fail and be rescued
  if (jf::TryLock(fd, true) != jf::LockResult::Taken || !jf::Rename(fresh, InFolder(folder, name))) {
    jf::Close(fd);
    jf::Remove(fresh);
    return;
  }
  runFd_ = fd;
  runFile_ = name;
  runSize_ = 0;
}

std::string PartClaims::NameOf(uint32_t index) {
  std::lock_guard<std::mutex> hold(mutex_);
  while (names_.size() <= index) {
    for (;; ++next_) {
      const std::string name = ContinuousPartName(prefix_, next_);
      // Listed before it is created, so that no pruner sees it unlisted.
      if (runFd_ >= 0) {
        const std::string line = name + "\n";
        if (jf::WriteAt(runFd_, line.data(), line.size(), runSize_) == static_cast<long long>(line.size())) {
          runSize_ += line.size();
        }
      }
      if (Exists(InFolder(folder_, name))) continue;  // an earlier run's part
      const std::string mark = InFolder(folder_, ClaimMark(name));
      if (jf::CreateNew(mark)) {
        if (Exists(InFolder(folder_, name))) {  // written between the look and the claim
          jf::Remove(mark);
          continue;
        }
        claimed_.push_back(true);
      } else if (errno == EEXIST) {
        continue;  // another running capture's
      } else {
        claimed_.push_back(false);  // the folder is gone or full: its save fails and is rescued
      }
      names_.push_back(name);
      written_.push_back(false);
      ++next_;
      break;
    }
  }
  return InFolder(folder_, names_[index]);
}

void PartClaims::Written(uint32_t index) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (index >= written_.size()) return;
  written_[index] = true;
  // The part itself holds the name now.
  if (claimed_[index]) jf::Remove(InFolder(folder_, ClaimMark(names_[index])));
  claimed_[index] = false;
}

std::vector<std::string> PartClaims::NotMine() {
  std::vector<std::string> names = PartsOfOtherRuns(folder_, runFile_);
  std::lock_guard<std::mutex> hold(mutex_);
  for (size_t i = 0; i < names_.size(); ++i) {
    if (!written_[i]) names.push_back(names_[i]);
  }
  return names;
}

void PartClaims::End() {
  std::lock_guard<std::mutex> hold(mutex_);
  for (size_t i = 0; i < names_.size(); ++i) {
    if (claimed_[i]) jf::Remove(InFolder(folder_, ClaimMark(names_[i])));
  }
  if (runFd_ >= 0) {
    jf::Remove(InFolder(folder_, runFile_));
    jf::Close(runFd_);
  }
  runFd_ = -1;
  runFile_.clear();
  names_.clear();
  claimed_.clear();
  written_.clear();
  prefix_.clear();
}

void DropClaimOf(const std::string& path) {
  const fs::path part = PathFromUtf8(path);
  jf::Remove(Utf8FromPath(part.parent_path() / PathFromUtf8(ClaimMark(Utf8FromPath(part.filename())))));
}

std::vector<std::string> PartsOfOtherRuns(const std::string& folder, const std::string& ownRunFile) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder), ec)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    if (!IsRunFileName(name) || name == ownRunFile) continue;
    const std::string path = Utf8FromPath(entry.path());
    const int fd = jf::Open(path, false);
    if (fd < 0) continue;
    const jf::LockResult lock = jf::TryLock(fd, false);
    jf::Close(fd);
    if (lock == jf::LockResult::Taken) {
      jf::Remove(path);  // its capture ended without removing it
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    // Whole lines only: the last may be half written.
    for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
      names.push_back(all.substr(at, end - at));
    }
  }
  return names;
}

}  // namespace korvalog
