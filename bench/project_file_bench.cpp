// Loading and saving a full 1,048,576-event project, next to the bare work
// they are built on: decoding the E-line hex of the same file into the store
// (the file already in memory, one line every 23 bytes), and formatting the
// same bytes and writing them to a file flushed to disk like a save.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "base/byte_text.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "project/hex_record.h"
#include "project/line_reader.h"
#include "project/project_file.h"

namespace korvalog {
namespace {

ManualClock benchClock(45000.0);

// A finished capture that fills the store, saved once.
struct FullProject {
  CaptureData data{benchClock};
  CaptureView view;
  std::string dir;
  std::string path;
  std::string bytes;   // the file's text, for the bare loops
  size_t firstEvent;   // offset of the first E line

  FullProject() {
    for (uint32_t i = 0; i < kEventCapacity; ++i) {
      data.Store.Append(45000.0 + i / 86400.0, static_cast<uint8_t>(1 + i % 128), static_cast<uint8_t>((i / 128 + 1) % 2));
    }
    data.CaptureEnd.index = kEventCapacity;
    data.CaptureEnd.time = 45013.0;
    data.DataPresent = 1;
    std::string tmpl = (std::filesystem::temp_directory_path() / "korvalog-bench-XXXXXX").string();
    dir = mkdtemp(tmpl.data());
    path = dir + "/full.kv";
    if (!WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok) std::abort();
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    firstEvent = bytes.find("\r\nE") + 2;
  }
  ~FullProject() { std::filesystem::remove_all(dir); }
};

FullProject& Project() {
  static FullProject project;
  return project;
}

// Baseline: the E lines' hex straight into the store, nothing else.
void BM_BareHexDecodeIntoStore(benchmark::State& state) {
  FullProject& p = Project();
  CaptureData target(benchClock);
  CaptureView targetView;
  constexpr size_t kLine = 23;  // "E" + 20 digits + CR LF
  for (auto _ : state) {
    const char* text = p.bytes.data() + p.firstEvent;
    EventRecord* out = target.Store.MutableData();
    for (uint32_t i = 0; i < kEventCapacity; ++i, text += kLine) {
      uint8_t rec[sizeof(EventRecord)];
      DecodeHexRecord(text + 1, rec);
      std::memcpy(&out[i], rec, sizeof rec);
    }
    target.Store.SetCount(kEventCapacity);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_BareHexDecodeIntoStore)->Unit(benchmark::kMillisecond);

// For reference: only reading the file from the page cache through a block
// of the size the loader uses.
void BM_BareReadFile(benchmark::State& state) {
  FullProject& p = Project();
  std::unique_ptr<char[]> block(new char[LineReader::kBufferSize]);
  for (auto _ : state) {
    std::FILE* f = std::fopen(p.path.c_str(), "rb");
    while (std::fread(block.get(), 1, LineReader::kBufferSize, f) > 0) benchmark::DoNotOptimize(block.get());
    std::fclose(f);
  }
}
BENCHMARK(BM_BareReadFile)->Unit(benchmark::kMillisecond);

// The real load from the page cache (the file was just written and read).
void BM_LoadProjectFile(benchmark::State& state) {
  FullProject& p = Project();
  CaptureData target(benchClock);
  CaptureView targetView;
  NullLoadSinks sinks;
  for (auto _ : state) {
    if (!LoadCaptureFile(p.path, target, targetView, sinks).ok || target.Store.Count() != kEventCapacity) std::abort();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_LoadProjectFile)->Unit(benchmark::kMillisecond);

// Baseline: format the same lines into a block and write them, flushed to
// disk like a save.
void BM_BareFormatAndWrite(benchmark::State& state) {
  FullProject& p = Project();
  const std::string out = p.dir + "/bare.kv";
  std::string block;
  block.reserve((size_t{1} << 20) + 512);
  for (auto _ : state) {
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    auto line = [&](const char* tag, const void* bytes, size_t size) {
      block += tag;
      const auto* b = static_cast<const uint8_t*>(bytes);
      for (size_t i = 0; i < size; ++i) AppendByteHex(block, b[i]);
      block += "\r\n";
      if (block.size() >= (size_t{1} << 20)) {
        if (write(fd, block.data(), block.size()) < 0) std::abort();
        block.clear();
      }
    };
    for (int ch = 0; ch < kChannelCount; ++ch) line("S00", &p.view.Traces.Table()[ch], sizeof(ChannelRecord));
    for (int row = 0; row < kSequenceRows; ++row) line("Q00", &p.view.Sequence[row], sizeof(SequenceRow));
    for (uint32_t i = 0; i < kEventCapacity; ++i) line("E", &p.data.Store[i], sizeof(EventRecord));
    line("L1", &p.data.CaptureStart, sizeof(PositionSnapshot));
    line("L2", &p.data.CaptureEnd, sizeof(PositionSnapshot));
    line("O", p.view.Traces.Order().data(), p.view.Traces.Order().size());
    if (write(fd, block.data(), block.size()) < 0) std::abort();
    block.clear();
    fsync(fd);
    close(fd);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_BareFormatAndWrite)->Unit(benchmark::kMillisecond);

// The real save: temporary file, every write checked, flushed, renamed.
void BM_SaveProjectFile(benchmark::State& state) {
  FullProject& p = Project();
  const std::string out = p.dir + "/saved.kv";
  for (auto _ : state) {
    if (!WriteProjectFile(out, p.data, p.view, p.data.CaptureStart, p.data.CaptureEnd).ok) std::abort();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEventCapacity);
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvalog
