#include "app/cli/capture_keeper.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <thread>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/continuous_parts.h"
#include "base/byte_text.h"
#include "core/file_identity.h"
#include "core/file_names.h"
#include "core/journal_reader.h"
#include "core/process_setup.h"
#include "project/output_target.h"
#include "project/project_file.h"

namespace korvalog::cli {
namespace {

namespace fs = std::filesystem;

// A part of a continuous capture could not be written where asked: it went
// to a rescue file, or its journal keeps it.
constexpr int kExitPartNotWritten = 3;
// A continuous capture stopped before it was asked to.
constexpr int kExitStoppedEarly = 4;

// `path`, or when that exists "stem-recovered.kv", "stem-recovered-2.kv"...
std::string FreeName(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(PathFromUtf8(path), ec)) return path;
  const size_t dot = path.rfind(".kv");
  const std::string stem = dot == std::string::npos ? path : path.substr(0, dot);
  const std::string tail = dot == std::string::npos ? ".kv" : path.substr(dot);
  for (int n = 1;; ++n) {
    const std::string name = stem + "-recovered" + (n == 1 ? "" : "-" + std::to_string(n)) + tail;
    if (!fs::exists(PathFromUtf8(name), ec)) return name;
  }
}

// A file with a journal's mark where a header copy may be; anything else at
// the journal's path is not this program's and is left alone.
bool LooksLikeJournal(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  std::string head(256 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return HasJournalMagic(head);
}

// A journal that could not be recovered whole is moved out of the way, never
// deleted; says where.
bool KeepDamagedJournal(const std::string& journal, CliContext& ctx) {
  std::string movedTo;
  std::string error;
  if (MoveJournalAside(journal, movedTo, error)) {
    ctx.err << "korvalog-cli: the damaged journal was kept as " << movedTo << "\n";
    return true;
  }
  ctx.err << "korvalog-cli: " << error << "; it stays as it is\n";
  return false;
}

}  // namespace

bool ExtractKeeperOptions(CommandArgs& args, KeeperOptions& o, std::string& error) {
  CommandArgs rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--rotate") {
      o.rotate = true;
      continue;
    }
    if (a != "--journal" && a != "--max-files" && a != "--store-events") {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    long n = 0;
    if (a == "--journal") {
      if (v.empty()) {
        error = "--journal needs a file name";
        return false;
      }
      o.journal = v;
    } else if (a == "--max-files") {
      if (!WholeNumber(v, 1, 1000000, n)) {
        error = "--max-files must be a whole number of files, at least 1";
        return false;
      }
      o.maxFiles = static_cast<int>(n);
    } else {
      if (!WholeNumber(v, 1, kEventCapacity, n)) {
        error = "--store-events must be 1..1048576";
        return false;
      }
      o.storeEvents = static_cast<uint32_t>(n);
    }
  }
  if (o.maxFiles > 0 && !o.rotate) {
    error = "--max-files is for --rotate";
    return false;
  }
  args.swap(rest);
  return true;
}

int RecoverJournalTo(const std::string& journal, const std::string& out, CliContext& ctx, CaptureData& into,
                     CaptureView& view) {
  // Held until the journal is gone, so that a second recovery at the same
  // time is refused rather than restoring the capture twice.
  JournalHold hold;
  std::string error;
  if (!hold.Take(journal, error)) {
    ctx.err << "korvalog-cli: " << error << "\n";
    return kExitUsage;
  }
  JournalContents contents;
  if (!ReadJournal(journal, contents, error)) {
    ctx.err << "korvalog-cli: " << error << "\n";
    return kExitUsage;
  }
  RestoreJournal(contents, into, view);
  const FileResult saved = WriteProjectFile(out, into, view, into.CaptureStart, into.CaptureEnd);
  if (!saved.ok) {
    ctx.err << "korvalog-cli: " << saved.error << "; the journal is kept\n";
    return kExitUsage;
  }
  ctx.err << "korvalog-cli: " << DescribeRecovery(contents) << " recovered from " << journal << " to " << out
          << "\n";
  if (contents.lost > 0) {
    KeepDamagedJournal(journal, ctx);
  } else if (!RemoveJournalFile(journal, error)) {
    ctx.err << "korvalog-cli: " << error << "\n";
  }
  return kExitOk;
}

CaptureKeeper::CaptureKeeper(const KeeperOptions& o, std::string out, CliContext& ctx)
    : options_(o), out_(std::move(out)), ctx_(ctx) {
  journalPath_ = options_.journal;
  if (journalPath_.empty()) {
    journalPath_ = options_.rotate ? Utf8FromPath(PathFromUtf8(out_) / "korvalog-capture.journal") : out_ + ".journal";
  }
  partClock_ = std::make_unique<ManualClock>();
  part_ = std::make_unique<CaptureData>(*partClock_);
}

CaptureKeeper::~CaptureKeeper() {
  StopJournal();
  ctx_.data.SetFullStoreHandler(nullptr);
  ctx_.data.SetStoreLimit(kEventCapacity);
}

