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
#include "core/date_time.h"
#include "core/file_names.h"
#include "core/journal_reader.h"
#include "project/project_file.h"
#include "ui/ansi_string_lib.h"

namespace korvalog::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kPartDigits[] = "%04u";
// A part of a continuous capture could not be written; its journal keeps it.
constexpr int kExitPartNotWritten = 3;

// "20261207-103000": the local start time, for names that sort by time.
std::string TimeStampName(double dateTime) {
  const DateTimeFields f = FieldsFromMs(DateTimeToMs(dateTime));
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", f.year, f.month, f.day, f.hour, f.minute,
                f.second);
  return text;
}

// "x-0003.kv" and its kind: eight digits, '-', six digits, '-', four digits.
bool IsPartName(const std::string& name) {
  if (name.size() != 23 || name.compare(20, 3, ".kv") != 0 || name[8] != '-' || name[15] != '-') return false;
  for (size_t i = 0; i < 20; ++i) {
    if (i != 8 && i != 15 && (name[i] < '0' || name[i] > '9')) return false;
  }
  return true;
}

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

bool StartsWithJournalMagic(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  char head[sizeof kJournalMagic] = {};
  in.read(head, sizeof head);
  return in.gcount() == sizeof head && std::memcmp(head, kJournalMagic, sizeof head) == 0;
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

int RecoverJournalTo(const std::string& journal, const std::string& out, CliContext& ctx, CaptureData& into) {
  if (JournalInUse(journal)) {
    ctx.err << "korvalog-cli: " << journal << ": in use by a running capture\n";
    return kExitUsage;
  }
  JournalContents contents;
  std::string error;
  if (!ReadJournal(journal, contents, error)) {
    ctx.err << "korvalog-cli: " << error << "\n";
    return kExitUsage;
  }
  RestoreJournal(contents, into);
  const FileResult saved = WriteProjectFile(out, into, into.CaptureStart, into.CaptureEnd);
  if (!saved.ok) {
    ctx.err << "korvalog-cli: " << saved.error << "; the journal is kept\n";
    return kExitUsage;
  }
  ctx.err << "korvalog-cli: " << DescribeRecovery(contents) << " recovered from " << journal << " to " << out
          << "\n";
  if (!RemoveJournalFile(journal, error)) ctx.err << "korvalog-cli: " << error << "\n";
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
  // A journal left by a run that did not end is saved before it is reused:
  // under the name its capture was meant for, unless that is taken.
  for (const std::string& left : {journalPath_ + ".previous", journalPath_}) {
    if (!fs::exists(PathFromUtf8(left), ec)) continue;
    if (fs::is_directory(PathFromUtf8(left), ec)) {
      ctx_.err << "korvalog-cli: " << left << ": is a folder\n";
      return false;
    }
    if (JournalInUse(left)) {
      ctx_.err << "korvalog-cli: " << left << ": in use by another running capture\n";
      return false;
    }
    if (!StartsWithJournalMagic(left)) {
      if (fs::file_size(PathFromUtf8(left), ec) > 0) {
        ctx_.err << "korvalog-cli: " << left << ": not a capture journal; it is not overwritten\n";
        return false;
      }
      continue;
    }
    JournalContents contents;
    std::string error;
    if (!ReadJournal(left, contents, error)) {  // its beginning never reached the disk
      RemoveJournalFile(left, error);
      continue;
    }
    std::string target = contents.header.target;
    if (target.empty()) {
      const std::string name = "recovered-" + TimeStampName(contents.header.start.time) + ".kv";
      target = options_.rotate ? Utf8FromPath(PathFromUtf8(out_) / name) : out_;
    }
    if (RecoverJournalTo(left, FreeName(target), ctx_, *part_) != kExitOk) return false;
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
  char digits[16];
  std::snprintf(digits, sizeof digits, kPartDigits, number);
  return Utf8FromPath(PathFromUtf8(out_) / (prefix_ + "-" + digits + ".kv"));
}

void CaptureKeeper::CaptureStarted() {
  double started = 0;
  {
    // The appending thread may already move a full store aside.
    std::lock_guard<TransitionMutex> hold(ctx_.data.TransitionLock());
    started = ctx_.data.CaptureStart.time;
  }
  prefix_ = TimeStampName(started);
  journal_ = std::make_unique<JournalWriter>(ctx_.data, journalPath_);
  if (rotation_) {
    journal_->SetRotation(rotation_.get(), [this](uint32_t generation) { return PartName(generation + 1); });
  } else {
    journal_->SetTarget(out_);
  }
  std::string error;
  if (!journal_->Start(error)) {
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
    part_->Channels = ctx_.data.Channels;
    part_->Sequence = ctx_.data.Sequence;
    part_->Order = ctx_.data.Order;
    std::copy_n(rotation_->Spare(), n, part_->Store.MutableData());
    part_->Store.SetCount(n);
    part_->DataPresent.store(1);
    const std::string name = PartName(partsSaved_ + 1);
    const FileResult saved = WriteProjectFile(name, *part_, rotation_->SpareStart(), rotation_->SpareEnd());
    if (!saved.ok) {
      if (!partFailed_) ctx_.err << "korvalog-cli: " << saved.error << "; tried again every second\n";
      partFailed_ = true;
      return false;
    }
    ctx_.err << "korvalog-cli: " << UIntToText(n) << " events written to " << name << "\n";
    partSaved_ = true;
    partFailed_ = false;
    ++partsSaved_;
    PruneParts();
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

void CaptureKeeper::PruneParts() {
  if (options_.maxFiles <= 0) return;
  std::vector<std::string> parts;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(out_), ec)) {
    if (IsPartName(entry.path().filename().string())) parts.push_back(entry.path().string());
  }
  std::sort(parts.begin(), parts.end());
  const size_t keep = static_cast<size_t>(options_.maxFiles);
  for (size_t i = 0; i + keep < parts.size(); ++i) fs::remove(PathFromUtf8(parts[i]), ec);
}

void CaptureKeeper::StopJournal() {
  if (journal_) journal_->Finish();
}

int CaptureKeeper::SaveRemainingParts() {
  // A part moved aside shortly before the stop is saved first, in order.
  while (rotation_ && rotation_->SpareWaiting()) {
    if (SaveWaitingPart()) continue;
    if (partFailed_) return kExitPartNotWritten;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  CaptureData& data = ctx_.data;
  if (data.Store.Count() == 0 && partsSaved_ > 0) return kExitOk;  // the last part ended exactly full
  if (prefix_.empty()) prefix_ = TimeStampName(data.CaptureStart.time);
  const std::string name = PartName(partsSaved_ + 1);
  const FileResult saved = WriteProjectFile(name, data, data.CaptureStart, data.CaptureEnd);
  if (!saved.ok) {
    ctx_.err << "korvalog-cli: " << saved.error << "\n";
    return kExitPartNotWritten;
  }
  ctx_.err << "korvalog-cli: " << UIntToText(data.Store.Count()) << " events written to " << name << "\n";
  ++partsSaved_;
  PruneParts();
  return kExitOk;
}

int CaptureKeeper::Settle(int status) {
  if (!journal_) return status;
  std::string error;
  if (status == kExitOk) {
    if (!journal_->Remove(error)) ctx_.err << "korvalog-cli: " << error << "\n";
    journal_->DropPrevious();
  } else {
    ctx_.err << "korvalog-cli: the journal " << journal_->Path()
             << " keeps the capture; korvalog-cli recover " << journal_->Path() << " --out FILE.kv\n";
  }
  return status;
}

}  // namespace korvalog::cli
