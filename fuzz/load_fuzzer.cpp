// Feeds arbitrary bytes to the load operation as a logger log, a value change
// dump (which must export and load back) or a capture journal (which must
// hold sound records and restore), the first byte choosing which. Projects
// have a target of their own (project_fuzzer.cpp); a first byte with bit 0
// set still loads the rest as one, so older corpora keep their meaning.
#include <cstdint>
#include <string>

#include "core/capture_data.h"
#include "core/journal_reader.h"
#include "fuzz_files.h"
#include "project/file_export.h"
#include "project/project_file.h"

namespace {

korvalog::ManualClock fuzzClock;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace korvalog;
  using fuzz::Broken;
  using fuzz::Scratch;
  static CaptureData* first = new CaptureData(fuzzClock);
  static CaptureData* second = new CaptureData(fuzzClock);
  static CaptureView* firstView = new CaptureView;
  static CaptureView* secondView = new CaptureView;
  NullLoadSinks sinks;

  if (size == 0) return 0;
  if ((bytes[0] & 4) != 0) {
    // A capture journal: whatever reads must hold sound records only.
    const std::string input = Scratch("in.journal");
    fuzz::WriteAll(input, bytes + 1, size - 1);
    JournalContents journal;
    std::string error;
    if (!ReadJournal(input, journal, error)) return 0;
    if (journal.events.size() > kEventCapacity) Broken("a journal gave more events than a store holds");
    for (const EventRecord& e : journal.events) {
      if (e.channel < 1 || e.channel > kChannelCount || e.state > 1) Broken("a journal gave an unsound event");
    }
    if (!RestoreJournal(journal, *first, *firstView) || first->Store.Count() != journal.events.size()) {
      Broken("a journal that reads did not restore whole");
    }
    DescribeRecovery(journal);
    return 0;
  }
  if ((bytes[0] & 2) != 0) {
    // A value change dump: whatever loads exports again and loads back.
    const std::string input = Scratch("in.vcd");
    fuzz::WriteAll(input, bytes + 1, size - 1);
    if (!LoadCaptureFile(input, *first, *firstView, sinks).ok) return 0;
    const ExportRange range = WholeCaptureRange(*first);
    const std::string again = Scratch("again.vcd");
    const TraceList& traces = firstView->Traces;
    if (!WriteVcdFile(again, *first, traces, range, ExportChannels(*first, range, ChannelChoice::Changed)).ok) {
      Broken("a loaded dump did not export");
    }
    if (!WriteCsvFile(Scratch("again.csv"), *first, traces, range, ExportChannels(*first, range, ChannelChoice::All),
                      CsvLayout::Wide)
             .ok) {
      Broken("a loaded dump did not export as CSV");
    }
    if (!LoadCaptureFile(again, *second, *secondView, sinks).ok || second->Store.Count() != first->Store.Count()) {
      Broken("an exported dump did not load back");
    }
    return 0;
  }
  const std::string input = Scratch((bytes[0] & 1) != 0 ? "in.kv" : "in.001");
  fuzz::WriteAll(input, bytes + 1, size - 1);
  LoadCaptureFile(input, *first, *firstView, sinks);
  return 0;
}
