#include "core/capture_journal.h"

#include <filesystem>

#include "core/file_names.h"
#include "core/journal_file.h"
#include "core/journal_reader.h"

namespace korvalog {

CaptureJournal::CaptureJournal(CaptureData& data, const CaptureView& view, std::string folder)
    : data_(data), view_(view), folder_(std::move(folder)) {}

CaptureJournal::~CaptureJournal() {
  if (writer_) writer_->Finish();
  if (adoptedFd_ >= 0) journal_file::Close(adoptedFd_);
}

std::string CaptureJournal::FreeJournalPath() const {
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? "capture" : "capture-" + std::to_string(n);
    const std::string path = Utf8FromPath(PathFromUtf8(folder_) / (name + kJournalSuffix));
    // Any journal still there is another program's, or one left behind that
    // has not been restored yet: neither may be emptied for this capture.
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(path), ec)) return path;
  }
}

bool CaptureJournal::CaptureStarted(std::string& error) {
  Release();
  std::error_code ec;
  std::filesystem::create_directories(PathFromUtf8(folder_), ec);
  writer_ = std::make_unique<JournalWriter>(data_, FreeJournalPath());
  if (writer_->Start(view_, error)) return true;
  writer_.reset();
  return false;
}

void CaptureJournal::CaptureStopped() {
  if (writer_) writer_->Finish();
}

void CaptureJournal::Release() {
  std::string error;
  if (writer_) writer_->Remove(error);
  writer_.reset();
  if (adoptedFd_ >= 0) {
    RemoveJournalFile(adoptedPath_, error);
    journal_file::Close(adoptedFd_);
    adoptedFd_ = -1;
  }
}

bool CaptureJournal::Adopt(const std::string& path) {
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

bool CaptureJournal::TakeProblem(std::string& text) { return writer_ && writer_->TakeProblem(text); }

}  // namespace korvalog