bool CaptureKeeper::Prepare() {
  std::error_code ec;
  if (options_.rotate && (!fs::is_directory(PathFromUtf8(out_), ec) || !Writable(PathFromUtf8(out_)))) {
    ctx_.err << "korvalog-cli: " << out_ << ": not a folder that can be written\n";
    return false;
  }
  const fs::path journal = PathFromUtf8(journalPath_);
  const fs::path folder = journal.has_parent_path() ? journal.parent_path() : ".";
  if (!fs::is_directory(folder, ec) || !Writable(folder)) {
    ctx_.err << "korvalog-cli: " << journalPath_ << ": the folder " << Utf8FromPath(folder)
             << " does not exist or cannot be written\n";
    return false;
  }
  if (!options_.rotate) {
    const std::string problem = OutputProblem(out_, {journalPath_, journalPath_ + ".previous"});
    if (!problem.empty()) {
      ctx_.err << "korvalog-cli: " << problem << "\n";
      return false;
    }
  }
  // A journal left by a run that did not end is saved before it is reused:
  // under the name its capture was meant for, unless that is taken.
  for (const std::string& left : {journalPath_ + ".previous", journalPath_}) {
    const PathKind kind = KindOfPath(left);
    if (kind == PathKind::Missing) continue;
    if (kind == PathKind::Folder) {
      ctx_.err << "korvalog-cli: " << left << ": is a folder\n";
      return false;
    }
    if (kind == PathKind::Other) {
      ctx_.err << "korvalog-cli: " << left << ": is not a regular file\n";
      return false;
    }
    if (JournalInUse(left)) {
      ctx_.err << "korvalog-cli: " << left << ": in use by another running capture\n";
      return false;
    }
    if (!LooksLikeJournal(left)) {
      if (fs::file_size(PathFromUtf8(left), ec) > 0) {
        ctx_.err << "korvalog-cli: " << left << ": not a capture journal; it is not overwritten\n";
        return false;
      }
      continue;
    }
    JournalContents contents;
    std::string error;
    if (!ReadJournal(left, contents, error)) {
      ctx_.err << "korvalog-cli: " << error << "\n";
      // Its name is needed for this capture's journal.
      if (!KeepDamagedJournal(left, ctx_)) return false;
      continue;
    }
    std::string target = contents.header.target;
    if (target.empty()) {
      const std::string name = "recovered-" + PartTimeStamp(contents.header.start.time) + ".kv";
      target = options_.rotate ? Utf8FromPath(PathFromUtf8(out_) / name) : out_;
    }
    CaptureView leftView;  // the left capture's names, not this one's
    if (RecoverJournalTo(left, FreeName(target), ctx_, *part_, leftView) != kExitOk) return false;
  }
  if (options_.rotate) {
    rotation_ = std::make_unique<StoreRotation>();
    rotation_->AttachJournal(true);
    ctx_.data.SetFullStoreHandler(rotation_.get());
  }
  ctx_.data.SetStoreLimit(options_.storeEvents);
  return true;
}

std::string CaptureKeeper::PartName(uint32_t number) const {
  return Utf8FromPath(PathFromUtf8(out_) / ContinuousPartName(prefix_, number + firstNumber_ - 1));
}

void CaptureKeeper::ChooseFirstPartNumber() { firstNumber_ = FirstFreePartNumber(out_, prefix_); }

void CaptureKeeper::CaptureStarted() {
  double started = 0;
  {
    // The appending thread may already move a full store aside.
    std::lock_guard<TransitionMutex> hold(ctx_.data.TransitionLock());
    started = ctx_.data.CaptureStart.time;
  }
  prefix_ = PartTimeStamp(started);
  if (rotation_) ChooseFirstPartNumber();
  journal_ = std::make_unique<JournalWriter>(ctx_.data, journalPath_);
  if (rotation_) {
    journal_->SetRotation(rotation_.get(), [this](uint32_t generation) { return PartName(generation + 1); });
  } else {
    journal_->SetTarget(out_);
  }
  std::string error;
  if (!journal_->Start(ctx_.view, error)) {
    ctx_.err << "korvalog-cli: " << error << "; the capture goes on without a journal\n";
    journal_.reset();
    if (rotation_) rotation_->AttachJournal(false);
  }
}

void CaptureKeeper::Tick() {
  std::string problem;
  if (journal_ && journal_->TakeProblem(problem)) ctx_.err << "korvalog-cli: " << problem << "\n";
  if (!rotation_ || !rotation_->SpareWaiting()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < retryAt_) return;
  // A part that could not be written is tried again a second later, not on
  // every tick.
  if (!SaveWaitingPart() && partFailed_) retryAt_ = now + std::chrono::seconds(1);
}

