#pragma once
// Writes a file so that a failure never destroys what was there: the bytes
// go to a temporary file beside the target, which takes the target's place
// only when every write, the flush to disk and the close succeeded.
#include <cstddef>
#include <cstdint>
#include <string>

namespace korvalog {

class ReplacingFile {
 public:
  explicit ReplacingFile(std::string target);
  ~ReplacingFile();  // an uncommitted temporary file is removed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Each returns false once anything failed; Error() then says what.
  bool Open();
  bool Write(const char* bytes, size_t size);
  bool Commit();

  // "<target>: <what failed>: <system reason>".
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const char* what, const std::string& reason);
  void Discard();

  std::string target_;
  std::string temp_;
  intptr_t file_ = -1;  // the temporary's descriptor (a handle on Windows); -1 when none
  std::string error_;
};

// Removes the temporary files that process `processId`, ended part-way (a
// crash, a signal), left beside `target`; the target itself stays.
void RemoveLeftTemporaries(const std::string& target, unsigned long processId);

}  // namespace korvalog
