#include "core/file_identity.h"

#include <filesystem>

#include "core/file_names.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvalog {

#ifdef _WIN32

namespace {
bool IdentityOfHandle(HANDLE h, FileIdentity& id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &info)) return false;
  id.device = info.dwVolumeSerialNumber;
  id.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}
}  // namespace

PathKind KindOfPath(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(PathFromUtf8(path), ec);
  if (ec || status.type() == std::filesystem::file_type::not_found) return PathKind::Missing;
  if (status.type() == std::filesystem::file_type::regular) return PathKind::Regular;
  if (status.type() == std::filesystem::file_type::directory) return PathKind::Folder;
  return PathKind::Other;
}

bool ReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool IdentityOfPath(const std::string& path, FileIdentity& id) {
  const HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = IdentityOfHandle(h, id);
  CloseHandle(h);
  return ok;
}

bool IdentityOfDescriptor(int fd, FileIdentity& id) {
  return IdentityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), id);
}

bool DescriptorIsRegular(int fd) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  return h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_DISK;
}

#else

PathKind KindOfPath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return PathKind::Missing;
  if (S_ISREG(st.st_mode)) return PathKind::Regular;
  if (S_ISDIR(st.st_mode)) return PathKind::Folder;
  return PathKind::Other;
}

bool ReadOnlyFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

bool IdentityOfPath(const std::string& path, FileIdentity& id) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool IdentityOfDescriptor(int fd, FileIdentity& id) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool DescriptorIsRegular(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

#endif

bool SameFile(const std::string& a, const std::string& b) {
  FileIdentity ia;
  FileIdentity ib;
  const bool hasA = IdentityOfPath(a, ia);
  const bool hasB = IdentityOfPath(b, ib);
  if (hasA && hasB) return ia == ib;
  if (hasA || hasB) return false;
  std::error_code ec1;
  std::error_code ec2;
  const auto ca = std::filesystem::weakly_canonical(std::filesystem::absolute(PathFromUtf8(a), ec1), ec1);
  const auto cb = std::filesystem::weakly_canonical(std::filesystem::absolute(PathFromUtf8(b), ec2), ec2);
  return !ec1 && !ec2 && ca == cb;
}

}  // namespace korvalog