// Saves the full part that waits in the spare block, then hands the block
// back once the journal has its end too. False while it cannot be saved.
bool CaptureKeeper::SaveWaitingPart() {
  if (!partSaved_) {
    const uint32_t n = rotation_->SpareCount();
    std::copy_n(rotation_->Spare(), n, part_->Store.MutableData());
    part_->Store.SetCount(n);
    part_->DataPresent.store(1);
    if (!WritePart(*part_, rotation_->SpareStart(), rotation_->SpareEnd())) {
      partFailed_ = true;
      return false;
    }
    partSaved_ = true;
    partFailed_ = false;
  }
  if (journal_ && !rotation_->JournalHasTakenSpare()) {
    journal_->Wake();
    return false;
  }
  if (journal_) journal_->DropPrevious();
  partSaved_ = false;
  rotation_->ReleaseSpare();
  return true;
}

bool CaptureKeeper::WritePart(CaptureData& part, const PositionSnapshot& from, const PositionSnapshot& to) {
  const std::string name = PartName(partsSaved_ + 1);
  const std::string events = UIntToText(to.index - from.index);
  const FileResult saved = WriteProjectFile(name, part, ctx_.view, from, to);
  if (saved.ok) {
    ctx_.err << "korvalog-cli: " << events << " events written to " << name << "\n";
    ++partsSaved_;
    ownParts_.push_back(name);
    written_.push_back(name);
    PruneParts();
    return true;
  }
  // As the plain capture does: the part goes to the temporary folder, and
  // the capture goes on.
  std::error_code ec;
  const std::string rescue =
      Utf8FromPath(fs::temp_directory_path(ec) / PathFromUtf8("korvalog-capture-" + std::to_string(CurrentProcessId()) +
                                                              "-" + Utf8FromPath(PathFromUtf8(name).filename())));
  const FileResult kept = WriteProjectFile(rescue, part, ctx_.view, from, to);
  if (kept.ok) {
    ctx_.err << "korvalog-cli: " << saved.error << "; the part (" << events << " events) was written to " << rescue
             << " instead\n";
    ++partsSaved_;
    written_.push_back(rescue);
    notWritten_ = true;
    return true;
  }
  if (!rescueFailed_) {
    ctx_.err << "korvalog-cli: " << saved.error << "; " << kept.error
             << "; the part stays in memory and in the journal, tried again every second\n";
  }
  rescueFailed_ = true;
  return false;
}

void CaptureKeeper::PruneParts() {
  if (options_.maxFiles > 0) PruneContinuousParts(out_, static_cast<size_t>(options_.maxFiles), ownParts_);
}

void CaptureKeeper::StopJournal() {
  if (journal_) journal_->Finish();
}

int CaptureKeeper::SaveRemainingParts() {
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
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  CaptureData& data = ctx_.data;
  const int status = notWritten_ || unsaved_ ? kExitPartNotWritten : kExitOk;
  if (data.Store.Count() == 0 && partsSaved_ > 0) return status;  // the last part ended exactly full
  if (prefix_.empty()) {
    prefix_ = PartTimeStamp(data.CaptureStart.time);
    ChooseFirstPartNumber();
  }
  PositionSnapshot end = data.CaptureEnd;
  end.index = data.Store.Count();
  if (!WritePart(data, data.CaptureStart, end)) unsaved_ = true;
  return notWritten_ || unsaved_ ? kExitPartNotWritten : kExitOk;
}

int CaptureKeeper::Settle(int status) {
  if (stoppedEarly_) {
    ctx_.err << "korvalog-cli: the continuous capture stopped: a store filled before the part before it was "
                "saved\n";
  }
  // Every part was written somewhere (a rescue file counts): the journals
  // have served. Otherwise they keep what could not be written.
  const bool allWritten = status == kExitOk || (status == kExitPartNotWritten && options_.rotate && !unsaved_);
  std::vector<std::string> keeping;
  if (journal_) {
    std::string error;
    if (allWritten) {
      if (!journal_->Remove(error)) ctx_.err << "korvalog-cli: " << error << "\n";
      journal_->DropPrevious();
    } else {
      std::error_code ec;
      for (const std::string& j : {journal_->PreviousPath(), journal_->Path()}) {
        if (fs::exists(PathFromUtf8(j), ec)) keeping.push_back(j);
      }
    }
  }
  if (options_.rotate && status != kExitOk) {
    // One line that names every file holding this capture.
    std::string files;
    for (const std::string& f : written_) files += (files.empty() ? "" : ", ") + f;
    for (const std::string& j : keeping) files += (files.empty() ? "" : ", ") + j;
    ctx_.err << "korvalog-cli: the capture is in " << (files.empty() ? "no file: it is lost" : files) << "\n";
  }
  for (const std::string& j : keeping) {
    ctx_.err << "korvalog-cli: the journal " << j << " keeps the capture; korvalog-cli recover " << j
             << " --out FILE.kv\n";
  }
  if (status == kExitOk && stoppedEarly_) return kExitStoppedEarly;
  return status;
}

}  // namespace korvalog::cli
