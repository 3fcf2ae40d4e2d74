#include "core/journal_reader.h"

#include "core/file_identity.h"
#include "core/file_names.h"
#include "core/journal_file.h"
#include "core/store_filler.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace korvalog {
namespace {

std::string Reason(const std::string& path, const char* what, int errorNumber) {
  return path + ": " + what + ": " + std::strerror(errorNumber);
}

// The levels after the start levels and every event.
void LevelsAfter(const JournalContents& j, uint8_t out[kChannelCount]) {
  std::memcpy(out, j.header.start.states, kChannelCount);
  for (const EventRecord& r : j.events) out[r.channel - 1] = r.state;
}

// A gap mark: a loss opens a gap, a return closes it; a return without its
// loss (the loss lay in the part before) closes a gap from the start.
void NoteGapMark(JournalContents& j, double time, bool back) {
  std::vector<GapSpan>& gaps = j.gaps;
  const bool open = !gaps.empty() && gaps.back().end == kGapOpen;
  if (!back) {
    if (!open) gaps.push_back({time, kGapOpen});
  } else if (open) {
    gaps.back().end = std::max(time, gaps.back().start);
  } else {
    gaps.push_back({std::min(time, j.header.start.time), time});
  }
}

}  // namespace

bool ReadJournal(const std::string& path, JournalContents& out, std::string& error) {
  out = JournalContents{};
  // A folder cannot be read as a file, a FIFO would wait for a writer.
  const PathKind kind = KindOfPath(path);
  if (kind == PathKind::Folder || kind == PathKind::Other) {
    error = path + ": is not a regular file";
    return false;
  }
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) {
    error = Reason(path, "cannot be read", errno);
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = Reason(path, "cannot be read", errno);
    return false;
  }
  size_t at = ParseJournalHeader(bytes, out.header);
  if (at == 0) {
    error = path + ": not a capture journal, or its beginning is damaged";
    return false;
  }
  const uint32_t seed = JournalCheckSeed(out.header);
  out.header.start.index = 0;
  while (bytes.size() - at >= kJournalFrameSize) {
    const char* frame = bytes.data() + at;
    const auto index = static_cast<uint32_t>(out.events.size());
    if (!FrameIntact(frame, index, seed)) {
      double time = 0;
      bool back = false;
      if (!GapFrameIntact(frame, index, seed, time, back)) break;
      NoteGapMark(out, time, back);
      at += kJournalFrameSize;
      continue;
    }
    EventRecord r;
    std::memcpy(&r, frame, sizeof r);
    if (r.channel == 0 && r.state == kJournalEndMark) {
      if (bytes.size() - at >= kJournalEndSize && EndLevelsIntact(frame + kJournalFrameSize, index, seed)) {
        out.ended = true;
        out.end.index = index;
        out.end.time = r.time;
        std::memcpy(out.end.states, frame + kJournalFrameSize, kChannelCount);
      }
      at = bytes.size();  // a stop ends the journal; a cut stop loses no event
      break;
    }
    // A record the store would refuse ends the intact part like damage: a
    // capture never writes one.
    if (index >= kEventCapacity || CheckEvent(r, EventChecks{}, nullptr) != EventFault::None) break;
    out.events.push_back(r);
    at += kJournalFrameSize;
  }
  const size_t rest = bytes.size() - at;
  out.lost = static_cast<uint32_t>((rest + kJournalFrameSize - 1) / kJournalFrameSize);
  if (!out.ended && rest >= kJournalEndSize && (rest - kJournalEndSize) % kJournalFrameSize == 0) {
    // Damage in the middle of a journal whose stop is intact: the stop
    // knows how many events there were.
    const char* end = bytes.data() + bytes.size() - kJournalEndSize;
    const auto count = static_cast<uint32_t>(out.events.size() + (rest - kJournalEndSize) / kJournalFrameSize);
    if (FrameIntact(end, count, seed) && EndLevelsIntact(end + kJournalFrameSize, count, seed)) {
      out.lost = count - static_cast<uint32_t>(out.events.size());
    }
  }
  if (!out.ended) {
    out.end.index = static_cast<uint32_t>(out.events.size());
    out.end.time = out.header.start.time;
    if (!out.events.empty()) out.end.time = std::max<double>(out.end.time, out.events.back().time);
    // A capture killed while the link was lost still ran until then.
    for (const GapSpan& g : out.gaps) out.end.time = std::max(out.end.time, g.end == kGapOpen ? g.start : g.end);
    LevelsAfter(out, out.end.states);
  }
  return true;
}

