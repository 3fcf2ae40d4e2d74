#include "core/file_identity.h"
#include "project/qt/chart_picture.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "chart/chart_state.h"
#include "chart/qt/chart_images.h"
#include "chart/qt/chart_painting.h"
#include "chart/time_axis.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/markup_text.h"

namespace korvalog {

class ChartPictureScene {
 public:
  ChartPictureScene(CaptureData& data, const CaptureView& view, const ExportRange& range,
                    const std::vector<int>& channels, int width, uint8_t colourMode)
      : data_(data), view_(PictureView(view, channels)), state_(data, view_), colourMode_(colourMode),
        rows_(channels.size()) {
    font_ = KitFont();
    layout_.headerHeight = HeaderHeightFor(font_);
    const int others = layout_.ContentWidth() - layout_.widths[4];
    layout_.widths[4] = std::max(16, width - others);
    // The range is the zoom window; the first layout makes it the selection too.
    state_.ZoomStart = range.from;
    state_.ZoomEnd = range.to;
    state_.HistoryDepth = 0;
    state_.WaveWidth = 0;
    state_.LayoutChart(0, layout_.widths);
    // The summary may reach past the grid; the waveform column gives way so
    // the picture is exactly as wide as asked.
    const int over = Size().width() - width;
    if (over > 0 && layout_.widths[4] - over >= 16) {
      layout_.widths[4] -= over;
      state_.LayoutChart(0, layout_.widths);
    }
    state_.LabelWidth = MeasureMarkupText(font_, nullptr, 0, 0, 0, state_.ZoomLabel(), MarkupStyle{}).right;
    state_.LabelLeft = state_.ZoomLeft - state_.LabelWidth;
    pictures_.Ensure(1);
    waves_.Render(state_.Waveforms(), state_.RowHeight, colourMode_, 1);
    strip_.Render(state_.Strip(), kStripHeight, font_, 1);
  }
  ChartDrawContext Context() const {
    return ChartDrawContext{data_,     view_,       state_, waves_,     strip_,
                            pictures_, colourMode_, font_,  QPalette(), MarkupStyle{}};
  }
  QSize Size() const { return ChartPictureSize(Context(), layout_, Rows()); }
  void Paint(QPainter& p) const {
    p.fillRect(QRect(QPoint(0, 0), Size()), Qt::white);
    PaintChart(p, Context(), layout_, 1, Rows());
  }
  int TimeX(double time) const {
    return layout_.ColumnLeft(4) + TimeAxis(state_.SelectionStart, state_.SelectionEnd, state_.WaveWidth).X(time);
  }
  int RowTop(int channel) const {
    const int row = view_.Traces.RowOf(channel);
    if (row < 1 || row > Rows()) return -1;
    return kSummaryHeight + layout_.RowsTop() + (row - 1) * layout_.rowHeight;
  }

 private:
  // No channel to show: the summary and the grid's header alone.
  int Rows() const { return static_cast<int>(rows_); }

  static CaptureView PictureView(const CaptureView& view, const std::vector<int>& channels) {
    CaptureView own = view;
    own.Traces = view.Traces.WithFirst(channels);
    return own;
  }

  CaptureData& data_;
  CaptureView view_;  // the picture's own rows; declared before the state that draws it
  ChartState state_;
  uint8_t colourMode_;
  size_t rows_;
  QFont font_;
  GridLayout layout_;
  WaveformImages waves_;
  StripImage strip_;
  StatePictures pictures_;
};

ChartPicture::ChartPicture(CaptureData& data, const CaptureView& view, const ExportRange& range,
                           const std::vector<int>& channels, int width, uint8_t colourMode)
    : scene_(std::make_unique<ChartPictureScene>(data, view, range, channels, width, colourMode)) {}
ChartPicture::~ChartPicture() = default;
QSize ChartPicture::Size() const { return scene_->Size(); }
void ChartPicture::Paint(QPainter& painter) const { scene_->Paint(painter); }
int ChartPicture::TimeX(double time) const { return scene_->TimeX(time); }
int ChartPicture::RowTop(int channel) const { return scene_->RowTop(channel); }

namespace {

FileResult Failed(const std::string& path, const char* what) { return FileResult{false, path + ": " + what}; }

// Draws the picture into `out` in the request's format; false when the
// painter could not write it.
bool PaintInto(const ChartPicture& picture, ExportFormat format, QIODevice& out) {
  const QSize size = picture.Size();
  switch (format) {
    case ExportFormat::Png: {
      QImage image(size, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter p(&image);
      picture.Paint(p);
      p.end();
      return image.save(&out, "PNG");
    }
    case ExportFormat::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&out);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(96);
      svg.setTitle(QStringLiteral("Korvalog chart"));
      QPainter p;
      if (!p.begin(&svg)) return false;
      picture.Paint(p);
      return p.end();
    }
    case ExportFormat::Pdf: {
      // One page exactly the chart's size, at 96 pixels to the inch.
      QPdfWriter pdf(&out);
      pdf.setResolution(96);
      pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96, size.height() * 72.0 / 96), QPageSize::Point,
                                QString(), QPageSize::ExactMatch));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle(QStringLiteral("Korvalog chart"));
      pdf.setCreator(QStringLiteral("Korvalog"));
      QPainter p;
      if (!p.begin(&pdf)) return false;
      picture.Paint(p);
      return p.end();
    }
    default:
      return false;
  }
}

FileResult Paint(const ChartPicture& picture, const ExportRequest& request) {
  const char* kind = request.format == ExportFormat::Png   ? "PNG"
                     : request.format == ExportFormat::Svg ? "SVG"
                     : request.format == ExportFormat::Pdf ? "PDF"
                                                           : nullptr;
  if (kind == nullptr) return Failed(request.path, "not a picture format");
  // Written beside the target and put in its place only when complete, so a
  // failure part-way leaves an existing file as it was.
  if (KindOfPath(request.path) == PathKind::Other) return Failed(request.path, "is not a regular file");
  QSaveFile out(QString::fromLocal8Bit(request.path.c_str()));
  if (!out.open(QIODevice::WriteOnly)) {
    return FileResult{false, request.path + ": cannot create: " + out.errorString().toStdString()};
  }
  if (!PaintInto(picture, request.format, out)) {
    out.cancelWriting();
    return Failed(request.path, (std::string("cannot write the ") + kind + " file").c_str());
  }
  if (!out.commit()) {
    return FileResult{false, request.path + ": cannot write: " + out.errorString().toStdString()};
  }
  return {};
}

// A tool without a desktop session has no runtime folder; Qt's note about
// that is no news to the user of a command-line tool.
void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

FileResult WriteChartPicture(CaptureData& data, const CaptureView& view, const LoggerSettings& settings,
                             const ExportRequest& request) {
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    qInstallMessageHandler(QuietAboutRuntimeFolder);
    static int argc = 1;
    static char name[] = "korvalog";
    static char* argv[] = {name, nullptr};
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  const ExportRange range = ResolveExportRange(data, request);
  const std::vector<int> channels = ResolveExportChannels(data, range, request);
  const ChartPicture picture(data, view, range, channels, request.width, settings.ColourMode);
  return Paint(picture, request);
}

}  // namespace korvalog
