#include "core/journal_writer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/file_identity.h"
#include "core/journal_file.h"
#include "core/journal_reader.h"
#include "core/store_rotation.h"

namespace korvalog {
namespace {

namespace jf = journal_file;

std::string Reason(const std::string& path, const char* what, int errorNumber) {
  return path + ": " + what + ": " + std::strerror(errorNumber);
}

void AppendFrames(const EventRecord* records, size_t count, uint32_t firstIndex, uint32_t seed,
                  std::vector<char>& out) {
  const size_t at = out.size();
  out.resize(at + count * kJournalFrameSize);
  for (size_t i = 0; i < count; ++i) {
    EncodeEventFrame(records[i], firstIndex + static_cast<uint32_t>(i), out.data() + at + i * kJournalFrameSize,
                     seed);
  }
}

}  // namespace

JournalWriter::JournalWriter(CaptureData& data, std::string path) : data_(data), path_(std::move(path)) {
  records_.reserve(kMaxRecordsPerVisit);
  out_.reserve(size_t{kMaxRecordsPerVisit} * kJournalFrameSize + 8192);
}

JournalWriter::~JournalWriter() {
  Finish();
  if (fd_ >= 0) jf::Close(fd_);
  if (previousFd_ >= 0) jf::Close(previousFd_);
}

void JournalWriter::SetRotation(StoreRotation* rotation, std::function<std::string(uint32_t)> targetOf) {
  rotation_ = rotation;
  targetOf_ = std::move(targetOf);
}

bool JournalWriter::Start(const CaptureView& view, std::string& error) {
  {
    std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
    header_.start = data_.CurrentPartStart();
    header_.channels = view.Traces.Table();
    header_.sequence = view.Sequence;
    header_.order = view.Traces.Order();
    if (rotation_ != nullptr) {
      generation_ = rotation_->Generation();
      // A part moved aside before this journal began was never in it: there
      // is nothing to close, and its save must not wait for this journal.
      if (rotation_->SpareWaiting()) rotation_->JournalTookSpare();
    }
  }
  header_.target = targetOf_ ? targetOf_(generation_) : target_;
  written_ = 0;
  gapsLost_ = gapsBack_ = 0;
  if (!OpenFile(error)) return false;
  lastSync_ = std::chrono::steady_clock::now();
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool JournalWriter::OpenFile(std::string& error) {
  const int fd = jf::Open(path_, true);
  if (fd < 0) {
    error = Reason(path_, "cannot be created", errno);
    return false;
  }
  if (!DescriptorIsRegular(fd)) {
    error = path_ + ": is not a regular file";
    jf::Close(fd);
    return false;
  }
  if (jf::TryLock(fd, true) != jf::LockResult::Taken) {
    error = path_ + ": in use by another running capture";
    jf::Close(fd);
    return false;
  }
  if (!jf::Truncate(fd, 0)) {
    error = Reason(path_, "cannot be emptied", errno);
    jf::Close(fd);
    return false;
  }
  fd_ = fd;
  good_ = 0;
  headerDone_ = false;
  // Records left in the file by another capture can never pass for this one's.
  header_.captureId = NewCaptureId();
  return true;
}

void JournalWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  bool behind = false;  // more waited than one visit takes
  while (!stop_) {
    if (!behind) wake_.wait_for(lock, std::chrono::milliseconds(periodMs_), [this] { return stop_ || woken_; });
    woken_ = false;
    if (stop_) break;
    lock.unlock();
    behind = Visit(false);
    lock.lock();
  }
}

void JournalWriter::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

void JournalWriter::Finish() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
  while (Visit(true)) {
  }
  SyncNow();
}

bool JournalWriter::Visit(bool final) {
  MovedPart moved;
  uint32_t from = 0;
  const bool rotated = TakeMovedPart(moved, from);
  std::optional<PositionSnapshot> stop;
  const bool more = CopyNewRecords(from, final, stop);
  if (rotated) BeginNextPart(moved);
  if (!ReadyToAppend()) return false;
  out_.clear();
  const uint32_t seed = JournalCheckSeed(header_);
  AppendFrames(records_.data(), records_.size(), from, seed, out_);
  size_t lost = gapsLost_;
  size_t back = gapsBack_;
  AppendGapMarks(from + static_cast<uint32_t>(records_.size()), seed, lost, back);
  if (stop) AppendEndFrame(stop->time, stop->index, stop->states, out_, seed);
  if (out_.empty()) return more;  // a part moved aside meanwhile: taken at once
  if (!WriteOut()) return false;
  gapsLost_ = lost;
  gapsBack_ = back;
  written_ = from + static_cast<uint32_t>(records_.size());
  journalled_.store(written_, std::memory_order_relaxed);
  if (std::chrono::steady_clock::now() - lastSync_ >= std::chrono::seconds(1)) SyncNow();
  return more;
}

bool JournalWriter::TakeMovedPart(MovedPart& moved, uint32_t& from) {
  bool rotated = false;
  std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
  if (rotation_ != nullptr && rotation_->Generation() != generation_) {
    // Only one part can be waiting: the next move needs the spare back,
    // which waits for JournalTookSpare in BeginNextPart.
    rotated = true;
    generation_ = rotation_->Generation();
    moved.tailTo = rotation_->SpareCount();
    moved.tailFrom = std::min(written_, moved.tailTo);
    moved.tailEnd = rotation_->SpareEnd();
    moved.newStart = data_.CurrentPartStart();
    written_ = 0;
  }
  from = std::min(written_, data_.Store.Count());
  return rotated;
}