bool RestoreJournal(const JournalContents& j, CaptureData& data, CaptureView& view) {
  if (data.Capturing.load() != 0) return false;
  {
    std::lock_guard<TransitionMutex> hold(data.TransitionLock());
    data.Store.Clear();
    SkippedEvents skipped;  // nothing: ReadJournal kept only what the store takes
    StoreFiller filler(data.Store, skipped);
    uint32_t n = 0;
    for (const EventRecord& e : j.events) filler.Add(e, n);
    data.Store.SetCount(n);
    data.CaptureStart = j.header.start;
    data.CaptureEnd = j.end;
    data.CaptureEnd.index = static_cast<uint32_t>(n);
  }
  data.Gaps.Assign(j.gaps);
  view.Traces.SetTable(j.header.channels);
  view.Sequence = j.header.sequence;
  if (!view.Traces.SetOrder(j.header.order)) view.Traces.ResetOrder();
  // The observers repaint and may look at the capture: not under the lock
  // the readers of the loggers wait for.
  data.RestoredAsStopped();
  return true;
}

std::string DescribeRecovery(const JournalContents& j) {
  std::string text = std::to_string(j.events.size()) + " events";
  if (j.lost > 0) {
    text += "; the journal was damaged: " + std::to_string(j.lost) + " record" + (j.lost == 1 ? "" : "s") +
            " after event " + std::to_string(j.events.size()) + " could not be read";
  }
  return text;
}

bool JournalInUse(const std::string& path) {
  if (KindOfPath(path) != PathKind::Regular) return false;
  const int fd = journal_file::Open(path, false);
  if (fd < 0) return false;
  const bool held = journal_file::TryLock(fd, false) == journal_file::LockResult::Busy;
  journal_file::Close(fd);
  return held;
}

std::vector<std::string> FindLeftJournals(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder), ec)) {
    const std::string name = Utf8FromPath(entry.path().filename());
    // A continuous capture's part waiting to be saved has its journal as
    // "NAME.journal.previous".
    const auto endsIn = [&name](const std::string& suffix) {
      return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (!endsIn(kJournalSuffix) && !endsIn(std::string(kJournalSuffix) + ".previous")) continue;
    std::error_code ec2;
    if (!entry.is_regular_file(ec2) || JournalInUse(Utf8FromPath(entry.path()))) continue;
    found.push_back(Utf8FromPath(entry.path()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

bool RemoveJournalFile(const std::string& path, std::string& error) {
  if (journal_file::Remove(path) || errno == ENOENT) return true;
  error = Reason(path, "cannot be removed", errno);
  return false;
}

bool MoveJournalAside(const std::string& path, std::string& movedTo, std::string& error) {
  std::error_code ec;
  for (int n = 1; n < 10000; ++n) {
    const std::string name = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
    if (std::filesystem::symlink_status(PathFromUtf8(name), ec).type() != std::filesystem::file_type::not_found) continue;
    if (!journal_file::Rename(path, name)) {
      error = Reason(path, "cannot be moved aside", errno);
      return false;
    }
    movedTo = name;
    return true;
  }
  error = path + ": cannot be moved aside: too many damaged journals beside it";
  return false;
}

JournalHold::~JournalHold() { Release(); }

void JournalHold::Release() {
  if (fd_ >= 0) journal_file::Close(fd_);
  fd_ = -1;
}

bool JournalHold::Take(const std::string& path, std::string& error) {
  Release();
  switch (KindOfPath(path)) {
    case PathKind::Regular:
      break;
    case PathKind::Missing:
      error = Reason(path, "cannot be read", ENOENT);
      return false;
    default:  // a folder, a device, a FIFO that would wait for a writer
      error = path + ": is not a regular file";
      return false;
  }
  const int fd = journal_file::Open(path, false);
  if (fd < 0) {
    error = Reason(path, "cannot be read", errno);
    return false;
  }
  if (journal_file::TryLock(fd, true) != journal_file::LockResult::Taken) {
    journal_file::Close(fd);
    error = path + ": in use";
    return false;
  }
  // Another recovery may have finished and removed the journal between the
  // open and the lock: what is held must still be what the name reaches.
  FileIdentity held;
  FileIdentity named;
  if (!IdentityOfDescriptor(fd, held) || !IdentityOfPath(path, named) || !(held == named)) {
    journal_file::Close(fd);
    error = path + ": in use";
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace korvalog
