#include "project/dump_file.h"

#include "base/byte_text.h"
#include "base/time_text.h"
#include "core/capture_data.h"
#include "project/replacing_file.h"

namespace korvalog {

void AppendDumpLines(const EventStore& store, uint32_t first, uint32_t last, std::string& out) {
  for (uint32_t i = first; i < last; ++i) {
    const EventRecord& e = store[i];
    out += e.channel < 100 ? TwoDigitText(e.channel) : IntToText(e.channel);
    out += '\t';
    out += IntToText(e.state);
    out += '\t';
    out += FormatTimeStamp(e.time);
    out += "\r\n";
  }
}

FileResult WriteDumpFile(const std::string& path, const CaptureData& data) {
  if (data.Store.Count() == 0) return {};
  ReplacingFile file(path);
  if (!file.Open()) return FileResult{false, file.Error()};
  const bool written = WriteDumpLines(data.Store, [&](const std::string& block) {
    return file.Write(block.data(), block.size());
  });
  if (!written || !file.Commit()) return FileResult{false, file.Error()};
  return {};
}

}  // namespace korvalog
