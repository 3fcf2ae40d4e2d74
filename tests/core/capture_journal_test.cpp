// The capture journal on real files: what a capture writes reads back whole,
// a cut or damaged journal gives every intact record before the damage, and
// a full disk (a file-size limit here) leaves the capture going in memory.
#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_reader.h"
#include "core/journal_writer.h"
#include "core/store_rotation.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "support/journal_capture.h"
#include "support/wait_until.h"

namespace korvalog {
namespace {

using korvalog::testing::WaitUntil;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

struct StopCounter : CaptureObserver {
  int stops = 0;
  CaptureData* data = nullptr;
  bool lockFree = false;  // the loggers' readers could go on while it was told
  void CaptureStopped() override {
    ++stops;
    if (data == nullptr) return;
    std::thread reader([this] {
      lockFree = data->TransitionLock().try_lock();
      if (lockFree) data->TransitionLock().unlock();
    });
    reader.join();
  }
};

class CaptureJournalTest : public korvalog::testing::JournalCapture {
 protected:
  // A capture of `events` transitions with channel 3 high from the start
  // and "Door" as channel 1's name, journalled into `path`.
  void Capture(int events, bool finish) {
    data.ApplyTransition(clock.Now(), 3, 1);
    view.Traces.SetName(1, "Door");
    JournalCapture::Capture(events, finish, "lift.kv");
  }
  void ExpectPrefix(const JournalContents& j, size_t n) {
    ASSERT_EQ(j.events.size(), n);
    for (uint32_t i = 0; i < n; ++i) {
      EXPECT_EQ(j.events[i].channel, data.Store[i].channel) << i;
      EXPECT_EQ(j.events[i].time, data.Store[i].time) << i;
    }
  }
};

TEST_F(CaptureJournalTest, RestoresTheCaptureAsJustStopped) {
  Capture(500, true);
  JournalContents j;
  std::string error;
  ASSERT_TRUE(ReadJournal(path, j, error)) << error;
  EXPECT_TRUE(j.ended);
  EXPECT_EQ(j.lost, 0u);
  EXPECT_EQ(j.header.target, "lift.kv");
  ExpectPrefix(j, 500);

  ManualClock other;
  CaptureData back(other);
  CaptureView backView;
  StopCounter stops;
  stops.data = &back;
  back.AddObserver(&stops);
  ASSERT_TRUE(RestoreJournal(j, back, backView));
  EXPECT_EQ(back.Store.Count(), 500u);
  EXPECT_EQ(std::memcmp(&back.CaptureStart, &data.CaptureStart, sizeof(PositionSnapshot)), 0);
  EXPECT_EQ(std::memcmp(&back.CaptureEnd, &data.CaptureEnd, sizeof(PositionSnapshot)), 0);
  EXPECT_EQ(back.CaptureStart.states[2], 1);
  EXPECT_EQ(backView.Traces.Name(1), "Door");
  EXPECT_EQ(back.DataPresent.load(), 1);
  EXPECT_EQ(back.DataModified.load(), 1);
  EXPECT_EQ(stops.stops, 1);
  EXPECT_TRUE(stops.lockFree);
  back.RemoveObserver(&stops);

  ASSERT_TRUE(writer->Remove(error)) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(FindLeftJournals(dir.Path()).empty());
}

TEST_F(CaptureJournalTest, EveryCutOfTheTailKeepsEveryCompleteRecord) {
  for (const bool stopped : {false, true}) {
    SCOPED_TRACE(stopped ? "stopped" : "killed");
    data.SetCapture(false);
    Capture(40, stopped);
    if (!stopped) writer.reset();  // as a killed capture leaves it: no stop written
    const std::string whole = ReadBytes(path);
    JournalHeader header;
    const size_t headerSize = ParseJournalHeader(whole, header);
    ASSERT_GT(headerSize, 0u);
    for (size_t cut = whole.size() - 64; cut <= whole.size(); ++cut) {
      WriteBytes(path, whole.substr(0, cut));
      JournalContents j;
      std::string error;
      ASSERT_TRUE(ReadJournal(path, j, error)) << cut;
      const size_t complete = std::min<size_t>(data.Store.Count(), (cut - headerSize) / kJournalFrameSize);
      ExpectPrefix(j, complete);
      EXPECT_EQ(j.ended, stopped && cut == whole.size()) << cut;
      const bool torn = !stopped && (cut - headerSize) % kJournalFrameSize != 0;
      EXPECT_EQ(j.lost, torn ? 1u : 0u) << cut;
      EXPECT_EQ(j.end.index, complete);
    }
  }
}

TEST_F(CaptureJournalTest, DamageKeepsWhatCameBeforeAndCountsWhatWasLost) {
  Capture(30, true);
  std::string bytes = ReadBytes(path);
  JournalHeader header;
  const size_t headerSize = ParseJournalHeader(bytes, header);
  bytes[headerSize + 12 * kJournalFrameSize + 3] ^= 0x10;  // inside event 12
  WriteBytes(path, bytes);
  JournalContents j;
  std::string error;
  ASSERT_TRUE(ReadJournal(path, j, error));
  ExpectPrefix(j, 12);
  EXPECT_EQ(j.lost, 18u);
  EXPECT_NE(DescribeRecovery(j).find("18 records after event 12"), std::string::npos);

  const std::pair<std::string, std::string> unreadable[] = {
      {"", "empty"}, {bytes.substr(0, 100), "cut header"}, {"S01...\r\n", "a project"}};
  for (const auto& [text, what] : unreadable) {
    WriteBytes(path, text);
    EXPECT_FALSE(ReadJournal(path, j, error)) << what;
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
  }
  EXPECT_FALSE(ReadJournal(dir / "missing.journal", j, error));
}

TEST_F(CaptureJournalTest, ARecordTheStoreWouldRefuseEndsTheIntactPartLikeDamage) {
  // Intact frames (their checksums right) holding what no capture writes.
  const EventRecord refused[] = {
      {std::numeric_limits<double>::quiet_NaN(), 10, 1},
      {std::numeric_limits<double>::infinity(), 10, 1},
      {45658.6, 0, 1},
      {45658.6, 129, 1},
      {45658.6, 10, 2},
  };
  Capture(30, true);
  const std::string intact = ReadBytes(path);
  JournalHeader header;
  const size_t headerSize = ParseJournalHeader(intact, header);
  ASSERT_GT(headerSize, 0u);
  for (const EventRecord& bad : refused) {
    SCOPED_TRACE(std::to_string(bad.channel) + " " + std::to_string(bad.state) + " " + std::to_string(bad.time));
    std::string bytes = intact;
    EncodeEventFrame(bad, 12, bytes.data() + headerSize + 12 * kJournalFrameSize, JournalCheckSeed(header));
    WriteBytes(path, bytes);
    JournalContents j;
    std::string error;
    ASSERT_TRUE(ReadJournal(path, j, error)) << error;
    ExpectPrefix(j, 12);
    EXPECT_EQ(j.lost, 18u);
    ManualClock other;
    CaptureData back(other);
    CaptureView backView;
    ASSERT_TRUE(RestoreJournal(j, back, backView));
    EXPECT_EQ(back.Store.Count(), 12u);
  }
}

TEST_F(CaptureJournalTest, AJournalInUseIsNotLeftBehind) {
  Capture(3, false);
  EXPECT_TRUE(JournalInUse(path));
  EXPECT_TRUE(FindLeftJournals(dir.Path()).empty());
  JournalWriter second(data, path);
  std::string error;
  EXPECT_FALSE(second.Start(view, error));
  EXPECT_NE(error.find("in use"), std::string::npos);
  data.SetCapture(false);
  writer.reset();
  EXPECT_EQ(FindLeftJournals(dir.Path()), std::vector<std::string>{path});
}

#ifndef _WIN32  // a file-size limit stands in for a full disk
TEST_F(CaptureJournalTest, FullDiskGoesOnInMemoryTellsOnceAndCatchesUp) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 12000;  // the header's two copies and a few hundred frames
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Capture(2000, false);
  std::string problem;
  EXPECT_TRUE(WaitUntil([&] { return writer->TakeProblem(problem); }));
  EXPECT_NE(problem.find("cannot be written"), std::string::npos) << problem;
  for (int i = 2000; i < 2100; ++i) Transition(i);
  EXPECT_EQ(data.Store.Count(), 2100u);  // the capture goes on
  JournalContents j;
  std::string error;
  ASSERT_TRUE(ReadJournal(path, j, error));
  EXPECT_EQ(j.lost, 0u);  // a failed write leaves no torn frame behind
  const std::string saved = dir / "saved.kv";
  data.SetCapture(false);
  EXPECT_FALSE(WriteProjectFile(saved, data, view, data.CaptureStart, data.CaptureEnd).ok);

  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);  // space returns
  writer->Finish();
  EXPECT_FALSE(writer->TakeProblem(problem));  // told once
  ASSERT_TRUE(ReadJournal(path, j, error));
  EXPECT_TRUE(j.ended);
  ExpectPrefix(j, 2100);
  EXPECT_TRUE(WriteProjectFile(saved, data, view, data.CaptureStart, data.CaptureEnd).ok);
}
#endif

