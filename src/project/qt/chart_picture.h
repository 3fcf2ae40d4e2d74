#pragma once
// The chart as a picture for reports: PNG, SVG or PDF of a range of the
// capture, drawn by the chart's own painting code with the exported channels
// as its rows, at a chosen width.
#include <QPainter>
#include <QSize>
#include <memory>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "project/export_request.h"

namespace korvalog {

class ChartPictureScene;

// One chart laid out for a picture: the range is both the zoom window and
// the selection, so the header times, the waveforms and the strip with its
// statistics line all cover it. It draws a view of its own: `view`'s rows
// with the picture's channels first (in their chart order), names, pattern
// and markers; `view` itself is left as it is. Needs a Qt GUI application.
class ChartPicture {
 public:
  ChartPicture(CaptureData& data, const CaptureView& view, const ExportRange& range, const std::vector<int>& channels,
               int width, uint8_t colourMode);
  ~ChartPicture();
  ChartPicture(const ChartPicture&) = delete;
  ChartPicture& operator=(const ChartPicture&) = delete;

  QSize Size() const;
  void Paint(QPainter& painter) const;
  // The x of a time in the picture's waveform column, and the top of the
  // row that shows `channel` (-1 when it has none): for checking pictures.
  int TimeX(double time) const;
  int RowTop(int channel) const;

 private:
  std::unique_ptr<ChartPictureScene> scene_;
};

// Writes the picture a request asks for (PNG, SVG or PDF). Makes a GUI
// application on the offscreen platform when the caller has none (the
// command-line tool).
FileResult WriteChartPicture(CaptureData& data, const CaptureView& view, const LoggerSettings& settings,
                             const ExportRequest& request);

}  // namespace korvalog
