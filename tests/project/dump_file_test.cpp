// The dump file: its line form, the three-digit channels and failures.
#include "project/dump_file.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

double At(int y, int mo, int d, int h, int mi, int s) {
  DateTimeFields f;
  f.year = y, f.month = mo, f.day = d, f.hour = h, f.minute = mi, f.second = s;
  double t = 0;
  EXPECT_TRUE(TryEncodeDateTime(f, t));
  return t;
}

class DumpFileTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.0};
  CaptureData data{clock};
  TempDir dir;
};

TEST_F(DumpFileTest, LinesHoldChannelStateAndTimeStamp) {
  data.Store.Append(At(2024, 12, 25, 14, 32, 5), 7, 0);
  data.Store.Append(At(2024, 12, 25, 14, 32, 6), 128, 1);
  data.Store.Append(At(2024, 12, 25, 14, 32, 7), 100, 0);
  ASSERT_TRUE(WriteDumpFile(dir / kDumpFileName, data).ok);
  EXPECT_EQ(ReadBytes(dir / kDumpFileName),
            "07\t0\t25/12 1432:05.005\r\n"
            "128\t1\t25/12 1432:06.005\r\n"
            "100\t0\t25/12 1432:07.005\r\n");
}

TEST_F(DumpFileTest, EmptyStoreLeavesAnyFileAlone) {
  testing_support::WriteBytes(dir / kDumpFileName, "older");
  ASSERT_TRUE(WriteDumpFile(dir / kDumpFileName, data).ok);
  EXPECT_EQ(ReadBytes(dir / kDumpFileName), "older");
  ASSERT_TRUE(WriteDumpFile(dir / "none.dmp", data).ok);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.dmp"));
}

TEST_F(DumpFileTest, FailuresAreReported) {
  data.Store.Append(1.0, 1, 1);
  const FileResult r = WriteDumpFile(dir / "missing/Korvalog.dmp", data);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Korvalog.dmp: cannot create"), std::string::npos);
#ifndef _WIN32
  // A device is not replaced, nor written into.
  const FileResult full = WriteDumpFile("/dev/full", data);
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.error, "/dev/full: is not a regular file");
#endif
}

TEST_F(DumpFileTest, BlocksJoinToTheSameBytes) {
  for (uint32_t i = 0; i < 70000; ++i) data.Store.Append(45000.0 + i / 1000.0, static_cast<uint8_t>(1 + i % 128), i % 2);
  std::string whole;
  AppendDumpLines(data.Store, 0, data.Store.Count(), whole);
  std::string joined;
  int blocks = 0;
  ASSERT_TRUE(WriteDumpLines(data.Store, [&](const std::string& b) {
    joined += b;
    ++blocks;
    return true;
  }));
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(joined, whole);
}

}  // namespace
}  // namespace korvalog
