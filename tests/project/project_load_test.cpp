// Loading projects: which names are projects, lenient reading of lines, the
// rebuilt span, and files that cannot be read.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <limits>

#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::TempDir;
using testing_support::WriteBytes;

// "E" line of an event, in upper or lower case.
std::string ELine(double time, uint8_t channel, uint8_t state, bool lower = false) {
  EventRecord r{time, channel, state};
  const auto* p = reinterpret_cast<const uint8_t*>(&r);
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string out = "E";
  for (int i = 0; i < 10; ++i) {
    out += digits[p[i] >> 4];
    out += digits[p[i] & 15];
  }
  return out;
}

class ProjectLoadTest : public ::testing::Test {
 protected:
  ManualClock clock{45000.0};
  CaptureData data{clock};
  CaptureView view;
  CollectingLoadSinks sinks;
  TempDir dir;

  FileResult Load(const std::string& name, const std::string& bytes) {
    WriteBytes(dir / name, bytes);
    return LoadCaptureFile(dir / name, data, view, sinks);
  }
};

TEST(ProjectPath, KvAnywhereInAnyCaseMakesAProject) {
  EXPECT_TRUE(IsProjectPath("run.kv"));
  EXPECT_TRUE(IsProjectPath("run.KV"));
  EXPECT_TRUE(IsProjectPath("run.kv.bak"));
  EXPECT_TRUE(IsProjectPath("/data/x.kvold/run.001"));
  EXPECT_FALSE(IsProjectPath("run.001"));
  EXPECT_FALSE(IsProjectPath("kv"));
}

TEST_F(ProjectLoadTest, NameDecidesTheGrammar) {
  const std::string text = ELine(45658.5, 5, 1) + "\r\nH0512345\r\n";
  ASSERT_TRUE(Load("run.KV", text).ok);
  EXPECT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(sinks.logImports, 0);
  ASSERT_TRUE(Load("run.kv.bak", text).ok);
  EXPECT_EQ(data.Store.Count(), 1u);
  ASSERT_TRUE(Load("run.001", text).ok);
  EXPECT_EQ(sinks.logImports, 1);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].channel, 6);
}

TEST_F(ProjectLoadTest, OnlyEventLinesGiveSpanAndOppositeStartStates) {
  const std::string text = ELine(100.25, 3, 1) + "\r\n" + ELine(100.5, 7, 0) + "\r\n" + ELine(100.75, 3, 0) +
                           "\r\n" + ELine(101.0, 130, 1) + "\r\n";  // channel 130 is skipped
  ASSERT_TRUE(Load("only.kv", text).ok);
  ASSERT_EQ(data.Store.Count(), 3u);
  EXPECT_EQ(data.CaptureStart.time, 100.25);
  EXPECT_EQ(data.CaptureEnd.time, 100.75);
  EXPECT_EQ(data.CaptureStart.index, 0u);
  EXPECT_EQ(data.CaptureEnd.index, 3u);
  EXPECT_EQ(data.CaptureStart.states[2], 0);  // first goes HIGH, so starts LOW
  EXPECT_EQ(data.CaptureStart.states[6], 1);  // first goes LOW, so starts HIGH
  EXPECT_EQ(data.CaptureStart.states[0], 0);  // no events: LOW
  EXPECT_EQ(data.CaptureEnd.states[2], 0);
  EXPECT_EQ(data.CaptureEnd.states[6], 0);
  EXPECT_EQ(data.DataPresent, 1);
  EXPECT_TRUE(sinks.lastHasEvents);
}

TEST_F(ProjectLoadTest, LowerCaseHexReadsAsUpperCase) {
  ASSERT_TRUE(Load("lower.kv", ELine(45658.5, 0xAB - 0x30, 1, true) + "\r\nq01050102001e00\r\nQ02050102001e00\r\n").ok);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].time, 45658.5);
  EXPECT_EQ(data.Store[0].channel, 0xAB - 0x30);
  EXPECT_EQ(view.Sequence[1].maxTime, 30);  // tags are upper case; "q" is unknown
  EXPECT_EQ(view.Sequence[0].signal, 0);
}

TEST_F(ProjectLoadTest, UnknownAndMalformedLinesAreSkipped) {
  view.Traces.SetName(2, "Kept");
  const std::string text =
      "hello world\r\n"
      "E00000000504BE640050\r\n"      // one digit short
      "E00000000504BE640050100\r\n"   // too long
      "S0002" + std::string(66, '0') + "\r\n"  // channel 0
      "Q10050102001E00\r\n"            // row 16
      "L3" + std::string(288, '0') + "\r\n"    // any other digit means the end snapshot
      "\r\n\r\n"
      "E00000000504BE64005G1\r\n";    // a non-hex digit counts 0
  ASSERT_TRUE(Load("junk.kv", text).ok);
  EXPECT_EQ(view.Traces.Name(2), "Kept");
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].state, 1);
  EXPECT_EQ(data.Store[0].channel, 5);
}

