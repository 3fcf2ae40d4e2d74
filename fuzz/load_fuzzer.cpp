// Feeds arbitrary bytes to the load operation, as a project, a logger log
// and a value change dump (which must export and load back), and checks that a loaded project saves, reloads and saves again to the
// same bytes. Capture journals are read and restored as well.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/capture_data.h"
#include "core/journal_reader.h"
#include "project/file_export.h"
#include "project/project_file.h"

namespace {

std::string ScratchDir() {
  return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

std::string Scratch(const char* name) {
  static const std::string prefix = ScratchDir() + "/korvalog-fuzz-" + std::to_string(getpid()) + "-";
  return prefix + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const uint8_t* bytes, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(bytes, 1, size, f) != size) std::abort();
  std::fclose(f);
}

korvalog::ManualClock fuzzClock;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace korvalog;
  static CaptureData* first = new CaptureData(fuzzClock);
  static CaptureData* second = new CaptureData(fuzzClock);
  NullLoadSinks sinks;

  // The first byte chooses the grammar and the rest is the file, so one
  // corpus serves both.
  if (size == 0) return 0;
  if ((bytes[0] & 4) != 0) {
    // A capture journal: whatever reads must hold sound records only.
    const std::string input = Scratch("in.journal");
    WriteAll(input, bytes + 1, size - 1);
    JournalContents journal;
    std::string error;
    if (!ReadJournal(input, journal, error)) return 0;
    if (journal.events.size() > kEventCapacity) std::abort();
    for (const EventRecord& e : journal.events) {
      if (e.channel < 1 || e.channel > kChannelCount || e.state > 1) std::abort();
    }
    if (!RestoreJournal(journal, *first) || first->Store.Count() != journal.events.size()) std::abort();
    DescribeRecovery(journal);
    return 0;
  }
  if ((bytes[0] & 2) != 0) {
    // A value change dump: whatever loads exports again and loads back.
    const std::string input = Scratch("in.vcd");
    WriteAll(input, bytes + 1, size - 1);
    if (!LoadCaptureFile(input, *first, sinks).ok) return 0;
    const ExportRange range = WholeCaptureRange(*first);
    const std::string again = Scratch("again.vcd");
    if (!WriteVcdFile(again, *first, range, ExportChannels(*first, range, ChannelChoice::Changed)).ok) std::abort();
    if (!WriteCsvFile(Scratch("again.csv"), *first, range, ExportChannels(*first, range, ChannelChoice::All),
                      CsvLayout::Wide).ok) {
      std::abort();
    }
    if (!LoadCaptureFile(again, *second, sinks).ok || second->Store.Count() != first->Store.Count()) {
      std::fprintf(stderr, "an exported dump did not load back\n");
      std::abort();
    }
    return 0;
  }
  const bool asProject = (bytes[0] & 1) != 0;
  const std::string input = Scratch(asProject ? "in.kv" : "in.001");
  WriteAll(input, bytes + 1, size - 1);
  const FileResult loaded = LoadCaptureFile(input, *first, sinks);
  if (!asProject || !loaded.ok) return 0;

  const std::string a = Scratch("a.kv");
  const std::string b = Scratch("b.kv");
  if (!WriteProjectFile(a, *first, first->CaptureStart, first->CaptureEnd).ok) std::abort();
  if (!LoadCaptureFile(a, *second, sinks).ok) std::abort();
  if (!WriteProjectFile(b, *second, second->CaptureStart, second->CaptureEnd).ok) std::abort();
  if (ReadAll(a) != ReadAll(b)) {
    std::fprintf(stderr, "save, load, save changed the bytes\n");
    std::abort();
  }
  return 0;
}
