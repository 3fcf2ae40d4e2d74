#pragma once
// The few file operations the capture journal needs beyond the standard
// library: positioned writes, forcing data to the disk, and an advisory lock
// that tells a running capture's journal from one left behind, and removing
// or renaming a journal that is still open. POSIX calls on Linux; on Windows
// the file is opened with delete sharing (so that it can be removed and
// renamed while open, as on POSIX) and handed out as a C runtime descriptor.
#include <cstddef>
#include <cstdint>
#include <string>

namespace korvalog::journal_file {

// A descriptor, or -1 when the open failed (errno tells why). `write` opens
// for reading and writing and creates a missing file.
int Open(const std::string& path, bool write);
void Close(int fd);

enum class LockResult { Taken, Busy, Failed };
// Takes the lock without waiting; Busy when another open file holds it.
LockResult TryLock(int fd, bool exclusive);

// Writes at a byte offset; the count written, or -1 with errno set.
long long WriteAt(int fd, const char* data, size_t size, uint64_t offset);
bool Truncate(int fd, uint64_t size);
void SyncData(int fd);
// Makes a new file's name in its folder survive a power cut.
void SyncFolderOf(const std::string& path);

// Creates an empty file only when nothing has the name: the claim of a name
// that two programs may choose at the same moment. False with errno set
// (EEXIST when the name is taken).
bool CreateNew(const std::string& path);

// Removes a file, open or not; false with errno set (ENOENT when missing).
bool Remove(const std::string& path);
// Gives a file, open or not, a new name in the same folder, replacing a file
// of that name; false with errno set.
bool Rename(const std::string& from, const std::string& to);

}  // namespace korvalog::journal_file
