#include "project/dump_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ui/ansi_string_lib.h"
#include "ui/common_helpers.h"

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
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return FileResult{false, path + ": cannot create: " + std::strerror(errno)};
  int writeError = 0;
  const bool written = WriteDumpLines(data.Store, [&](const std::string& block) {
    if (std::fwrite(block.data(), 1, block.size(), file) == block.size()) return true;
    writeError = errno;
    return false;
  });
  if (std::fflush(file) != 0 && writeError == 0) writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || writeError != 0) {
    if (writeError == 0) writeError = errno != 0 ? errno : EIO;
    return FileResult{false, path + ": cannot write: " + std::strerror(writeError)};
  }
  return {};
}

}  // namespace korvalog
