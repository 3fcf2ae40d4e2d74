#include "session/capture_session.h"

#include <algorithm>
#include <filesystem>

#include "base/byte_text.h"
#include "core/file_names.h"
#include "core/journal_reader.h"
#include "session/continuous_parts.h"
#include "session/journal_recovery.h"
#include "session/rescue_file.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::string SummaryText(const SessionSummary& summary, const std::string& folder) {
  const size_t n = summary.written.size();
  if (n == 0) return "The capture is in no file: it is lost";
  const auto name = [](const std::string& path) { return Utf8FromPath(PathFromUtf8(path).filename()); };
  std::string text = (n == 1 ? "1 file" : UIntToText(static_cast<uint32_t>(n)) + " files") + " written to " + folder;
  text += " (" + name(summary.written.front());
  if (n > 1) text += (n > 2 ? " ... " : ", ") + name(summary.written.back());
  text += ")";
  for (const std::string& j : summary.journals) text += "; the journal " + j + " keeps the rest";
  return text;
}

CaptureSession::CaptureSession(CaptureData& data, const CaptureView& view, const LoggerSettings& settings,
                               UsbLoggers& usb, const Clock& clock, SessionFiles& files, SessionNotes& notes)
    : data_(data),
      view_(view),
      files_(files),
      notes_(notes),
      link_(std::make_unique<LinkSupervisor>(data, settings, usb, clock)),
      journal_(data, view),
      part_(std::make_unique<CaptureData>(partClock_)) {}

CaptureSession::~CaptureSession() {
  // The link first: nothing appends once the handler goes.
  link_.reset();
  journal_.CaptureStopped();
  Disarm();
}

void CaptureSession::Disarm() {
  data_.SetFullStoreHandler(nullptr);
  rotation_.reset();
  if (limitSet_) data_.SetStoreLimit(kEventCapacity);
  limitSet_ = false;
}

void CaptureSession::Configure(const SessionOptions& options) {
  Disarm();
  options_ = options;
  summary_ = SessionSummary{};
  ownParts_.clear();
  prefix_.clear();
  claims_.End();
  partsSaved_ = 0;
  notWritten_ = rescueFailed_ = unsaved_ = lastUnsaved_ = stoppedEarly_ = partSaved_ = partFailed_ = false;
  retryAt_ = {};
  if (options_.rotate) {
    rotation_ = std::make_unique<StoreRotation>();
    rotation_->AttachJournal(journal_.Kept());
    data_.SetFullStoreHandler(rotation_.get());
  }
  if (options_.storeEvents > 0) {
    data_.SetStoreLimit(options_.storeEvents);
    limitSet_ = true;
  }
}

std::string CaptureSession::PartsFolderProblem() const {
  std::error_code ec;
  if (fs::is_directory(PathFromUtf8(options_.out), ec) && Writable(PathFromUtf8(options_.out))) return {};
  return options_.out + ": not a folder that can be written";
}

bool CaptureSession::Prepare() {
  if (options_.rotate) {
    const std::string problem = PartsFolderProblem();
    if (!problem.empty()) {
      notes_.Note(NoteKind::Problem, problem);
      return false;
    }
  }
  if (!journal_.Kept()) return true;
  const std::string journalPath = journal_.FreeJournalPath();
  const fs::path journal = PathFromUtf8(journalPath);
  const fs::path folder = journal.has_parent_path() ? journal.parent_path() : ".";
  std::error_code ec;
  if (!fs::is_directory(folder, ec) || !Writable(folder)) {
    notes_.Note(NoteKind::Problem, journalPath + ": the folder " + Utf8FromPath(folder) +
                                       " does not exist or cannot be written");
    return false;
  }
  if (!options_.rotate) {
    const std::string problem = files_.OutputProblem(options_.out, {journalPath, journalPath + ".previous"});
    if (!problem.empty()) {
      notes_.Note(NoteKind::Problem, problem);
      return false;
    }
  }
  return RecoverJournalsLeftAt(journalPath, options_.rotate ? options_.out : std::string(), options_.out, *part_,
                               files_, notes_, &summary_.recovered);
}

std::string CaptureSession::PartName(uint32_t number) {
  // Begun at the start; a part saved before (never in practice) still gets its names.
  if (!claims_.Begun()) {
    prefix_ = PartTimeStamp(data_.CaptureStart.time);
    claims_.Begin(options_.out, prefix_);
  }
  return claims_.NameOf(number - 1);
}

