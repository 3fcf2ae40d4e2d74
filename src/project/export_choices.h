#pragma once
// What the Export dialog holds, as plain data: the format, whole capture or
// selection, which channels, the CSV layout, the picture width and the file.
// The dialog enables its controls and builds the request through these.
#include <string>

#include "core/records.h"
#include "project/export_request.h"

namespace korvalog {

enum class ChannelSet { Changed, All, List };

struct ExportChoices {
  ExportFormat format = ExportFormat::Vcd;
  bool selectionOnly = false;
  ChannelSet channelSet = ChannelSet::Changed;
  std::string channelList;  // "3,4,17" when channelSet is List
  bool wideCsv = false;
  int width = 1200;
  std::string path;
};

inline bool WideApplies(ExportFormat format) { return format == ExportFormat::Csv; }
inline bool WidthApplies(ExportFormat format) { return IsPictureFormat(format); }

// The file name with the format's extension: an export extension already
// there is replaced, any other name gets one added ("run.kv" -> "run.kv.vcd").
std::string WithExportExtension(const std::string& path, ExportFormat format);

// The export file proposed for a capture read from or saved to `capturePath`:
// its name with the format's extension instead of its own ("lift.kv" ->
// "lift.vcd"); empty for an empty path.
std::string ExportNameFor(const std::string& capturePath, ExportFormat format);

// "3,4,17" (spaces allowed) as channels 1..128; false with `error` set.
bool ParseExportChannelList(const std::string& text, std::vector<int>& out, std::string& error);

// The request the choices ask for, the selection given by the chart's two
// snapshots. False with `error` set (one line for the user) when they
// cannot be exported: no file, a bad channel list, a width out of range.
bool MakeExportRequest(const ExportChoices& choices, const PositionSnapshot& selectionStart,
                       const PositionSnapshot& selectionEnd, ExportRequest& request, std::string& error);

}  // namespace korvalog