TEST_F(CaptureJournalTest, PartsMovedAsideBeforeTheJournalGotToThemAreNotLostNorWaitedFor) {
  StoreRotation rotation;
  rotation.AttachJournal(true);
  data.SetFullStoreHandler(&rotation);
  data.SetStoreLimit(3);
  data.SetCapture(true);
  for (int i = 0; i < 3; ++i) Transition(i);  // full before the journal began
  ASSERT_TRUE(rotation.SpareWaiting());
  writer = std::make_unique<JournalWriter>(data, path);
  writer->SetRotation(&rotation, [](uint32_t generation) { return "part" + std::to_string(generation + 1); });
  writer->SetPeriodMs(60000);
  std::string error;
  ASSERT_TRUE(writer->Start(view, error)) << error;
  EXPECT_TRUE(rotation.JournalHasTakenSpare());  // its save does not wait for this journal
  rotation.ReleaseSpare();
  for (int i = 3; i < 6; ++i) Transition(i);  // full again before the journal's first visit
  ASSERT_TRUE(rotation.SpareWaiting());
  writer->Wake();
  ASSERT_TRUE(WaitUntil([&] { return rotation.JournalHasTakenSpare(); }));
  JournalContents j;
  ASSERT_TRUE(ReadJournal(writer->PreviousPath(), j, error)) << error;
  EXPECT_TRUE(j.ended);
  EXPECT_EQ(j.events.size(), 3u);
  EXPECT_EQ(j.header.target, "part2");
  data.SetCapture(false);
  writer->Finish();
  data.SetFullStoreHandler(nullptr);
}

