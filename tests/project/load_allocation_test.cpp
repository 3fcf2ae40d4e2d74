// Loading must not allocate per line: the allocations of a load do not grow
// with the number of lines. Counts every operator new.
#include <gtest/gtest.h>

#include "common/allocation_counter.h"
#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

long AllocationsToLoad(const std::string& path, const std::string& bytes) {
  testing_support::WriteBytes(path, bytes);
  ManualClock clock(1.0);
  CaptureData data(clock);
  CaptureView view;
  NullLoadSinks sinks;
  const long before = testing::AllocationCount();
  EXPECT_TRUE(LoadCaptureFile(path, data, view, sinks).ok);
  return testing::AllocationCount() - before;
}

std::string Repeat(const std::string& line, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += line;
  return out;
}

TEST(LoadAllocation, DoesNotGrowWithTheLines) {
  testing_support::TempDir dir;
  const std::string event = "E00000000504BE6400501\r\n";
  const std::string other = "S01" + std::string(68, '0') + "\r\nQ01050102001E00\r\nXjunk\r\n";
  // Both warn about ignored lines with a text too long to keep in place.
  EXPECT_EQ(AllocationsToLoad(dir / "few.kv", Repeat(event, 10) + Repeat(other, 10)),
            AllocationsToLoad(dir / "many.kv", Repeat(event, 100000) + Repeat(other, 1000)));
  const std::string logEvents = "D010125\r\nT09\r\nH0512345\r\nL0512346\r\n";
  EXPECT_EQ(AllocationsToLoad(dir / "few.001", Repeat(logEvents, 10)),
            AllocationsToLoad(dir / "many.001", Repeat(logEvents, 50000)));
}

}  // namespace
}  // namespace korvalog
