#include "core/journal_file.h"

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace korvalog::journal_file {

#ifdef _WIN32

int Open(const std::string& path, bool write) {
  const std::wstring wide = std::filesystem::path(path).wstring();
  const int flags = _O_BINARY | _O_NOINHERIT | (write ? (_O_RDWR | _O_CREAT) : _O_RDONLY);
  return _wopen(wide.c_str(), flags, _S_IREAD | _S_IWRITE);
}

void Close(int fd) { _close(fd); }

LockResult TryLock(int fd, bool exclusive) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE) return LockResult::Failed;
  OVERLAPPED at{};
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(h, flags, 0, MAXDWORD, MAXDWORD, &at)) return LockResult::Taken;
  return GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::Busy : LockResult::Failed;
}

long long WriteAt(int fd, const char* data, size_t size, uint64_t offset) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD done = 0;
  const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!WriteFile(h, data, chunk, &done, &at)) {
    errno = GetLastError() == ERROR_DISK_FULL ? ENOSPC : EIO;
    return -1;
  }
  return done;
}

bool Truncate(int fd, uint64_t size) { return _chsize_s(fd, static_cast<long long>(size)) == 0; }

void SyncData(int fd) { _commit(fd); }

void SyncFolderOf(const std::string&) {}  // NTFS journals its folder entries itself

#else

int Open(const std::string& path, bool write) {
  // Never waits: a FIFO in a journal's place must not hang the program.
  return write ? open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644)
               : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

void Close(int fd) { close(fd); }

LockResult TryLock(int fd, bool exclusive) {
  if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return LockResult::Taken;
  return errno == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
}

long long WriteAt(int fd, const char* data, size_t size, uint64_t offset) {
  return pwrite(fd, data, size, static_cast<off_t>(offset));
}

bool Truncate(int fd, uint64_t size) { return ftruncate(fd, static_cast<off_t>(size)) == 0; }

void SyncData(int fd) { fdatasync(fd); }

void SyncFolderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

#endif

}  // namespace korvalog::journal_file