TEST_F(CaptureJournalTest, ADamagedHeaderCopyLosesNothing) {
  Capture(40, false);
  writer.reset();  // left behind by a killed capture
  const std::string whole = ReadBytes(path);
  JournalHeader header;
  const size_t framesAt = ParseJournalHeader(whole, header);
  ASSERT_GT(framesAt, 0u);
  const size_t copy = framesAt / 2;
  ASSERT_EQ(framesAt, 2 * copy);
  // One flipped bit anywhere in either copy.
  for (size_t at = 0; at < framesAt; at += 37) {
    std::string bytes = whole;
    bytes[at] ^= static_cast<char>(1 << (at % 8));
    WriteBytes(path, bytes);
    JournalContents j;
    std::string error;
    ASSERT_TRUE(ReadJournal(path, j, error)) << at << ": " << error;
    ExpectPrefix(j, 40);
    EXPECT_EQ(j.lost, 0u) << at;
    EXPECT_EQ(j.header.target, "lift.kv") << at;
    EXPECT_EQ(ChannelName(j.header.channels[0]), "Door") << at;
  }
  // Both copies damaged: the journal is not read, and never deleted but
  // moved aside, numbered.
  std::string bytes = whole;
  bytes[100] ^= 1;
  bytes[copy + 100] ^= 1;
  for (const char* name : {".damaged", ".damaged-2"}) {
    WriteBytes(path, bytes);
    JournalContents j;
    std::string error;
    EXPECT_FALSE(ReadJournal(path, j, error));
    EXPECT_EQ(error, path + ": not a capture journal, or its beginning is damaged");
    std::string movedTo;
    ASSERT_TRUE(MoveJournalAside(path, movedTo, error)) << error;
    EXPECT_EQ(movedTo, path + name);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ReadBytes(movedTo), bytes);
  }
}

