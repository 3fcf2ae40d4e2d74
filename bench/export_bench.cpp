// VCD export and import of a full 1,048,576-event capture (one change a
// millisecond over every channel), next to the project save and load of the
// same capture measured in the same run: the export should take at most
// twice the save, the import at most three times the load.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "project/export_range.h"
#include "project/file_export.h"
#include "project/project_file.h"

namespace korvalog {
namespace {

ManualClock exportClock(45000.0);

struct FullCapture {
  CaptureData data{exportClock};
  CaptureView view;
  std::string dir;
  std::vector<int> all;

  FullCapture() {
    SetStartupDefaults(data, view);
    data.CaptureStart.time = 45000.0;
    for (uint32_t i = 0; i < kEventCapacity; ++i) {
      data.Store.Append(45000.0 + (i + 1) / 86400000.0, static_cast<uint8_t>(1 + i % 128),
                        static_cast<uint8_t>((i / 128 + 1) % 2));
    }
    data.CaptureEnd.index = kEventCapacity;
    data.CaptureEnd.time = 45000.0 + (kEventCapacity + 1) / 86400000.0;
    data.DataPresent = 1;
    for (int c = 1; c <= kChannelCount; ++c) all.push_back(c);
    std::string tmpl = (std::filesystem::temp_directory_path() / "korvalog-export-bench-XXXXXX").string();
    dir = mkdtemp(tmpl.data());
    if (!WriteVcdFile(dir + "/full.vcd", data, view.Traces, WholeCaptureRange(data), all).ok) std::abort();
    if (!WriteProjectFile(dir + "/full.kv", data, view, data.CaptureStart, data.CaptureEnd).ok) std::abort();
  }
  ~FullCapture() { std::filesystem::remove_all(dir); }
};

FullCapture& Capture() {
  static FullCapture capture;
  return capture;
}

// Baseline: the project save of the same capture.
void BM_ExportBaseSaveProject(benchmark::State& state) {
  FullCapture& c = Capture();
  for (auto _ : state) {
    if (!WriteProjectFile(c.dir + "/saved.kv", c.data, c.view, c.data.CaptureStart, c.data.CaptureEnd).ok) std::abort();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_ExportBaseSaveProject)->Unit(benchmark::kMillisecond);

void BM_ExportVcd(benchmark::State& state) {
  FullCapture& c = Capture();
  const ExportRange range = WholeCaptureRange(c.data);
  for (auto _ : state) {
    if (!WriteVcdFile(c.dir + "/out.vcd", c.data, c.view.Traces, range, c.all).ok) std::abort();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_ExportVcd)->Unit(benchmark::kMillisecond);

// Baseline: the project load of the same capture.
void BM_ExportBaseLoadProject(benchmark::State& state) {
  FullCapture& c = Capture();
  CaptureData target(exportClock);
  CaptureView targetView;
  NullLoadSinks sinks;
  for (auto _ : state) {
    if (!LoadCaptureFile(c.dir + "/full.kv", target, targetView, sinks).ok || target.Store.Count() != kEventCapacity) std::abort();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_ExportBaseLoadProject)->Unit(benchmark::kMillisecond);

void BM_ImportVcd(benchmark::State& state) {
  FullCapture& c = Capture();
  CaptureData target(exportClock);
  CaptureView targetView;
  NullLoadSinks sinks;
  for (auto _ : state) {
    if (!LoadCaptureFile(c.dir + "/full.vcd", target, targetView, sinks).ok || target.Store.Count() != kEventCapacity) {
      std::abort();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_ImportVcd)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
