#pragma once
// Reads a file line by line through one fixed buffer, without allocating per
// line. CR, LF and CR LF each end one line; a last line without an end is still a
// line. Lines longer than kMaxLine are handed over cut to kMaxLine
// characters and marked, and the rest of them is skipped.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace korvalog {

class LineReader {
 public:
  static constexpr size_t kBufferSize = size_t{1} << 20;
  static constexpr size_t kMaxLine = 16384;

  // Reads from `file`, which stays owned by the caller.
  explicit LineReader(std::FILE* file);

  // Reads the first block, so that a file that cannot be read at all is
  // known before anything is changed. False on a read error.
  bool Prime();

  // The next line; false at the end of the file or after a read error. The
  // view stays valid until the next call.
  bool Next(std::string_view& line, bool& cut);

  bool Failed() const { return failed_; }
  int ErrorNumber() const { return errorNumber_; }

 private:
  bool Fill();

  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool skipping_ = false;  // inside the rest of a cut line
  bool afterCr_ = false;   // the last line ended with CR: a LF now completes it
  int errorNumber_ = 0;
};

}  // namespace korvalog