TEST_F(CaptureJournalTest, RecordsOfAnotherCaptureAreNotTakenForThisOnes) {
  Capture(30, true);
  const std::string first = ReadBytes(path);
  JournalHeader header;
  const size_t firstFrames = ParseJournalHeader(first, header);
  const uint64_t firstId = header.captureId;
  // The next capture into the same journal; say its file was cut back after
  // five records and the first capture's records showed through.
  data.SetCapture(false);
  Capture(10, false);
  writer.reset();
  const std::string second = ReadBytes(path);
  const size_t secondFrames = ParseJournalHeader(second, header);
  EXPECT_NE(header.captureId, firstId);
  const std::string mixed = second.substr(0, secondFrames + 5 * kJournalFrameSize) +
                            first.substr(firstFrames + 5 * kJournalFrameSize);
  WriteBytes(path, mixed);
  JournalContents j;
  std::string error;
  ASSERT_TRUE(ReadJournal(path, j, error)) << error;
  ASSERT_EQ(j.events.size(), 5u);
  EXPECT_FALSE(j.ended);
  EXPECT_GT(j.lost, 0u);
  for (size_t i = 1; i < j.events.size(); ++i) EXPECT_GE(j.events[i].time, j.events[i - 1].time);
}

// The link's losses and returns are journalled with the events, so a
// recovered capture keeps its gaps; one still open lasts to the capture's end.
TEST_F(CaptureJournalTest, GapsComeBackWithTheRecoveredCapture) {
  for (const bool stopped : {true, false}) {
    SCOPED_TRACE(stopped ? "stopped" : "killed");
    data.SetCapture(false);
    Capture(0, false);
    for (int i = 0; i < 30; ++i) {
      Transition(i);
      if (i == 9 || i == 24) data.Gaps.Lost(clock.Now() + 1e-8);
      if (i == 14) data.Gaps.Back(clock.Now());
      // Some marks reach the file in a visit of their own.
      if (i == 20) {
        ASSERT_TRUE(WaitUntil([&] { return writer->Journalled() == data.Store.Count(); }));
      }
    }
    const std::vector<GapSpan> gaps = data.Gaps.Copy();
    ASSERT_EQ(gaps.size(), 2u);
    if (stopped) {
      clock.AdvanceMs(5);
      data.SetCapture(false);
    }
    writer.reset();  // killed: no stop in the journal
    JournalContents j;
    std::string error;
    ASSERT_TRUE(ReadJournal(path, j, error)) << error;
    EXPECT_EQ(j.ended, stopped);
    ExpectPrefix(j, data.Store.Count());
    EXPECT_EQ(j.gaps, gaps);

    ManualClock other;
    CaptureData back(other);
    CaptureView backView;
    ASSERT_TRUE(RestoreJournal(j, back, backView));
    EXPECT_EQ(back.Gaps.Spans(), gaps);
    const std::string project = dir / "back.kv";
    ASSERT_TRUE(WriteProjectFile(project, back, backView, back.CaptureStart, back.CaptureEnd).ok);
    NullLoadSinks sinks;
    ASSERT_TRUE(LoadCaptureFile(project, back, backView, sinks).ok);
    EXPECT_EQ(back.Gaps.Spans(), (std::vector<GapSpan>{gaps[0], {gaps[1].start, back.CaptureEnd.time}}));
  }
}