TEST_F(ProjectLoadTest, ControlBytesInsideAnEventLine) {
  // A tab is an ordinary non-hex digit; a CR inside splits the line in two.
  ASSERT_TRUE(Load("ctrl.kv", "E00000000504BE64005\t1\r\nE00000000504BE640\r0501\r\n").ok);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].channel, 5);
  EXPECT_EQ(data.Store[0].state, 1);
}

TEST_F(ProjectLoadTest, AnyLineEndAndAMissingLastOne) {
  const std::string a = ELine(1.0, 1, 1);
  const std::string b = ELine(2.0, 2, 1);
  for (const std::string& text : {a + "\n" + b, a + "\r" + b + "\r", a + "\r\n" + b + "\r\n", a + "\n\r" + b}) {
    ASSERT_TRUE(Load("ends.kv", text).ok);
    EXPECT_EQ(data.Store.Count(), 2u);
  }
}

TEST_F(ProjectLoadTest, BinaryBytesAndHugeLinesDoNotDisturbTheRest) {
  // Binary bytes at the very start mark a file that is no project at all.
  EXPECT_FALSE(Load("binary.kv", std::string(3, '\0') + ELine(3.0, 3, 0) + "\n").ok);
  // Past the first kilobyte they only cost their lines.
  std::string text = std::string(1100, 'x') + "\n" + std::string(3, '\0');
  text += "E\xff\x80\x01";
  text += "\n" + std::string(3000000, 'E') + "\n";
  text += ELine(3.0, 3, 0) + "\n";
  text += "S01" + std::string(100000, '1') + ELine(4.0, 4, 0) + "\n";
  ASSERT_TRUE(Load("binary.kv", text).ok);
  ASSERT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.Store[0].channel, 3);
  EXPECT_EQ(sinks.warnings, std::vector<std::string>{"4 lines ignored"});
}

TEST_F(ProjectLoadTest, LeftOpenRecordsGetSoundValues) {
  std::string longName = "S0121";  // length 33
  for (int i = 0; i < 32; ++i) longName += "41";
  longName += "01";
  std::string badOrder = "O";
  for (int i = 0; i < 128; ++i) badOrder += "01";
  std::string snapshot = "L1" + std::string(8, '0') + "DEADBEEF" + std::string(16, '0');
  for (int i = 0; i < 128; ++i) snapshot += i == 0 ? "07" : "00";
  ASSERT_TRUE(Load("open.kv", longName + "\r\n" + badOrder + "\r\n" + snapshot + "\r\n").ok);
  EXPECT_EQ(view.Traces.Table()[0].nameLength, 32);
  EXPECT_EQ(view.Traces.Name(1), std::string(32, 'A'));
  EXPECT_EQ(view.Traces.Search(1), 1);
  for (int i = 0; i < 128; ++i) EXPECT_EQ(view.Traces.Order()[i], i + 1);
  EXPECT_EQ(data.CaptureStart.reserved[0], 0xDE);
  EXPECT_EQ(data.CaptureStart.reserved[3], 0xEF);
  EXPECT_EQ(data.CaptureStart.states[0], 1);  // a level reads as 0 or 1
}

TEST_F(ProjectLoadTest, EventsBeyondTheStoreAreDropped) {
  std::string text;
  text.reserve((kEventCapacity + 2) * 22);
  for (uint32_t i = 0; i < kEventCapacity + 2; ++i) text += ELine(1.0 + i, static_cast<uint8_t>(1 + i % 128), 1) + "\n";
  ASSERT_TRUE(Load("full.kv", text).ok);
  EXPECT_EQ(data.Store.Count(), kEventCapacity);
  EXPECT_EQ(data.Store[kEventCapacity - 1].time, 1.0 + (kEventCapacity - 1));
  EXPECT_EQ(data.CaptureEnd.index, kEventCapacity);
  EXPECT_EQ(sinks.warnings, std::vector<std::string>{"2 events skipped: 2 beyond the store's 1048576 events"});
}

