#pragma once
// The few file operations the capture journal needs beyond the standard
// library: positioned writes, forcing data to the disk, and an advisory lock
// that tells a running capture's journal from one left behind. POSIX calls on
// Linux; the Windows branch goes through the C runtime's descriptors.
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

}  // namespace korvalog::journal_file
