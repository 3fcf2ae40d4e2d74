#include "project/line_reader.h"

#include <cerrno>
#include <cstring>

namespace korvalog {
LineReader::LineReader(std::FILE* file) : file_(file), buffer_(new char[kBufferSize]) {}

bool LineReader::Prime() {
  if (end_ == 0 && !eof_) Fill();
  return !failed_;
}

bool LineReader::Fill() {
  const size_t have = end_ - begin_;
  if (have > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, have);
  begin_ = 0;
  end_ = have;
  if (eof_) return false;
  errno = 0;
  const size_t n = std::fread(buffer_.get() + end_, 1, kBufferSize - end_, file_);
  end_ += n;
  if (n == 0) {
    eof_ = true;
    if (std::ferror(file_)) {
      failed_ = true;
      errorNumber_ = errno != 0 ? errno : EIO;
    }
    return false;
  }
  return true;
}

bool LineReader::NextSlow(std::string_view& line, bool& cut) {
  piece_ = false;
  wordSplit_ = false;
  for (;;) {
    const char* const base = buffer_.get();
    const size_t q = FindLineEnd(base, begin_, end_);
    const bool ended = q < end_;
    if (ended && (skipping_ || q - begin_ <= kMaxLine)) {
      const size_t start = begin_;
      begin_ = q + 1;
      const bool lfOfCrLf = afterCr_ && q == start && base[q] == '\n';
      afterCr_ = base[q] == '\r';
      if (lfOfCrLf) continue;
      if (skipping_) {
        skipping_ = false;
        continue;
      }
      line = std::string_view(base + start, q - start);
      cut = false;
      return true;
    }
    const size_t have = end_ - begin_;
    if (skipping_) {
      begin_ = end_;
    } else if (have > kMaxLine) {
      afterCr_ = false;
      if (pieces_) {
        size_t w = begin_ + kMaxLine;
        while (w > begin_ && base[w - 1] != ' ' && base[w - 1] != '\t') --w;
        wordSplit_ = w == begin_;
        if (wordSplit_) w = begin_ + kMaxLine;
        line = std::string_view(base + begin_, w - begin_);
        cut = false;
        piece_ = true;
        begin_ = w;
        return true;
      }
      line = std::string_view(base + begin_, kMaxLine);
      cut = true;
      skipping_ = true;
      begin_ += kMaxLine;
      return true;
    } else if (eof_) {
      if (have == 0 || failed_) return false;
      line = std::string_view(base + begin_, have);
      cut = false;
      afterCr_ = false;
      endedMidLine_ = true;
      begin_ = end_;
      return true;
    }
    if (!Fill() && eof_ && end_ == begin_) {
      if (skipping_ || failed_) return false;
    }
  }
}

}  // namespace korvalog
