#include "project/replacing_file.h"

#include "core/file_identity.h"
#include "core/file_names.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace korvalog {
namespace {

std::atomic<unsigned> tempCounter{0};

// The few file-system calls the replacing save makes, one set per platform.
// Each failing call gives the system's reason as text.
#ifdef _WIN32

constexpr intptr_t kNone = -1;  // INVALID_HANDLE_VALUE
constexpr const char* kSeparators = "/\\";

HANDLE AsHandle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }
std::string LastReason() { return std::system_category().message(static_cast<int>(GetLastError())); }

// The program's paths are UTF-8 where they are valid UTF-8, otherwise bytes
// of the ANSI code page.
std::wstring Wide(const std::string& path) {
  for (const UINT page : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int n = MultiByteToWideChar(page, flags, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0) continue;
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(page, flags, path.data(), static_cast<int>(path.size()), out.data(), n);
    return out;
  }
  return {};
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

// Links are rare on Windows; a linked target is replaced as a plain file.
std::string ResolveTarget(const std::string& target) { return target; }

bool IsFolder(const std::string& path, unsigned& mode) {
  mode = 0;
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// kNone with `taken` set when the name is in use, or with `reason` on failure.
intptr_t CreateExclusive(const std::string& path, unsigned, bool& taken, std::string& reason) {
  const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (h != INVALID_HANDLE_VALUE) return reinterpret_cast<intptr_t>(h);
  const DWORD code = GetLastError();
  taken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
  reason = std::system_category().message(static_cast<int>(code));
  return kNone;
}

bool WriteSome(intptr_t file, const char* bytes, size_t size, size_t& written, std::string& reason) {
  const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  DWORD n = 0;
  if (!WriteFile(AsHandle(file), bytes, chunk, &n, nullptr)) {
    reason = LastReason();
    return false;
  }
  written = n;
  return true;
}

bool FlushAndClose(intptr_t file, std::string& reason) {
  const bool flushed = FlushFileBuffers(AsHandle(file)) != 0;
  if (!flushed) reason = LastReason();
  if (!CloseHandle(AsHandle(file)) && flushed) {
    reason = LastReason();
    return false;
  }
  return flushed;
}

void CloseQuietly(intptr_t file) { CloseHandle(AsHandle(file)); }
void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

// Replaces an existing target in one step, written through to the disk.
bool ReplaceTarget(const std::string& temp, const std::string& target, std::string& reason) {
  if (MoveFileExW(Wide(temp).c_str(), Wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  reason = LastReason();
  return false;
}

#else

constexpr intptr_t kNone = -1;
constexpr const char* kSeparators = "/";

std::string Reason(int errorNumber) { return std::strerror(errorNumber); }
unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

// A symbolic link is followed, so that the file it names is replaced and the
// link stays.
std::string ResolveTarget(const std::string& target) {
  struct stat st;
  if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
  char resolved[PATH_MAX];
  if (realpath(target.c_str(), resolved) == nullptr) return target;
  return resolved;
}

// `mode` gets the permissions of an existing regular file (0 otherwise), so
// that a replaced file keeps them.
bool IsFolder(const std::string& path, unsigned& mode) {
  struct stat st;
  mode = 0;
  if (stat(path.c_str(), &st) != 0) return false;
  if (S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
  return S_ISDIR(st.st_mode);
}

intptr_t CreateExclusive(const std::string& path, unsigned mode, bool& taken, std::string& reason) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (mode != 0) fchmod(fd, mode);
    return fd;
  }
  taken = errno == EEXIST;
  reason = Reason(errno);
  return kNone;
}

bool WriteSome(intptr_t file, const char* bytes, size_t size, size_t& written, std::string& reason) {
  for (;;) {
    const ssize_t n = write(static_cast<int>(file), bytes, size);
    if (n >= 0) {
      written = static_cast<size_t>(n);
      return true;
    }
    if (errno != EINTR) {
      reason = Reason(errno);
      return false;
    }
  }
}

bool FlushAndClose(intptr_t file, std::string& reason) {
  const int fd = static_cast<int>(file);
  if (fsync(fd) != 0 && errno != EINVAL) {
    reason = Reason(errno);
    close(fd);
    return false;
  }
  if (close(fd) != 0) {
    reason = Reason(errno);
    return false;
  }
  return true;
}

void CloseQuietly(intptr_t file) { close(static_cast<int>(file)); }
void RemoveFile(const std::string& path) { unlink(path.c_str()); }

bool ReplaceTarget(const std::string& temp, const std::string& target, std::string& reason) {
  if (rename(temp.c_str(), target.c_str()) == 0) return true;
  reason = Reason(errno);
  return false;
}

#endif

// ".<name>.<process>-" beside the target: what every temporary file of one
// process for that target is named with.
std::string TempPrefix(const std::string& target, unsigned long processId) {
  const size_t slash = target.find_last_of(kSeparators);
  const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  return dir + "." + base + "." + std::to_string(processId) + "-";
}

std::string TempNameBeside(const std::string& target) {
  return TempPrefix(target, ProcessId()) + std::to_string(tempCounter++) + ".tmp";
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Fail(const char* what, const std::string& reason) {
  if (error_.empty()) error_ = target_ + ": " + what + ": " + reason;
  Discard();
  return false;
}

void ReplacingFile::Discard() {
  if (file_ != kNone) CloseQuietly(file_);
  file_ = kNone;
  if (!temp_.empty()) RemoveFile(temp_);
  temp_.clear();
}

bool ReplacingFile::Open() {
  const std::string real = ResolveTarget(target_);
  unsigned mode = 0;
  if (IsFolder(real, mode)) return Fail("cannot write", std::strerror(EISDIR));
  // A device or a FIFO would be replaced by a plain file (or, written in
  // place, swallow the output or block): refused and left alone.
  if (KindOfPath(real) == PathKind::Other) {
    error_ = target_ + ": is not a regular file";
    return false;
  }
  // The new file takes the target's place by a rename, which the folder
  // allows even where the file itself may not be written: refused instead.
  if (ReadOnlyFile(real)) return Fail("cannot write", std::strerror(EACCES));
  std::string reason;
  for (int attempt = 0; attempt < 100 && file_ == kNone; ++attempt) {
    temp_ = TempNameBeside(real);
    bool taken = false;
    file_ = CreateExclusive(temp_, mode, taken, reason);
    if (file_ == kNone && !taken) {
      temp_.clear();
      return Fail("cannot create", reason);
    }
  }
  if (file_ == kNone) {
    temp_.clear();
    return Fail("cannot create", reason);
  }
  target_ = real;
  return true;
}

bool ReplacingFile::Write(const char* bytes, size_t size) {
  if (file_ == kNone) return false;
  std::string reason;
  while (size > 0) {
    size_t n = 0;
    if (!WriteSome(file_, bytes, size, n, reason)) return Fail("cannot write", reason);
    if (n == 0) return Fail("cannot write", std::strerror(EIO));
    bytes += n;
    size -= n;
  }
  return true;
}

bool ReplacingFile::Commit() {
  if (file_ == kNone) return false;
  const intptr_t file = file_;
  file_ = kNone;
  std::string reason;
  if (!FlushAndClose(file, reason)) return Fail("cannot write", reason);
  if (!ReplaceTarget(temp_, target_, reason)) return Fail("cannot replace", reason);
  temp_.clear();
  return true;
}

void RemoveLeftTemporaries(const std::string& target, unsigned long processId) {
  namespace fs = std::filesystem;
  const std::string prefix = TempPrefix(ResolveTarget(target), processId);
  const size_t slash = prefix.find_last_of(kSeparators);
  const std::string name = prefix.substr(slash == std::string::npos ? 0 : slash + 1);
  const fs::path dir = PathFromUtf8(slash == std::string::npos ? "." : prefix.substr(0, slash + 1));
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = Utf8FromPath(it->path().filename());
    if (entry.size() > name.size() + 4 && entry.compare(0, name.size(), name) == 0 &&
        entry.compare(entry.size() - 4, 4, ".tmp") == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

}  // namespace korvalog