TEST_F(ProjectLoadTest, EventsThatCannotBeDrawnAreSkippedWithOneWarning) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::string text = ELine(2.0, 3, 1) + "\n" + ELine(nan, 3, 0) + "\n" + ELine(inf, 3, 0) + "\n" +
                           ELine(-inf, 3, 0) + "\n" + ELine(3.0, 129, 1) + "\n" + ELine(3.0, 0, 1) + "\n" +
                           ELine(3.0, 3, 7) + "\n" + ELine(4.0, 3, 0) + "\n" +
                           "L1" + std::string(288, 'F') + "\n";  // a snapshot time that is NaN
  ASSERT_TRUE(Load("odd.kv", text).ok);
  ASSERT_EQ(data.Store.Count(), 2u);
  EXPECT_EQ(data.CaptureStart.time, 2.0);
  EXPECT_EQ(data.CaptureEnd.time, 4.0);
  EXPECT_EQ(sinks.warnings, std::vector<std::string>{
                                "6 events skipped: 2 with a channel outside 1..128, 1 with a level other than 0 "
                                "or 1, 3 with a time that is not a finite number"});
  // A clean file says nothing.
  sinks.warnings.clear();
  ASSERT_TRUE(Load("clean.kv", ELine(2.0, 3, 1)).ok);
  EXPECT_TRUE(sinks.warnings.empty());
#ifndef _WIN32  // links need a privilege there
  // A symbolic link to a regular file loads like the file.
  std::filesystem::create_symlink(dir / "clean.kv", dir / "link.kv");
  ASSERT_TRUE(LoadCaptureFile(dir / "link.kv", data, view, sinks).ok);
  EXPECT_EQ(data.Store.Count(), 1u);
#endif
}

TEST_F(ProjectLoadTest, EmptyFileIsRefusedAndTheCaptureStays) {
  data.Store.Append(5.0, 1, 1);
  data.DataPresent = 1;
  data.DataModified = 1;
  const FileResult r = Load("empty.kv", "");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, dir / "empty.kv" + ": not a Korvalog project");
  EXPECT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.DataPresent, 1);
  EXPECT_EQ(data.DataModified, 1);
  EXPECT_EQ(sinks.dataLoaded, 0);
}

TEST_F(ProjectLoadTest, UnreadablePathsChangeNothing) {
  data.Store.Append(5.0, 1, 1);
  data.DataPresent = 1;
  data.DataModified = 1;
  const FileResult missing = LoadCaptureFile(dir / "missing.kv", data, view, sinks);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("missing.kv"), std::string::npos);
  EXPECT_NE(missing.error.find("No such file"), std::string::npos);
  std::filesystem::create_directory(dir / "folder.kv");
  const FileResult folder = LoadCaptureFile(dir / "folder.kv", data, view, sinks);
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.error.find("directory"), std::string::npos);
#ifndef _WIN32  // POSIX special files and modes
  EXPECT_FALSE(LoadCaptureFile("/dev/zero", data, view, sinks).ok);
  // A FIFO without a writer is refused at once instead of blocking the open.
  ASSERT_EQ(mkfifo((dir / "pipe.kv").c_str(), 0600), 0);
  const FileResult fifo = LoadCaptureFile(dir / "pipe.kv", data, view, sinks);
  EXPECT_EQ(fifo.error, dir / "pipe.kv" + ": is not a regular file");
  if (geteuid() != 0) {
    WriteBytes(dir / "locked.kv", ELine(1.0, 1, 1));
    chmod((dir / "locked.kv").c_str(), 0);
    EXPECT_FALSE(LoadCaptureFile(dir / "locked.kv", data, view, sinks).ok);
  }
#endif
  EXPECT_EQ(data.Store.Count(), 1u);
  EXPECT_EQ(data.DataPresent, 1);
  EXPECT_EQ(data.DataModified, 1);
  EXPECT_EQ(sinks.dataLoaded, 0);
}

TEST_F(ProjectLoadTest, RefusedWhileCapturing) {
  data.SetCapture(true);
  EXPECT_FALSE(Load("any.kv", ELine(1.0, 1, 1)).ok);
  data.SetCapture(false);
}

TEST_F(ProjectLoadTest, AProjectLeavesWhatItDoesNotMention) {
  view.Traces.SetName(5, "Fire");
  view.Sequence[0] = SequenceRow{9, 0, 1, 2};
  DisplayOrder order = view.Traces.Order();
  std::swap(order[0], order[1]);
  ASSERT_TRUE(view.Traces.SetOrder(order));
  ASSERT_TRUE(Load("events.kv", ELine(1.0, 1, 1)).ok);
  EXPECT_EQ(view.Traces.Name(5), "Fire");
  EXPECT_EQ(view.Sequence[0].signal, 9);
  EXPECT_EQ(view.Traces.Order()[0], 2);
}

}  // namespace
}  // namespace korvalog
