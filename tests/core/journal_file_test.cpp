// The journal's file layer on real files, on Linux and under Wine alike: a
// journal is removed and renamed while it is open (a save, a rotated part),
// its lock tells a running capture's journal from one left behind without
// stopping anyone from reading it, and names may hold any letters.
#include "core/journal_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_names.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

namespace jf = journal_file;
using testing_support::ReadBytes;
using testing_support::TempDir;

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(PathFromUtf8(path), ec);
}

void Put(int fd, const std::string& bytes, uint64_t at) {
  ASSERT_EQ(jf::WriteAt(fd, bytes.data(), bytes.size(), at), static_cast<long long>(bytes.size()));
}

class JournalFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  TempDir dir;
  std::string Path(const std::string& tail) const { return dir / (GetParam() + tail); }
};

TEST_P(JournalFileTest, AnOpenJournalIsRemoved) {
  const std::string path = Path(".journal");
  const int fd = jf::Open(path, true);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(jf::TryLock(fd, true), jf::LockResult::Taken);
  Put(fd, "records", 0);
  ASSERT_TRUE(jf::Remove(path)) << path;
  jf::Close(fd);
  EXPECT_FALSE(Exists(path));
  // The name is free for the next capture's journal.
  const int again = jf::Open(path, true);
  EXPECT_GE(again, 0);
  if (again >= 0) jf::Close(again);
  EXPECT_TRUE(jf::Remove(path));
  EXPECT_FALSE(jf::Remove(path));
  EXPECT_EQ(errno, ENOENT);
}

TEST_P(JournalFileTest, AnOpenJournalIsRenamedAndWritesFollowIt) {
  const std::string path = Path(".journal");
  const std::string aside = Path(".journal.previous");
  const int old = jf::Open(aside, true);  // a part before, already there
  ASSERT_GE(old, 0);
  Put(old, "older part", 0);
  jf::Close(old);
  const int fd = jf::Open(path, true);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(jf::TryLock(fd, true), jf::LockResult::Taken);
  Put(fd, "full part", 0);
  ASSERT_TRUE(jf::Rename(path, aside)) << path;
  EXPECT_FALSE(Exists(path));
  Put(fd, " and its end", 9);
  jf::SyncData(fd);
  EXPECT_EQ(ReadBytes(Utf8FromPath(PathFromUtf8(aside))), "full part and its end");
  // The next part's journal opens under the name at once.
  const int next = jf::Open(path, true);
  ASSERT_GE(next, 0);
  EXPECT_EQ(jf::TryLock(next, true), jf::LockResult::Taken);
  jf::Close(next);
  // The part saved: its journal goes while still open.
  EXPECT_TRUE(jf::Remove(aside));
  jf::Close(fd);
  EXPECT_FALSE(Exists(aside));
}

TEST_P(JournalFileTest, TheLockTellsARunningCaptureAndLetsItBeRead) {
  const std::string path = Path(".journal");
  const int writer = jf::Open(path, true);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(jf::TryLock(writer, true), jf::LockResult::Taken);
  Put(writer, std::string(5000, 'r'), 0);
  const int reader = jf::Open(path, false);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(jf::TryLock(reader, false), jf::LockResult::Busy);
  EXPECT_EQ(jf::TryLock(reader, true), jf::LockResult::Busy);
  jf::Close(reader);
  EXPECT_EQ(ReadBytes(Utf8FromPath(PathFromUtf8(path))).size(), 5000u);  // a lock stops no reader
  EXPECT_TRUE(jf::Truncate(writer, 100));
  EXPECT_EQ(std::filesystem::file_size(PathFromUtf8(path)), 100u);
  jf::Close(writer);
  // Left behind: nobody holds it any more.
  const int later = jf::Open(path, false);
  ASSERT_GE(later, 0);
  EXPECT_EQ(jf::TryLock(later, true), jf::LockResult::Taken);
  jf::Close(later);
}

TEST_P(JournalFileTest, AMissingJournalIsNotCreatedByAReader) {
  const std::string path = Path("-missing.journal");
  errno = 0;
  EXPECT_LT(jf::Open(path, false), 0);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(jf::Rename(path, Path("-other.journal")));
}

INSTANTIATE_TEST_SUITE_P(Names, JournalFileTest,
                         ::testing::Values("capture", "Aufzug Süd", "\xe9\x9b\xbb\xe6\xa2\xaf", "capture-2.kv"));

TEST(FileNames, Utf8NamesCrossOverUnchanged) {
  for (const std::string name : {"plain.kv", "Prüfstand Aufzüge/lift.kv", "\xe9\x9b\xbb\xe6\xa2\xaf.kv", ""}) {
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), PathFromUtf8(name).string()) << name;
    EXPECT_EQ(PathFromUtf8(name).filename(), PathFromUtf8(name).filename());
  }
  EXPECT_EQ(Utf8FromPath(PathFromUtf8("Aufzüge")), "Aufzüge");
#ifdef _WIN32
  EXPECT_EQ(PathFromUtf8("Aufzüge").wstring(), L"Aufz\u00fcge");
  EXPECT_EQ(Utf8FromPath(PathFromUtf8("C:\\korvalog\\Süd\\x.kv").parent_path()), "C:\\korvalog\\Süd");
#endif
}

}  // namespace
}  // namespace korvalog
