#include "project/export_request.h"

#include <algorithm>

#include "base/byte_text.h"
#include "project/file_export.h"

namespace korvalog {
namespace {

constexpr const char* kFormatNames[] = {"vcd", "csv", "png", "svg", "pdf"};

}  // namespace

bool ParseExportFormat(std::string_view text, ExportFormat& format) {
  for (int i = 0; i < 5; ++i) {
    if (text.size() == 3 && FindTextFrom(1, kFormatNames[i], text) == 1) {
      format = static_cast<ExportFormat>(i);
      return true;
    }
  }
  return false;
}

const char* ExportFormatName(ExportFormat format) { return kFormatNames[static_cast<int>(format)]; }

bool IsPictureFormat(ExportFormat format) {
  return format == ExportFormat::Png || format == ExportFormat::Svg || format == ExportFormat::Pdf;
}

ExportRange ResolveExportRange(const CaptureData& data, const ExportRequest& request) {
  if (std::isnan(request.from) && std::isnan(request.to)) return WholeCaptureRange(data);
  return MakeExportRange(data, request.from, request.to);
}

std::vector<int> ResolveExportChannels(const CaptureData& data, const ExportRange& range,
                                       const ExportRequest& request) {
  if (request.channels.empty()) {
    return ExportChannels(data, range, request.allChannels ? ChannelChoice::All : ChannelChoice::Changed);
  }
  std::vector<int> out;
  for (int ch : request.channels) {
    if (ch >= 1 && ch <= kChannelCount) out.push_back(ch);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

FileResult ExportCaptureFile(const CaptureData& data, const TraceList& traces, const ExportRequest& request) {
  const ExportRange range = ResolveExportRange(data, request);
  const std::vector<int> channels = ResolveExportChannels(data, range, request);
  switch (request.format) {
    case ExportFormat::Vcd:
      return WriteVcdFile(request.path, data, traces, range, channels);
    case ExportFormat::Csv:
      return WriteCsvFile(request.path, data, traces, range, channels,
                          request.wideCsv ? CsvLayout::Wide : CsvLayout::Narrow);
    default:
      return FileResult{false, request.path + ": pictures are drawn by the chart, not written here"};
  }
}

}  // namespace korvalog
