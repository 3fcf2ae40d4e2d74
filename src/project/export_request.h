#pragma once
// One export as the user asks for it, from the command line or the Export
// dialog: the format, the range, the channels, the picture width and the
// output file. The file formats are written here; the chart pictures are
// painted by the chart's drawing code (chart/qt), which takes the same
// request.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/capture_data.h"
#include "core/trace_list.h"
#include "project/export_range.h"
#include "project/project_file.h"

namespace korvalog {

enum class ExportFormat { Vcd, Csv, Png, Svg, Pdf };

struct ExportRequest {
  ExportFormat format = ExportFormat::Vcd;
  // Date-times of the range; NaN for the capture's own start or end.
  double from = NAN;
  double to = NAN;
  // The channels named by the user (any order); empty: those that changed
  // in the range, or every channel with allChannels.
  std::vector<int> channels;
  bool allChannels = false;
  bool wideCsv = false;
  int width = 1200;  // pictures: pixels across
  std::string path;
};

constexpr int kMinPictureWidth = 320;
constexpr int kMaxPictureWidth = 16000;

// "vcd", "csv", "png", "svg", "pdf" (any case).
bool ParseExportFormat(std::string_view text, ExportFormat& format);
const char* ExportFormatName(ExportFormat format);  // "vcd" ...
bool IsPictureFormat(ExportFormat format);

ExportRange ResolveExportRange(const CaptureData& data, const ExportRequest& request);
// Ascending channel numbers, each once.
std::vector<int> ResolveExportChannels(const CaptureData& data, const ExportRange& range,
                                       const ExportRequest& request);

// Writes a VCD or CSV export, the channels named as `traces` names them.
// Pictures are refused here (see chart/qt).
FileResult ExportCaptureFile(const CaptureData& data, const TraceList& traces, const ExportRequest& request);

}  // namespace korvalog
