#pragma once
// Reads a file line by line through one fixed buffer, without allocating per
// line. CR, LF and CR LF each end one line; a last line without an end is
// still a line. Lines longer than kMaxLine, wherever they lie in the file,
// are handed over cut to kMaxLine characters and marked, and the rest of
// them is skipped; or, when asked, handed over in pieces that end between
// words.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace korvalog {

// The line scan below reads eight bytes as one little-endian word.
static_assert(std::endian::native == std::endian::little);

class LineReader {
 public:
  static constexpr size_t kBufferSize = size_t{1} << 18;
  static constexpr size_t kMaxLine = 16384;

  // Reads from `file`, which stays owned by the caller.
  explicit LineReader(std::FILE* file);

  // Reads the first block, so that a file that cannot be read at all is
  // known before anything is changed. False on a read error.
  bool Prime();

  // The next line; false at the end of the file or after a read error. The
  // view stays valid until the next call.
  bool Next(std::string_view& line, bool& cut) {
    // Most lines end inside the block already read.
    if (!skipping_ && begin_ < end_) {
      if (afterCr_ && buffer_[begin_] == '\n') ++begin_;  // the LF of a CR LF
      afterCr_ = false;
      const size_t q = FindLineEnd(buffer_.get(), begin_, end_);
      if (q < end_ && q - begin_ <= kMaxLine) {
        line = std::string_view(buffer_.get() + begin_, q - begin_);
        cut = false;
        piece_ = false;
        wordSplit_ = false;
        afterCr_ = buffer_[q] == '\r';
        begin_ = q + 1;
        return true;
      }
    }
    return NextSlow(line, cut);
  }

  // A faster way to the next line when it is exactly `size` bytes of text
  // (no byte below 14) followed by CR LF, as the lines of a project are:
  // gives its first byte and consumes it. Null otherwise; Next then reads it.
  const char* NextFixedCrLf(size_t size) {
    if (skipping_) return nullptr;
    if (afterCr_) {
      if (begin_ >= end_) return nullptr;
      if (buffer_[begin_] == '\n') ++begin_;
      afterCr_ = false;
    }
    if (end_ - begin_ < size + 2) return nullptr;
    const char* p = buffer_.get() + begin_;
    if (p[size] != '\r' || p[size + 1] != '\n' || AnyByteBelow14(p, size)) return nullptr;
    begin_ += size + 2;
    return p;
  }

  // A line longer than kMaxLine then comes as pieces of at most kMaxLine
  // characters, each ending after a space or tab where there is one; a word
  // longer than kMaxLine is split (LastSplitAWord), nothing is skipped.
  void HandLongLinesInPieces() { pieces_ = true; }
  // The last line handed over is a piece that the next one continues.
  bool LastWasPiece() const { return piece_; }
  // That piece ends inside a word of more than kMaxLine characters, which
  // the next piece continues.
  bool LastSplitAWord() const { return wordSplit_; }

  bool Failed() const { return failed_; }
  int ErrorNumber() const { return errorNumber_; }
  // The last line handed over had no line end: the file stops inside it.
  bool EndedMidLine() const { return endedMidLine_; }
  // After Prime: a NUL byte among the first `size` bytes of the file. Text
  // files never hold one; random or binary data almost always does.
  bool NulWithin(size_t size) const {
    const size_t n = size < end_ ? size : end_;
    return std::memchr(buffer_.get(), 0, n) != nullptr;
  }

 private:
  bool Fill();
  bool NextSlow(std::string_view& line, bool& cut);

  // Eight bytes at p, with a mark in the top bit of each byte below 14 (the
  // lowest mark is exact; higher ones may be false).
  static uint64_t MarkBelow14(const char* p) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    uint64_t v;
    std::memcpy(&v, p, 8);
    return (v - 14 * kOnes) & ~v & kHighs;
  }

  static bool AnyByteBelow14(const char* p, size_t size) {
    if (size < 8) {
      for (size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(p[i]) < 14) return true;
      }
      return false;
    }
    uint64_t marks = MarkBelow14(p + size - 8);
    for (size_t i = 0; i + 8 < size; i += 8) marks |= MarkBelow14(p + i);
    return marks != 0;
  }

  // Position of the first CR or LF in [from, to), or `to`. Looks at eight
  // bytes at a time for any byte below 14, then finds the exact one.
  static size_t FindLineEnd(const char* p, size_t from, size_t to) {
    size_t i = from;
    for (; i + 8 <= to; i += 8) {
      const uint64_t low = MarkBelow14(p + i);
      if (low == 0) continue;
      // The lowest marked byte is exactly the first one below 14.
      for (size_t k = i + static_cast<size_t>(std::countr_zero(low)) / 8; k < i + 8; ++k) {
        if (p[k] == '\n' || p[k] == '\r') return k;
      }
    }
    for (; i < to; ++i) {
      if (p[i] == '\n' || p[i] == '\r') return i;
    }
    return to;
  }

  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool skipping_ = false;  // inside the rest of a cut line
  bool afterCr_ = false;   // the last line ended with CR: a LF now completes it
  bool endedMidLine_ = false;
  bool pieces_ = false;
  bool piece_ = false;
  bool wordSplit_ = false;
  int errorNumber_ = 0;
};

}  // namespace korvalog
