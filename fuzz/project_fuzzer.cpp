// Feeds arbitrary bytes to the load operation as a project, every line kind
// included (events, tables, snapshots, order, markers, roles and whatever
// kinds later versions add), and checks that whatever loads saves, loads
// again and saves to the same bytes, with the same roles and the markers
// inside the capture's span.
#include <cstdint>
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "fuzz_files.h"
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

  const std::string input = Scratch("in.kv");
  fuzz::WriteAll(input, bytes, size);
  if (!LoadCaptureFile(input, *first, *firstView, sinks).ok) return 0;

  const std::string a = Scratch("a.kv");
  const std::string b = Scratch("b.kv");
  if (!WriteProjectFile(a, *first, *firstView, first->CaptureStart, first->CaptureEnd).ok) {
    Broken("a loaded project did not save");
  }
  if (!LoadCaptureFile(a, *second, *secondView, sinks).ok) Broken("a saved project did not load");
  // A save keeps the markers inside the span it writes.
  std::vector<Marker> kept;
  for (const Marker& m : firstView->Markers.Items()) {
    if (m.time >= first->CaptureStart.time && m.time <= first->CaptureEnd.time) kept.push_back(m);
  }
  if (secondView->Markers.Items() != kept) Broken("the markers changed on the way");
  if (!(secondView->Traces.Roles() == firstView->Traces.Roles())) Broken("the roles changed on the way");
  if (!WriteProjectFile(b, *second, *secondView, second->CaptureStart, second->CaptureEnd).ok) {
    Broken("a reloaded project did not save");
  }
  if (fuzz::ReadAll(a) != fuzz::ReadAll(b)) Broken("save, load, save changed the bytes");
  return 0;
}