bool CaptureSession::CaptureStarted(std::string& error) {
  double started = 0;
  {
    // The appending thread may already move a full store aside.
    std::lock_guard<TransitionMutex> hold(data_.TransitionLock());
    started = data_.CaptureStart.time;
  }
  prefix_ = PartTimeStamp(started);
  if (rotation_) claims_.Begin(options_.out, prefix_);
  // Absolute names: a run started from another folder recovers into the same files.
  const bool ok = journal_.CaptureStarted(
      rotation_ ? std::string() : AbsoluteName(options_.out), rotation_.get(),
      [this](uint32_t generation) { return AbsoluteName(PartName(generation + 1)); }, error);
  if (!ok && rotation_) rotation_->AttachJournal(false);
  return ok;
}

void CaptureSession::Tick() {
  if (!rotation_ || !rotation_->SpareWaiting()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < retryAt_) return;
  // A part that could not be written is tried again a second later, not on
  // every tick.
  if (!SaveWaitingPart() && partFailed_) retryAt_ = now + std::chrono::seconds(1);
}

// Saves the full part that waits in the spare block, then hands the block
// back once the journal has its end too. False while it cannot be saved.
bool CaptureSession::SaveWaitingPart() {
  if (!partSaved_) {
    const uint32_t n = rotation_->SpareCount();
    std::copy_n(rotation_->Spare(), n, part_->Store.MutableData());
    part_->Store.SetCount(n);
    part_->DataPresent.store(1);
    part_->Gaps.Assign(data_.Gaps.Spans());  // the writer keeps those of the part's span
    if (!WritePart(*part_, rotation_->SpareStart(), rotation_->SpareEnd())) {
      partFailed_ = true;
      return false;
    }
    partSaved_ = true;
    partFailed_ = false;
  }
  if (journal_.Running() && !rotation_->JournalHasTakenSpare()) {
    journal_.Wake();
    return false;
  }
  journal_.DropPrevious();
  partSaved_ = false;
  rotation_->ReleaseSpare();
  return true;
}

bool CaptureSession::WritePart(CaptureData& part, const PositionSnapshot& from, const PositionSnapshot& to) {
  const std::string name = PartName(partsSaved_ + 1);
  const std::string events = UIntToText(to.index - from.index);
  std::string error;
  if (files_.WriteProject(name, part, view_, from, to, error)) {
    notes_.Note(NoteKind::News, events + " events written to " + name);
    claims_.Written(partsSaved_);
    ++partsSaved_;
    ownParts_.push_back(name);
    summary_.written.push_back(name);
    if (options_.maxFiles > 0) {
      PruneContinuousParts(options_.out, static_cast<size_t>(options_.maxFiles), ownParts_, claims_.NotMine(),
                           stillNeeded_);
    }
    return true;
  }
  // As a single capture does: the part goes to the temporary folder, and the
  // capture goes on.
  const RescueResult rescue = WriteRescueFile(
      "-" + Utf8FromPath(PathFromUtf8(name).filename()),
      [&](const std::string& path, std::string& why) { return files_.WriteProject(path, part, view_, from, to, why); });
  if (rescue.ok) {
    notes_.Note(NoteKind::Problem,
                error + "; the part (" + events + " events) was written to " + rescue.path + " instead");
    ++partsSaved_;
    summary_.written.push_back(rescue.path);
    notWritten_ = true;
    return true;
  }
  if (!rescueFailed_) {
    notes_.Note(NoteKind::Problem, error + "; " + rescue.error +
                                       "; the part stays in memory and in the journal, tried again every second");
  }
  rescueFailed_ = true;
  return false;
}

