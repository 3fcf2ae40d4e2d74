// A save that cannot complete is reported and destroys nothing.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <csignal>

#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

class SaveFailureTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.0};
  CaptureData data{clock};
  CaptureView view;
  TempDir dir;

  void SetUp() override {
    for (uint32_t i = 0; i < 20000; ++i) data.Store.Append(45000.0 + i, static_cast<uint8_t>(1 + i % 128), (i / 128) % 2);
    data.CaptureEnd.index = data.Store.Count();
    data.DataPresent = 1;
    data.DataModified = 1;
  }
  FileResult Save(const std::string& path) { return WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd); }
  size_t FilesIn(const std::string& path) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path)) ++n;
    return n;
  }
};

#ifndef _WIN32  // file-size limits, modes and /proc
TEST_F(SaveFailureTest, FullLocationKeepsThePreviousFile) {
  const std::string path = dir / "run.kv";
  WriteBytes(path, "previous project\r\n");
  // A file size limit makes the disk look full to this process.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const FileResult r = Save(path);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("run.kv"), std::string::npos);
  EXPECT_NE(r.error.find("cannot write"), std::string::npos);
  EXPECT_EQ(ReadBytes(path), "previous project\r\n");
  EXPECT_EQ(data.DataModified, 1);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);  // the temporary file is gone
}

TEST_F(SaveFailureTest, ReadOnlyLocationIsReported) {
  const FileResult proc = Save("/proc/korvalog-test.kv");
  EXPECT_FALSE(proc.ok);
  EXPECT_NE(proc.error.find("/proc/korvalog-test.kv: cannot create"), std::string::npos);
  EXPECT_FALSE(Save(dir / "no-such-folder/run.kv").ok);

  const std::string locked = dir / "locked";
  std::filesystem::create_directory(locked);
  WriteBytes(locked + "/run.kv", "previous");
  chmod(locked.c_str(), 0555);
  if (access(locked.c_str(), W_OK) != 0) {  // the superuser may write anyway
    EXPECT_FALSE(Save(locked + "/run.kv").ok);
    EXPECT_EQ(ReadBytes(locked + "/run.kv"), "previous");
  }
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(data.DataModified, 1);
}

#endif

TEST_F(SaveFailureTest, FolderInTheWayIsReported) {
  std::filesystem::create_directory(dir / "taken.kv");
  const FileResult r = Save(dir / "taken.kv");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.kv"));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

// A read-only file (the read-only attribute on Windows) is not replaced by
// a renamed copy that would drop its protection.
TEST_F(SaveFailureTest, ReadOnlyFileIsKept) {
  const std::string path = dir / "read-only.kv";
  WriteBytes(path, "previous");
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const FileResult r = Save(path);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("read-only.kv: cannot write"), std::string::npos) << r.error;
  EXPECT_EQ(ReadBytes(path), "previous");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
  EXPECT_EQ(data.DataModified, 1);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32
TEST_F(SaveFailureTest, LinkedTargetIsReplacedThroughTheLink) {
  WriteBytes(dir / "real.kv", "old");
  std::filesystem::create_symlink(dir / "real.kv", dir / "link.kv");
  chmod((dir / "real.kv").c_str(), 0640);
  ASSERT_TRUE(Save(dir / "link.kv").ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.kv"));
  EXPECT_EQ(ReadBytes(dir / "real.kv").substr(0, 3), "S01");
  struct stat st;
  ASSERT_EQ(stat((dir / "real.kv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(data.DataModified, 0);
}
#endif

}  // namespace
}  // namespace korvalog
