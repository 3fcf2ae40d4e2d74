// The numbered files of a continuous capture: names, numbering after an
// earlier run of the same second, and what --max-files removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "session/continuous_parts.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ContinuousParts, NamesAndNumbers) {
  EXPECT_EQ(ContinuousPartName("20261207-103000", 3), "20261207-103000-0003.kv");
  const struct {
    const char* name;
    bool part;
  } names[] = {{"20261207-103000-0003.kv", true}, {"20261207-103000-0003.KV", false},
               {"20261207_103000-0003.kv", false}, {"2026120x-103000-0003.kv", false},
               {"20261207-103000-003.kv", false},  {"recovered-20261207-103000.kv", false},
               {"20261207-103000-10000.kv", true}, {"20261207-103000-1000x.kv", false}};
  for (const auto& n : names) EXPECT_EQ(IsContinuousPartName(n.name), n.part) << n.name;

  testing_support::TempDir dir;
  EXPECT_EQ(FirstFreePartNumber(dir.Path(), "20261207-103000"), 1u);
  for (const char* name : {"20261207-103000-0001.kv", "20261207-103000-0007.kv", "20261207-103001-0020.kv"}) {
    testing_support::WriteBytes(dir / name, "x");
  }
  EXPECT_EQ(FirstFreePartNumber(dir.Path(), "20261207-103000"), 8u);
  EXPECT_EQ(FirstFreePartNumber(dir.Path(), "20261207-103002"), 1u);
  // Past 9999 the numbers go on with five digits, and --max-files counts them.
  testing_support::WriteBytes(dir / "20261207-103000-10000.kv", "x");
  EXPECT_EQ(FirstFreePartNumber(dir.Path(), "20261207-103000"), 10001u);
  EXPECT_EQ(ContinuousPartName("20261207-103000", 10001), "20261207-103000-10001.kv");
  fs::last_write_time(dir / "20261207-103000-10000.kv", fs::file_time_type::clock::now() - 1h);
  std::vector<std::string> own;
  PruneContinuousParts(dir.Path(), 3, own);
  EXPECT_FALSE(fs::exists(dir / "20261207-103000-10000.kv"));
}

TEST(ContinuousParts, PruningTakesEarlierRunsByAgeThenThisRunsOldestNeverTheNewest) {
  const struct {
    const char* what;
    size_t keep;
    int ownFiles;
    std::vector<std::string> left;
    std::vector<std::string> needed = {};  // own parts still waiting for the fleet store
  } cases[] = {
      // Earlier files: "29991231..." (a name from the future, modified an
      // hour ago) and "20200101..." (modified a day ago). This run's names
      // lie before both, as after a clock set back.
      {"room for all", 5, 2, {"20000101-000000-0001.kv", "20000101-000000-0002.kv", "20200101-000000-0001.kv",
                              "29991231-235959-0001.kv"}},
      {"the older earlier file goes first", 3, 2,
       {"20000101-000000-0001.kv", "20000101-000000-0002.kv", "29991231-235959-0001.kv"}},
      {"then the other", 2, 2, {"20000101-000000-0001.kv", "20000101-000000-0002.kv"}},
      {"then this run's oldest", 2, 3, {"20000101-000000-0002.kv", "20000101-000000-0003.kv"}},
      {"never the one just written", 1, 3, {"20000101-000000-0003.kv"}},
      {"nor one still waiting for the store", 1, 3, {"20000101-000000-0001.kv", "20000101-000000-0003.kv"},
       {"20000101-000000-0001.kv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir / "29991231-235959-0001.kv", "x");
    testing_support::WriteBytes(dir / "20200101-000000-0001.kv", "x");
    testing_support::WriteBytes(dir / "notes.kv", "x");  // not a part: never touched
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(dir / "29991231-235959-0001.kv", now - 1h);
    fs::last_write_time(dir / "20200101-000000-0001.kv", now - 24h);
    std::vector<std::string> own;
    for (int i = 1; i <= c.ownFiles; ++i) {
      own.push_back(dir / ContinuousPartName("20000101-000000", static_cast<uint32_t>(i)));
      testing_support::WriteBytes(own.back(), "x");
    }
    PruneContinuousParts(dir.Path(), c.keep, own, {}, [&](const std::string& path) {
      return std::find(c.needed.begin(), c.needed.end(), fs::path(path).filename().string()) != c.needed.end();
    });
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
      const std::string name = entry.path().filename().string();
      if (name != "notes.kv") left.push_back(name);
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, c.left);
    EXPECT_TRUE(fs::exists(dir / "notes.kv"));
  }
}

}  // namespace
}  // namespace korvalog