TEST_F(CaptureJournalTest, JournalsOfTheEarlierLayoutAreStillRead) {
  // "KVJOURN1": one header copy without a capture id, checksums of the
  // place alone.
  Capture(12, true);
  std::vector<char> old(kJournalMagicV1, kJournalMagicV1 + 8);
  const std::string target = "old.kv";
  const size_t size = 8 + 4 + sizeof(PositionSnapshot) + sizeof(ChannelTable) + sizeof(SequenceTable) +
                      sizeof(DisplayOrder) + 2 + target.size() + 4;
  for (int i = 0; i < 4; ++i) old.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
  const auto append = [&old](const void* p, size_t n) {
    old.insert(old.end(), static_cast<const char*>(p), static_cast<const char*>(p) + n);
  };
  append(&data.CaptureStart, sizeof(PositionSnapshot));
  append(view.Traces.Table().data(), sizeof(ChannelTable));
  append(view.Sequence.data(), sizeof(SequenceTable));
  append(view.Traces.Order().data(), sizeof(DisplayOrder));
  old.push_back(static_cast<char>(target.size()));
  old.push_back(0);
  append(target.data(), target.size());
  const uint32_t crc = Crc32(old.data(), old.size());
  for (int i = 0; i < 4; ++i) old.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  for (uint32_t i = 0; i < 12; ++i) {
    char frame[kJournalFrameSize];
    EncodeEventFrame(data.Store[i], i, frame);
    append(frame, sizeof frame);
  }
  WriteBytes(path, std::string(old.begin(), old.end()));
  JournalContents j;
  std::string error;
  ASSERT_TRUE(ReadJournal(path, j, error)) << error;
  EXPECT_EQ(j.header.version, 1);
  EXPECT_EQ(j.header.target, "old.kv");
  ExpectPrefix(j, 12);
  EXPECT_EQ(j.lost, 0u);
}

TEST_F(CaptureJournalTest, ARecoveryHoldsTheJournalAndSpecialFilesAreRefusedAtOnce) {
  Capture(5, true);
  writer.reset();
  JournalHold first;
  std::string error;
  ASSERT_TRUE(first.Take(path, error)) << error;
  JournalHold second;
  EXPECT_FALSE(second.Take(path, error));
  EXPECT_EQ(error, path + ": in use");
  EXPECT_TRUE(JournalInUse(path));
  first.Release();
  EXPECT_TRUE(second.Take(path, error)) << error;
  second.Release();

  std::vector<std::string> specials{dir / "folder.journal"};
  std::filesystem::create_directory(dir / "folder.journal");
#ifndef _WIN32
  ASSERT_EQ(mkfifo((dir / "fifo.journal").c_str(), 0600), 0);
  specials.push_back(dir / "fifo.journal");
#endif
  for (const std::string& special : specials) {
    JournalContents j;
    EXPECT_FALSE(ReadJournal(special, j, error));
    EXPECT_EQ(error, special + ": is not a regular file");
    EXPECT_FALSE(second.Take(special, error));
    EXPECT_EQ(error, special + ": is not a regular file");
    EXPECT_FALSE(JournalInUse(special));
  }
  EXPECT_FALSE(second.Take(dir / "none.journal", error));
  EXPECT_EQ(error, dir / "none.journal" + ": cannot be read: No such file or directory");
}

}  // namespace
}  // namespace korvalog
