#pragma once
// What kind of thing a path names, and whether two names or an open
// descriptor and a name are the same file. Writers use it to refuse a target
// that is a device, a FIFO or a folder, and to refuse an output that is the
// file being read.
#include <cstdint>
#include <string>

namespace korvalog {

enum class PathKind { Missing, Regular, Folder, Other };

// A symbolic link is followed; a broken link is Missing.
PathKind KindOfPath(const std::string& path);

// True for an existing file a save must not replace: one this process may
// not write, or one marked read-only (no write permission for anyone, or the
// read-only attribute on Windows), which even an administrator's save leaves
// alone. A replacing save could otherwise swap it for a writable copy.
bool ReadOnlyFile(const std::string& path);

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

bool IdentityOfPath(const std::string& path, FileIdentity& id);
bool IdentityOfDescriptor(int fd, FileIdentity& id);
bool DescriptorIsRegular(int fd);

// True when both names reach the same file: by device and inode when both
// exist, by their resolved absolute names when neither does yet.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace korvalog