bool JournalWriter::CopyNewRecords(uint32_t from, bool final, std::optional<PositionSnapshot>& stop) {
  // A slice at a time, so that the receive path never waits for more than a
  // short copy.
  records_.clear();
  for (;;) {
    std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
    const uint32_t count = data_.Store.Count();
    const uint32_t at = from + static_cast<uint32_t>(records_.size());
    // A part moved aside meanwhile: its last records are taken next visit.
    const bool movedAside = rotation_ != nullptr && rotation_->Generation() != generation_;
    const uint32_t to = std::min({count, at + kRecordsPerSlice, from + kMaxRecordsPerVisit});
    if (!movedAside && at < to) records_.insert(records_.end(), data_.Store.Data() + at, data_.Store.Data() + to);
    const bool more = movedAside || from + records_.size() < count;
    if (movedAside || at >= to || to == count || records_.size() >= kMaxRecordsPerVisit) {
      if (final && !more && data_.Capturing.load(std::memory_order_acquire) == 0) stop = data_.CaptureEnd;
      return more;
    }
  }
}

void JournalWriter::BeginNextPart(const MovedPart& moved) {
  // Close the full part's journal with its last records and its end, keep
  // it aside until that part is saved, and begin the next part's journal.
  // The spare block stays as it is until JournalTookSpare, so its last
  // records are read without the lock.
  if (fd_ >= 0) {
    out_.clear();
    if (!headerDone_) AppendJournalHeader(header_, out_);  // moved aside before the first visit
    const uint32_t seed = JournalCheckSeed(header_);
    AppendFrames(rotation_->Spare() + moved.tailFrom, moved.tailTo - moved.tailFrom, moved.tailFrom, seed, out_);
    AppendEndFrame(moved.tailEnd.time, moved.tailEnd.index, moved.tailEnd.states, out_, seed);
    WriteOut();
    SyncNow();
  }
  if (previousFd_ >= 0) jf::Close(previousFd_);
  previousFd_ = -1;
  if (fd_ >= 0) {
    if (jf::Rename(path_, PreviousPath())) {
      previousFd_ = fd_;
    } else {
      jf::Close(fd_);
    }
    fd_ = -1;
  }
  header_.start = moved.newStart;
  header_.target = targetOf_ ? targetOf_(generation_) : target_;
  std::string error;
  if (!OpenFile(error)) Problem(error);
  if (rotation_ != nullptr) rotation_->JournalTookSpare();
}

bool JournalWriter::ReadyToAppend() {
  if (fd_ < 0) {
    std::string error;
    if (!OpenFile(error)) {
      Problem(error);
      return false;
    }
  }
  if (!headerDone_) {
    out_.clear();
    AppendJournalHeader(header_, out_);
    if (!WriteOut()) return false;
    headerDone_ = true;
    SyncNow();
    jf::SyncFolderOf(path_);
  }
  return true;
}

void JournalWriter::AppendGapMarks(uint32_t index, uint32_t seed, size_t& lost, size_t& back) {
  // Gaps are few and change on the interface thread: a copy under their lock.
  const std::vector<GapSpan> gaps = data_.Gaps.Copy();
  for (size_t k = back; k < gaps.size(); ++k) {
    if (k >= lost) AppendGapFrame(gaps[k].start, false, index, out_, seed);
    if (gaps[k].end == kGapOpen) break;
    AppendGapFrame(gaps[k].end, true, index, out_, seed);
    back = k + 1;
  }
  lost = std::max(lost, gaps.size());
}

bool JournalWriter::WriteOut() {
  size_t done = 0;
  while (done < out_.size()) {
    const long long n = jf::WriteAt(fd_, out_.data() + done, out_.size() - done, good_ + done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    const int failure = n < 0 ? errno : ENOSPC;
    // Cut back to whole frames, so that the next try continues a sound file.
    if (!jf::Truncate(fd_, good_)) {
      // The torn frame stays; a reader drops it.
    }
    Problem(Reason(path_, "cannot be written (the capture goes on in memory)", failure));
    return false;
  }
  good_ += done;
  unsynced_ = true;
  return true;
}

void JournalWriter::SyncNow() {
  lastSync_ = std::chrono::steady_clock::now();
  if (fd_ >= 0 && unsynced_) jf::SyncData(fd_);
  unsynced_ = false;
}

void JournalWriter::Problem(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (problemSeen_) return;
  problemSeen_ = true;
  problem_ = text;
}

bool JournalWriter::TakeProblem(std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!problemSeen_ || problemTaken_) return false;
  problemTaken_ = true;
  text = problem_;
  return true;
}

uint32_t JournalWriter::Journalled() const { return journalled_.load(std::memory_order_relaxed); }

bool JournalWriter::Remove(std::string& error) {
  Finish();
  const bool ok = RemoveJournalFile(path_, error);
  if (fd_ >= 0) jf::Close(fd_);
  fd_ = -1;
  return ok;
}

void JournalWriter::DropPrevious() {
  jf::Remove(PreviousPath());
  if (previousFd_ >= 0) jf::Close(previousFd_);
  previousFd_ = -1;
}

}  // namespace korvalog
