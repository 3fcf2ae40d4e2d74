#pragma once
// Text built a block at a time and written through a replacing file, so an
// export that fails part-way leaves an existing file as it was.
#include <string>

#include "project/project_file.h"
#include "project/replacing_file.h"

namespace korvalog {

class ExportWriter {
 public:
  explicit ExportWriter(const std::string& path) : file_(path) { text_.reserve(kBlock + 4096); }

  bool Open() { return file_.Open(); }
  std::string& Text() { return text_; }
  // Writes the block once it is large enough.
  void MaybeFlush() {
    if (text_.size() >= kBlock) Flush();
  }
  FileResult Finish() {
    if (!Flush() || !file_.Commit()) return FileResult{false, file_.Error()};
    return {};
  }
  FileResult OpenError() const { return FileResult{false, file_.Error()}; }

 private:
  static constexpr size_t kBlock = size_t{1} << 20;

  bool Flush() {
    ok_ = ok_ && file_.Write(text_.data(), text_.size());
    text_.clear();
    return ok_;
  }

  ReplacingFile file_;
  std::string text_;
  bool ok_ = true;
};

}  // namespace korvalog
