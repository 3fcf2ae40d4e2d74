// Dumps written by other tools (tests/project/dumps, made by
// scripts/make-test-dumps.sh): an HDL simulator's counter with a 4-bit bus
// and a real, and a logic analyser's demonstration device. The changes per
// channel are counted here by a reading of the dump of its own.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "project/project_file.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

// Counts the level changes of every bit of every wire, in declaration order
// ("name" for a 1-bit wire, "name[i]" for a wider one, bit 0 first).
struct IndependentCount {
  std::vector<std::string> names;
  std::vector<uint64_t> changes;
  uint64_t unknownBits = 0;
};

IndependentCount CountChanges(const std::string& text) {
  struct Var {
    int width;
    std::string name;
    size_t first;  // index of its bit 0 in the names
  };
  IndependentCount out;
  std::map<std::string, std::vector<Var>> byCode;
  std::istringstream in(text);
  std::string word;
  // The header.
  while (in >> word && word != "$enddefinitions") {
    if (word != "$var") continue;
    std::string type, width, code, name, range;
    in >> type >> width >> code >> name >> range;
    const bool levels = type == "wire" || type == "reg";
    if (levels) {
      Var v{std::stoi(width), name, out.names.size()};
      for (int i = 0; i < v.width; ++i) out.names.push_back(v.width == 1 ? name : name + "[" + std::to_string(i) + "]");
      byCode[code].push_back(v);
    } else {
      byCode[code];
    }
  }
  in >> word;  // its $end
  out.changes.assign(out.names.size(), 0);
  std::vector<int> level(out.names.size(), 0);
  // Values before the first time and inside $dumpvars are start levels.
  bool timeSeen = false;
  bool inDumpvars = false;
  auto apply = [&](const std::string& code, std::string bits) {
    const bool initial = !timeSeen || inDumpvars;
    for (const Var& v : byCode.at(code)) {
      if (v.width == 1) {
        const char c = bits.back();
        if (c != '0' && c != '1') continue;
        const int l = c - '0';
        if (!initial && l != level[v.first]) ++out.changes[v.first];
        level[v.first] = l;
        continue;
      }
      while (static_cast<int>(bits.size()) < v.width) bits.insert(bits.begin(), bits[0] == '1' ? '0' : bits[0]);
      for (int i = 0; i < v.width; ++i) {
        const char c = bits[bits.size() - 1 - static_cast<size_t>(i)];
        if (c != '0' && c != '1') ++out.unknownBits;
        const int l = c == '1' ? 1 : 0;
        if (!initial && l != level[v.first + i]) ++out.changes[v.first + i];
        level[v.first + i] = l;
      }
    }
  };
  while (in >> word) {
    if (word == "$dumpvars") {
      inDumpvars = true;
    } else if (word == "$end") {
      inDumpvars = false;
    } else if (word[0] == '#') {
      timeSeen = true;
    } else if (word[0] == 'b' || word[0] == 'r') {
      std::string code;
      in >> code;
      if (word[0] == 'b') apply(code, word.substr(1));
    } else {
      apply(word.substr(1), word.substr(0, 1));
    }
  }
  return out;
}

struct Imported {
  std::vector<std::string> names;
  std::vector<uint64_t> changes;
  std::vector<std::string> warnings;
};

Imported Import(const std::string& path) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  CollectingLoadSinks sinks;
  const FileResult r = LoadCaptureFile(path, data, view, sinks);
  EXPECT_TRUE(r.ok) << r.error;
  Imported out;
  out.warnings = sinks.warnings;
  out.changes.assign(kChannelCount, 0);
  for (uint32_t i = 0; i < data.Store.Count(); ++i) ++out.changes[data.Store[i].channel - 1];
  for (int ch = 1; ch <= kChannelCount; ++ch) out.names.push_back(view.Traces.Name(ch));
  return out;
}

const std::string kDumps = KORVALOG_TEST_DUMPS;

TEST(ForeignDumpsTest, AnHdlSimulatorsCounterWithABusAndAReal) {
  const std::string path = kDumps + "/counter.vcd";
  const IndependentCount expected = CountChanges(testing_support::ReadBytes(path));
  ASSERT_EQ(expected.names, (std::vector<std::string>{"clk", "count[0]", "count[1]", "count[2]", "count[3]", "rst"}));
  const Imported got = Import(path);
  for (size_t i = 0; i < expected.names.size(); ++i) {
    EXPECT_EQ(got.names[i], expected.names[i]);
    EXPECT_EQ(got.changes[i], expected.changes[i]) << expected.names[i];
    EXPECT_GT(expected.changes[i], 0u) << expected.names[i];
  }
  // The counter counts: bit 0 changes at every count, bit 3 eight times as seldom.
  EXPECT_GE(expected.changes[1], 8 * expected.changes[4] - 1);
  EXPECT_EQ(got.names[6], "#7");
  EXPECT_EQ(got.warnings, (std::vector<std::string>{
                              "1 variable ('speed') left out: only wires of levels can be imported",
                              std::to_string(expected.unknownBits) + " x or z bits of wider wires read as 0"}));
}

TEST(ForeignDumpsTest, ALogicAnalysersDemonstrationDevice) {
  const std::string path = kDumps + "/sigrok-demo.vcd";
  const IndependentCount expected = CountChanges(testing_support::ReadBytes(path));
  ASSERT_EQ(expected.names.size(), 8u);
  const Imported got = Import(path);
  uint64_t total = 0;
  for (size_t i = 0; i < expected.names.size(); ++i) {
    EXPECT_EQ(got.names[i], expected.names[i]);
    EXPECT_EQ(got.changes[i], expected.changes[i]) << expected.names[i];
    total += expected.changes[i];
  }
  EXPECT_GT(total, 500u);
  EXPECT_TRUE(got.warnings.empty());
}

}  // namespace
}  // namespace korvalog
