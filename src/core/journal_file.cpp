#include "core/journal_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/file_names.h"

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

// The lock is one byte far beyond any journal's end: Windows locks are
// mandatory, and a lock over the data would stop a reader of a running
// capture's journal (and the journal's own writes through another handle).
constexpr DWORD kLockOffsetHigh = 0x40000000;

int ErrnoOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    default: return EIO;
  }
}

int Open(const std::string& path, bool write) {
  // Every kind of sharing, delete included: the journal is removed after a
  // save and a rotated part's journal renamed while they are open, and a
  // reader must not keep a running capture from doing either.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, share,
                               nullptr, write ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), (write ? _O_RDWR : _O_RDONLY) | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    errno = EMFILE;
  }
  return fd;
}

void Close(int fd) { _close(fd); }

LockResult TryLock(int fd, bool exclusive) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE) return LockResult::Failed;
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(h, flags, 0, 1, 0, &at)) return LockResult::Taken;
  const DWORD code = GetLastError();
  return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? LockResult::Busy : LockResult::Failed;
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

bool CreateNew(const std::string& path) {
  const HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return false;
  }
  CloseHandle(h);
  return true;
}

bool Remove(const std::string& path) {
  if (DeleteFileW(WideFromUtf8(path).c_str())) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

bool Rename(const std::string& from, const std::string& to) {
  if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

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

bool CreateNew(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool Remove(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool Rename(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

#endif

}  // namespace korvalog::journal_file
