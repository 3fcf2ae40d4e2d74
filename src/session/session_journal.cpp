#include "session/session_journal.h"

#include <filesystem>

#include "core/file_names.h"
#include "core/journal_file.h"
#include "core/journal_reader.h"
#include "core/store_rotation.h"

namespace korvalog {

SessionJournal::SessionJournal(CaptureData& data, const CaptureView& view) : data_(data), view_(view) {}

SessionJournal::~SessionJournal() {
  if (writer_) writer_->Finish();
  if (adoptedFd_ >= 0) journal_file::Close(adoptedFd_);
}

void SessionJournal::UsePath(std::string path) {
  path_ = std::move(path);
  folder_.clear();
}

void SessionJournal::UseFolder(std::string folder) {
  folder_ = std::move(folder);
  path_.clear();
}

void SessionJournal::UseNone() {
  folder_.clear();
  path_.clear();
}

std::string SessionJournal::FreeJournalPath() const {
  if (!path_.empty()) return path_;
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? "capture" : "capture-" + std::to_string(n);
    const std::string path = Utf8FromPath(PathFromUtf8(folder_) / (name + kJournalSuffix));
    // Any journal still there is another program's, or one left behind that
    // has not been restored yet: neither may be emptied for this capture.
    std::error_code ec;
    // Nor may the journal of a part left waiting to be saved.
    if (!std::filesystem::exists(PathFromUtf8(path), ec) && !std::filesystem::exists(PathFromUtf8(path + ".previous"), ec)) {
      return path;
    }
  }
}

bool SessionJournal::CaptureStarted(const std::string& target, StoreRotation* rotation,
                                    std::function<std::string(uint32_t)> partName, std::string& error) {
  Release();
  if (!Kept()) return true;
  if (!folder_.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(folder_), ec);
  }
  writer_ = std::make_unique<JournalWriter>(data_, FreeJournalPath());
  rotating_ = rotation != nullptr;
  if (rotating_) {
    writer_->SetRotation(rotation, std::move(partName));
  } else if (!target.empty()) {
    writer_->SetTarget(target);
  }
  if (writer_->Start(view_, error)) return true;
  writer_.reset();
  return false;
}

void SessionJournal::CaptureStopped() {
  if (writer_) writer_->Finish();
}

bool SessionJournal::Release(std::string& error) {
  bool removed = true;
  if (writer_) {
    removed = writer_->Remove(error);
    if (rotating_) writer_->DropPrevious();
  }
  writer_.reset();
  if (adoptedFd_ >= 0) {
    std::string ignored;
    RemoveJournalFile(adoptedPath_, ignored);
    journal_file::Close(adoptedFd_);
    adoptedFd_ = -1;
  }
  return removed;
}

bool SessionJournal::Adopt(const std::string& path) {
  Release();
  const int fd = journal_file::Open(path, false);
  if (fd < 0) return false;
  if (journal_file::TryLock(fd, true) != journal_file::LockResult::Taken) {
    journal_file::Close(fd);
    return false;
  }
  adoptedFd_ = fd;
  adoptedPath_ = path;
  return true;
}

bool SessionJournal::TakeProblem(std::string& text) { return writer_ && writer_->TakeProblem(text); }

void SessionJournal::Wake() {
  if (writer_) writer_->Wake();
}

void SessionJournal::DropPrevious() {
  if (writer_) writer_->DropPrevious();
}

std::vector<std::string> SessionJournal::FilesOnDisk() const {
  std::vector<std::string> files;
  if (!writer_) return files;
  std::error_code ec;
  for (const std::string& j : {writer_->PreviousPath(), writer_->Path()}) {
    if (std::filesystem::exists(PathFromUtf8(j), ec)) files.push_back(j);
  }
  return files;
}

}  // namespace korvalog
