#include "project/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvalog {
namespace {

std::atomic<unsigned> tempCounter{0};

// A symbolic link is followed, so that the file it names is replaced and the
// link stays.
std::string ResolveTarget(const std::string& target) {
  struct stat st;
  if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
  char resolved[PATH_MAX];
  if (realpath(target.c_str(), resolved) == nullptr) return target;
  return resolved;
}

std::string TempNameBeside(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  return dir + "." + base + "." + std::to_string(getpid()) + "-" + std::to_string(tempCounter++) + ".tmp";
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Fail(const char* what, int errorNumber) {
  if (error_.empty()) error_ = target_ + ": " + what + ": " + std::strerror(errorNumber);
  Discard();
  return false;
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

bool ReplacingFile::Open() {
  const std::string real = ResolveTarget(target_);
  struct stat st;
  const bool exists = stat(real.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return Fail("cannot write", EISDIR);
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = TempNameBeside(real);
    fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) {
      const int e = errno;
      temp_.clear();
      return Fail("cannot create", e);
    }
  }
  if (fd_ < 0) {
    temp_.clear();
    return Fail("cannot create", EEXIST);
  }
  // A replaced file keeps its permissions.
  if (exists && S_ISREG(st.st_mode)) fchmod(fd_, st.st_mode & 07777);
  target_ = real;
  return true;
}

bool ReplacingFile::Write(const char* bytes, size_t size) {
  if (fd_ < 0) return false;
  while (size > 0) {
    const ssize_t n = write(fd_, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail("cannot write", errno);
    }
    if (n == 0) return Fail("cannot write", EIO);
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReplacingFile::Commit() {
  if (fd_ < 0) return false;
  if (fsync(fd_) != 0 && errno != EINVAL) return Fail("cannot write", errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) return Fail("cannot write", errno);
  if (rename(temp_.c_str(), target_.c_str()) != 0) return Fail("cannot replace", errno);
  temp_.clear();
  return true;
}

}  // namespace korvalog