int CaptureSession::SaveRemainingParts() {
  // A part moved aside shortly before the stop is saved first, in order.
  while (rotation_ && rotation_->SpareWaiting()) {
    if (SaveWaitingPart()) continue;
    if (partFailed_ && !partSaved_) {
      // Written nowhere: its journal keeps it, under its own name; the
      // last part still gets the next number.
      unsaved_ = true;
      ++partsSaved_;
      break;
    }
    // The part is saved; the journal, woken, has yet to take its last records.
    rotation_->WaitForJournal();
  }
  const int status = notWritten_ || unsaved_ ? kSessionPartNotWritten : kSessionWritten;
  if (data_.Store.Count() == 0 && partsSaved_ > 0) return status;  // the last part ended exactly full
  if (!claims_.Begun()) {
    prefix_ = PartTimeStamp(data_.CaptureStart.time);
    claims_.Begin(options_.out, prefix_);
  }
  PositionSnapshot end = data_.CaptureEnd;
  end.index = data_.Store.Count();
  if (!WritePart(data_, data_.CaptureStart, end)) unsaved_ = lastUnsaved_ = true;
  return notWritten_ || unsaved_ ? kSessionPartNotWritten : kSessionWritten;
}

int CaptureSession::Settle(int status) {
  const bool nowhere = status == kSessionWrittenNowhere;
  if (nowhere) status = kSessionPartNotWritten;
  if (stoppedEarly_) {
    notes_.Note(NoteKind::Problem,
                "the continuous capture stopped: a store filled before the part before it was saved");
  }
  // Everything was written somewhere (a rescue file counts): the journals
  // have served, and one left would later be recovered as a second copy.
  const bool allWritten = status == kSessionWritten || (status == kSessionPartNotWritten && !nowhere && !unsaved_);
  if (allWritten) {
    std::string error;
    if (!journal_.Release(error)) notes_.Note(NoteKind::Problem, error);
  } else {
    KeepJournalsHoldingTheRest();
  }
  if (Rotating() && status != kSessionWritten) {
    // One line that names every file holding this capture.
    std::string files;
    for (const std::string& f : summary_.written) files += (files.empty() ? "" : ", ") + f;
    for (const std::string& j : summary_.journals) files += (files.empty() ? "" : ", ") + j;
    notes_.Note(NoteKind::Problem, "the capture is in " + (files.empty() ? "no file: it is lost" : files));
  }
  for (const std::string& r : summary_.recovered) {
    notes_.Note(NoteKind::News, "the capture an earlier run left in the journal is in " + r);
  }
  claims_.End();
  summary_.status = status == kSessionWritten && stoppedEarly_ ? kSessionStoppedEarly : status;
  return summary_.status;
}

void CaptureSession::KeepJournalsHoldingTheRest() {
  for (const std::string& j : journal_.FilesOnDisk()) {
    const bool previous = j.size() > 9 && j.compare(j.size() - 9, 9, ".previous") == 0;
    uint32_t unwritten = data_.Store.Count();
    if (Rotating() && previous) unwritten = rotation_->SpareWaiting() ? rotation_->SpareCount() : 0;
    if (Rotating() && !previous && !lastUnsaved_) unwritten = 0;
    std::string error;
    if (Rotating() && unwritten == 0) {
      RemoveJournalFile(j, error);  // its part is in a file
      continue;
    }
    JournalContents contents;
    const bool read = ReadJournal(j, contents, error);
    const size_t held = read ? contents.events.size() : 0;
    const std::string recover = "; korvalog-cli recover " + j + " --out FILE.kv";
    if (read && held >= unwritten) {
      notes_.Note(NoteKind::Problem, "the journal " + j + " keeps the capture" + recover);
    } else if (held > 0) {
      notes_.Note(NoteKind::Problem, "the journal " + j + " keeps only " + std::to_string(held) + " of the " +
                                         std::to_string(unwritten) + " events not written; the other " +
                                         std::to_string(unwritten - held) + " are lost" + recover);
    } else {
      std::error_code ec;
      if (read || fs::file_size(PathFromUtf8(j), ec) == 0) {
        // Nothing of the capture is in it (the disk was full from the
        // start): it would only be refused, or recovered as an empty capture.
        RemoveJournalFile(j, error);
        if (Rotating() && unwritten > 0) {
          notes_.Note(NoteKind::Problem, std::to_string(unwritten) + " events could be written nowhere: they are lost");
        }
        continue;
      }
      notes_.Note(NoteKind::Problem, error + "; the journal is kept");
    }
    summary_.journals.push_back(j);
  }
  if (summary_.journals.empty() && !Rotating()) {
    notes_.Note(NoteKind::Problem,
                "the capture (" + UIntToText(data_.Store.Count()) + " events) is in no file: it is lost");
  }
}

}  // namespace korvalog
