// Damaged project files on disk: cut, padded with foreign lines, emptied or
// replaced by binary data. Each loads leniently with one warning, or is
// refused with the capture shown before left as it was.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "common/capture_builder.h"
#include "project/project_file.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

// A saved project of `events` changes on channel 3 (plus names and a pattern),
// as Save writes it.
std::string SavedProject(const TempDir& dir, int events) {
  testing::CaptureBuilder b;
  b.view.Traces.SetName(3, "Door open");
  b.Row(1, 3, 1, 0, 5);
  for (int i = 0; i < events; ++i) b.Event(i + 1.0, 3, static_cast<uint8_t>((i + 1) % 2));
  b.Finish(events + 2.0);
  const std::string path = dir / "good.kv";
  EXPECT_TRUE(WriteProjectFile(path, b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  return ReadBytes(path);
}

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random() & 0xFF);
  return out;
}

struct DamageCase {
  const char* name;
  // Makes the file's bytes from a good project of 10 events.
  std::string (*damage)(const std::string& good);
  bool refused;
  uint32_t events;          // events loaded when not refused
  const char* warning;      // the one warning about lines; "" for none
};

// The project's lines start with 128 S lines and 15 Q lines; the E lines
// follow, 23 bytes each with their CR LF.
constexpr size_t kFirstEvent = 128 * 73 + 15 * 17;

const DamageCase kCases[] = {
    {"intact", [](const std::string& g) { return g; }, false, 10, ""},
    {"cut inside the fourth event line",
     [](const std::string& g) { return g.substr(0, kFirstEvent + 3 * 23 + 9); }, false, 3,
     "1 line ignored; the file ends in the middle of a line"},
    {"cut after the fourth event line's end",
     [](const std::string& g) { return g.substr(0, kFirstEvent + 4 * 23); }, false, 4, ""},
    {"last line without its line end, still whole",
     [](const std::string& g) { return g.substr(0, g.size() - 2); }, false, 10, ""},
    {"last line cut short",
     [](const std::string& g) { return g.substr(0, g.size() - 9); }, false, 10,
     "1 line ignored; the file ends in the middle of a line"},
    {"three foreign lines among the events",
     [](const std::string& g) {
       std::string s = g;
       s.insert(kFirstEvent + 23, "hello\r\nE12\r\nS01XYZ\r\n");
       return s;
     },
     false, 10, "3 lines ignored"},
    {"a NUL for the tag of an event line after the first kilobyte",
     [](const std::string& g) {
       std::string s = g;
       s[kFirstEvent + 5 * 23] = '\0';
       return s;
     },
     false, 9, "1 line ignored"},
    {"a NUL among the digits after the first kilobyte counts as 0",
     [](const std::string& g) {
       std::string s = g;
       s[kFirstEvent + 5 * 23 + 4] = '\0';
       return s;
     },
     false, 10, ""},
    {"an over-long line", [](const std::string& g) { return std::string(20000, 'S') + "\r\n" + g; },
     false, 10, "1 line ignored"},
    {"empty", [](const std::string&) { return std::string(); }, true, 0, ""},
    {"blank lines only", [](const std::string&) { return std::string("\r\n\r\n\n"); }, true, 0, ""},
    {"foreign text", [](const std::string&) { return std::string("Dear customer,\r\nthanks\r\n"); }, true, 0,
     ""},
    {"lines of the wrong length only",
     [](const std::string& g) {
       std::string s;
       for (size_t at = 0; at < 128 * 73; at += 73) s += g.substr(at, 40) + "\r\n";
       return s;
     },
     true, 0, ""},
    {"a NUL in the first kilobyte of a project",
     [](const std::string& g) {
       std::string s = g;
       s[700] = '\0';
       return s;
     },
     true, 0, ""},
    {"random bytes", [](const std::string&) { return RandomBytes(1 << 20, 7); }, true, 0, ""},
    {"random bytes without NUL, but lines of E",
     [](const std::string&) {
       std::string s = RandomBytes(4096, 9);
       for (char& c : s) {
         if (c == '\0') c = 'E';
       }
       return s;
     },
     true, 0, ""},
};

class DamagedProject : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedProject, LoadsLenientlyOrIsRefused) {
  const DamageCase& c = GetParam();
  TempDir dir;
  const std::string bytes = c.damage(SavedProject(dir, 10));
  const std::string path = dir / "damaged.kv";
  WriteBytes(path, bytes);

  // A capture of two events is on show before the load.
  testing::CaptureBuilder shown;
  shown.Event(1, 7, 1).Event(2, 7, 0).Finish(3);
  shown.data.DataPresent = 1;
  shown.view.Traces.SetName(3, "Kept");
  const double shownStart = shown.data.CaptureStart.time;
  CollectingLoadSinks sinks;
  const FileResult r = LoadCaptureFile(path, shown.data, shown.view, sinks);

  std::vector<std::string> lineWarnings;
  for (const std::string& w : sinks.warnings) {
    if (w.find("events skipped") == std::string::npos) lineWarnings.push_back(w);
  }
  if (c.refused) {
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, path + ": not a Korvalog project");
    EXPECT_EQ(shown.data.Store.Count(), 2u);
    EXPECT_EQ(shown.data.Store.Data()[1].channel, 7);
    EXPECT_EQ(shown.data.CaptureStart.time, shownStart);
    EXPECT_EQ(shown.data.DataPresent.load(), 1);
    EXPECT_EQ(shown.view.Traces.Name(3), "Kept");
    EXPECT_EQ(sinks.dataLoaded, 0);
    EXPECT_TRUE(sinks.warnings.empty());
  } else {
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(shown.data.Store.Count(), c.events);
    EXPECT_EQ(shown.view.Traces.Name(3), "Door open");
    EXPECT_EQ(sinks.dataLoaded, 1);
    if (*c.warning == '\0') {
      EXPECT_TRUE(lineWarnings.empty()) << lineWarnings.front();
    } else {
      ASSERT_EQ(lineWarnings.size(), 1u);
      EXPECT_EQ(lineWarnings[0], c.warning);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedProject, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DamageCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != '\0'; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

TEST(DamagedProjectFile, EventsSkippedForTheirContentsAreNotIgnoredLines) {
  TempDir dir;
  // A well-formed event line naming channel 200 among good ones.
  std::string bytes = SavedProject(dir, 4);
  const size_t at = kFirstEvent + 23 + 1 + 16;  // the channel byte's digits
  bytes[at] = 'C';
  bytes[at + 1] = '8';
  WriteBytes(dir / "x.kv", bytes);
  testing::CaptureBuilder b;
  CollectingLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(dir / "x.kv", b.data, b.view, sinks).ok);
  EXPECT_EQ(b.data.Store.Count(), 3u);
  ASSERT_EQ(sinks.warnings.size(), 1u);
  EXPECT_EQ(sinks.warnings[0], "1 event skipped: 1 with a channel outside 1..128");
}

TEST(DamagedProjectFile, OnlyProjectsAreSniffedForNul) {
  // A logger log keeps its own grammar: NUL bytes there are not judged here.
  TempDir dir;
  WriteBytes(dir / "site.001", std::string("\0\0\0", 3));
  testing::CaptureBuilder b;
  CollectingLoadSinks sinks;
  const FileResult r = LoadCaptureFile(dir / "site.001", b.data, b.view, sinks);
  EXPECT_EQ(r.error.find("not a Korvalog project"), std::string::npos);
}

}  // namespace
}  // namespace korvalog
