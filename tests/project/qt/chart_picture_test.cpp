// Chart pictures: the PNG has its edges where the chart puts them, only the
// channels that changed unless all are asked for, the SVG is well-formed
// XML with the same drawing, and the PDF opens with pdftoppm.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <cstdlib>

#include "chart/chart_state.h"
#include "chart/qt/gap_painting.h"
#include "common/capture_builder.h"
#include "project/project_file.h"
#include "project/qt/chart_picture.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing_support::TempDir;

constexpr int kWidth = 800;

// Channel 2 (red) goes HIGH at 1 s and channel 7 (maroon) at 3 s of a 4 s
// capture; channel 5 never changes.
class ChartPictureTest : public ::testing::Test {
 protected:
  ChartPictureTest() {
    b.StartLevel(5, 1).Event(1.0, 2, 1).Event(3.0, 7, 1).Finish(4.0);
    b.view.Traces.SetName(2, "Door open");
  }

  ExportRequest Request(ExportFormat format, const std::string& name) {
    ExportRequest r;
    r.format = format;
    r.width = kWidth;
    r.path = dir / name;
    return r;
  }

  // The x columns of the waveform column (from `left`), within the
  // channel's row, where at least half the row is in the colour: the edges.
  static std::vector<int> EdgeColumns(const QImage& image, int left, int rowTop, int rowHeight, QRgb colour) {
    std::vector<int> out;
    for (int x = left; x < image.width(); ++x) {
      int n = 0;
      for (int y = rowTop; y < rowTop + rowHeight && y < image.height(); ++y) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
      if (n >= rowHeight / 2) out.push_back(x);
    }
    return out;
  }

  CaptureBuilder b;
  LoggerSettings settings;
  TempDir dir;
};

TEST_F(ChartPictureTest, PngHasTheEdgeInTheExpectedColumnAndOnlyChangedChannels) {
  const DisplayOrder order = b.view.Traces.Order();
  int edgeX = 0, waveLeft = 0, rowTop = 0, rowsHigh = 0;
  {
    const ExportRange range = WholeCaptureRange(b.data);
    const ChartPicture picture(b.data, b.view, range, ExportChannels(b.data, range, ChannelChoice::Changed), kWidth, 0);
    edgeX = picture.TimeX(At(1.0));
    waveLeft = picture.TimeX(At(0.0));
    rowTop = picture.RowTop(2);
    EXPECT_EQ(picture.RowTop(5), -1);
    EXPECT_GT(picture.RowTop(7), rowTop);
    rowsHigh = picture.Size().height();
  }
  EXPECT_EQ(b.view.Traces.Order(), order);  // the chart's rows are back as they were
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, Request(ExportFormat::Png, "c.png")).ok);
  const QImage png(QString::fromStdString(dir / "c.png"));
  ASSERT_EQ(png.width(), kWidth);
  EXPECT_EQ(png.height(), rowsHigh);
  EXPECT_EQ(EdgeColumns(png, waveLeft, rowTop, kDefaultRowHeight, qRgb(255, 0, 0)), std::vector<int>{edgeX});

  ExportRequest all = Request(ExportFormat::Png, "all.png");
  all.allChannels = true;
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, all).ok);
  EXPECT_EQ(QImage(QString::fromStdString(dir / "all.png")).height(), rowsHigh + 126 * kDefaultRowHeight);
}

// A link gap is hatched across every row, over its stretch only.
TEST_F(ChartPictureTest, PngHatchesALinkGapAcrossEveryRow) {
  b.data.Gaps.Add(At(2.0), At(2.5));
  const ExportRange range = WholeCaptureRange(b.data);
  const ChartPicture picture(b.data, b.view, range, ExportChannels(b.data, range, ChannelChoice::Changed), kWidth, 0);
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, Request(ExportFormat::Png, "gap.png")).ok);
  const QImage png(QString::fromStdString(dir / "gap.png"));
  ASSERT_FALSE(png.isNull());
  const auto hatched = [&](double from, double to, int channel) {
    int n = 0;
    for (int x = picture.TimeX(At(from)); x < picture.TimeX(At(to)); ++x) {
      for (int y = picture.RowTop(channel); y < picture.RowTop(channel) + kDefaultRowHeight; ++y) {
        n += (png.pixel(x, y) & 0xFFFFFF) == (GapHatchColour().rgb() & 0xFFFFFF);
      }
    }
    return n;
  };
  for (const int channel : {2, 7}) {
    SCOPED_TRACE(channel);
    EXPECT_GT(hatched(2.02, 2.48, channel), 20);
    EXPECT_EQ(hatched(0.2, 1.8, channel), 0);
    EXPECT_EQ(hatched(2.6, 3.9, channel), 0);
  }
}

TEST_F(ChartPictureTest, SvgIsWellFormedAndDrawsTheSameEdge) {
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, Request(ExportFormat::Svg, "c.svg")).ok);
  QFile file(QString::fromStdString(dir / "c.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) xml.readNext();
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();

  const ExportRange range = WholeCaptureRange(b.data);
  const ChartPicture picture(b.data, b.view, range, ExportChannels(b.data, range, ChannelChoice::Changed), kWidth, 0);
  QSvgRenderer svg(QString::fromStdString(dir / "c.svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox().size(), picture.Size());
  QImage image(picture.Size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  svg.render(&p);
  p.end();
  EXPECT_EQ(EdgeColumns(image, picture.TimeX(At(0.0)), picture.RowTop(2), kDefaultRowHeight, qRgb(255, 0, 0)),
            std::vector<int>{picture.TimeX(At(1.0))});
}

TEST_F(ChartPictureTest, PdfOpensWithPdftoppm) {
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  ASSERT_TRUE(WriteChartPicture(b.data, b.view, settings, Request(ExportFormat::Pdf, "c.pdf")).ok);
  const std::string command = "pdftoppm -png -r 96 -singlefile '" + dir / "c.pdf" + "' '" + dir / "page" + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const QImage page(QString::fromStdString(dir / "page.png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(page.width(), kWidth, 1);
}

TEST_F(ChartPictureTest, CommandLineToolDrawsWithoutADisplay) {
  ASSERT_TRUE(WriteProjectFile(dir / "c.kv", b.data, b.view, b.data.CaptureStart, b.data.CaptureEnd).ok);
  const std::string command = std::string("env -u DISPLAY -u QT_QPA_PLATFORM ") + KORVALOG_CLI_PATH + " export '" +
                              dir / "c.kv" + "' --format png --width 640 --from 0.5 --out '" + dir / "cli.png" +
                              "' 2>'" + dir / "err.txt" + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << testing_support::ReadBytes(dir / "err.txt");
  EXPECT_EQ(testing_support::ReadBytes(dir / "err.txt"), "");
  EXPECT_EQ(QImage(QString::fromStdString(dir / "cli.png")).width(), 640);
}

TEST_F(ChartPictureTest, MissingFolderIsRefused) {
  const FileResult r = WriteChartPicture(b.data, b.view, settings, Request(ExportFormat::Png, "no/such/c.png"));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("no/such/c.png: cannot create"), std::string::npos) << r.error;
}

}  // namespace
}  // namespace korvalog
