#pragma once
// Keeps a capture journal while a capture runs: a thread of its own wakes
// every quarter second, copies the records appended since its last visit
// (holding the transition lock only for short slices of that copy) and
// appends them to the journal, flushed to the disk at least once a second.
// The receive path does no allocation and no I/O for it. A write that fails (a full disk) is cut back to the last good
// frame and tried again on the next visit; the capture goes on in memory and
// the failure is told once through TakeProblem.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_format.h"

namespace korvalog {

class StoreRotation;

class JournalWriter {
 public:
  static constexpr int kDefaultPeriodMs = 250;
  // At most this many records are copied under the lock in one visit.
  static constexpr uint32_t kMaxRecordsPerVisit = 65536;
  // Records copied under one hold of the transition lock (a few microseconds).
  static constexpr uint32_t kRecordsPerSlice = 2048;

  JournalWriter(CaptureData& data, std::string path);
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // The project file the capture is meant for, kept in the header.
  void SetTarget(std::string target) { target_ = std::move(target); }
  // Continuous capture: each part of the store gets a journal of its own;
  // `targetOf(generation)` names the file part `generation` (0 first) is
  // meant for. The rotation must have the journal attached before the
  // capture starts.
  void SetRotation(StoreRotation* rotation, std::function<std::string(uint32_t)> targetOf);
  void SetPeriodMs(int ms) { periodMs_ = ms; }

  // Right after the capture started: creates the journal with the capture's
  // start and the view's names, rows and pattern, and starts the thread. False when another running capture holds
  // the file or it cannot be created.
  bool Start(const CaptureView& view, std::string& error);
  // After the capture stopped: writes what is left and the stop, and closes
  // the journal. The file stays until Remove.
  void Finish();
  // Once the capture was saved or deliberately discarded.
  bool Remove(std::string& error);
  // Continuous capture: the journal of the part before the current one is
  // kept under PreviousPath() until that part is saved; then this drops it.
  void DropPrevious();

  const std::string& Path() const { return path_; }
  std::string PreviousPath() const { return path_ + ".previous"; }
  // A visit now rather than at the end of the period (a part was moved aside).
  void Wake();
  // The first failure to write, once ("PATH: reason"); false otherwise.
  bool TakeProblem(std::string& text);
  // Records safely handed to the file system (current part).
  uint32_t Journalled() const;

 private:
  void Run();
  // One visit; true when records are still waiting (more than one visit's worth).
  bool Visit(bool final);
  // A part moved aside since the last visit: its records not yet in the
  // journal, where it ended and where the next part begins.
  struct MovedPart {
    uint32_t tailFrom = 0;
    uint32_t tailTo = 0;
    PositionSnapshot tailEnd;
    PositionSnapshot newStart;
  };
  // Under the lock: whether a part moved aside, and the first record to copy.
  bool TakeMovedPart(MovedPart& moved, uint32_t& from);
  // Copies the records from `from` into records_; true when more are waiting.
  // On the last visit, once all are taken, `stop` is the capture's end.
  bool CopyNewRecords(uint32_t from, bool final, std::optional<PositionSnapshot>& stop);
  // Closes the moved part's journal and opens the next part's.
  void BeginNextPart(const MovedPart& moved);
  // The file open and its header written.
  bool ReadyToAppend();
  bool OpenFile(std::string& error);
  bool WriteOut();
  void SyncNow();
  void Problem(const std::string& text);
  // The gap marks not yet in the journal, after `index` events; `lost` and
  // `back` become the counts written once out_ is.
  void AppendGapMarks(uint32_t index, uint32_t seed, size_t& lost, size_t& back);

  CaptureData& data_;
  const std::string path_;
  std::string target_;
  StoreRotation* rotation_ = nullptr;
  std::function<std::string(uint32_t)> targetOf_;
  int periodMs_ = kDefaultPeriodMs;

  int fd_ = -1;
  int previousFd_ = -1;
  uint64_t good_ = 0;  // bytes of the file known to be whole frames
  bool headerDone_ = false;
  JournalHeader header_;
  uint32_t written_ = 0;     // records of the current part in the file
  uint32_t generation_ = 0;  // parts moved aside so far
  size_t gapsLost_ = 0;      // gaps whose loss is in the journal
  size_t gapsBack_ = 0;      // gaps whose return is in the journal
  std::vector<EventRecord> records_;
  std::vector<char> out_;
  std::chrono::steady_clock::time_point lastSync_;
  bool unsynced_ = false;

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool woken_ = false;
  bool problemSeen_ = false;
  bool problemTaken_ = false;
  std::string problem_;
  std::atomic<uint32_t> journalled_{0};
};

}  // namespace korvalog
