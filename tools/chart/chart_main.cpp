// korvalog-chart FILE [--grab PNG] [--picture PNG]: loads FILE as the
// program's Open does and shows the chart in a window of the main window's
// size, with the zoom buttons, a switch between the search trace and the
// Sequencer staircase, and the Sequencer (its button on the chart, or F5) and
// Statistics (F6) windows. --grab writes the window to PNG after the first
// layout and exits; --picture writes the chart drawn by its painting code.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <string>

#include "app/qt/chart_hookup.h"
#include "chart/qt/chart_panel.h"
#include "core/capture_data.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "ui/qt/kit_look.h"

using namespace korvalog;

namespace {

class PrintingSinks final : public LoadSinks {
 public:
  explicit PrintingSinks(std::string path) : path_(std::move(path)) {}
  void Warning(std::string_view text) override {
    std::fprintf(stderr, "korvalog-chart: %s: %.*s\n", path_.c_str(), static_cast<int>(text.size()), text.data());
  }
  void Error(std::string_view text) override { Warning(text); }

 private:
  std::string path_;
};

int Usage() {
  std::fprintf(stderr, "usage: korvalog-chart FILE [--grab PNG] [--picture PNG]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(KitFont());
  std::string file, grab, picture;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--grab" || a == "--picture") && i + 1 < argc) {
      (a == "--grab" ? grab : picture) = argv[++i];
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else if (file.empty()) {
      file = a;
    } else {
      return Usage();
    }
  }
  if (file.empty()) return Usage();

  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  LoggerSettings settings;
  PrintingSinks sinks(file);
  const FileResult loaded = LoadCaptureFile(file, data, view, sinks);
  if (!loaded.ok) {
    std::fprintf(stderr, "korvalog-chart: %s\n", loaded.error.c_str());
    return 2;
  }

  QWidget window;
  window.setWindowTitle(QStringLiteral("KORVALOG - ") + QString::fromLocal8Bit(file.c_str()));
  auto* column = new QVBoxLayout(&window);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 2, 4, 2);
  auto* mode = new QPushButton(QStringLiteral("Search strip"));
  mode->setToolTip(QStringLiteral("Back to the search trace (the Sequencer button shows the staircase)"));
  bar->addWidget(mode);
  auto* sequencerButton = new QPushButton(QStringLiteral("Sequencer (F5)"));
  auto* statisticsButton = new QPushButton(QStringLiteral("Statistics (F6)"));
  sequencerButton->setShortcut(QKeySequence(Qt::Key_F5));
  statisticsButton->setShortcut(QKeySequence(Qt::Key_F6));
  bar->addWidget(sequencerButton);
  bar->addWidget(statisticsButton);
  bar->addStretch(1);
  column->addLayout(bar);
  auto* chart = new ChartPanel(data, view, settings);
  column->addWidget(chart, 1);
  // The reading of the waveform under the pointer, as the main window's
  // status bar shows it.
  auto* reading = new QLabel;
  reading->setObjectName(QStringLiteral("PointerReading"));
  reading->setContentsMargins(4, 1, 4, 1);
  reading->setMinimumHeight(QFontMetrics(reading->font()).height() + 2);
  column->addWidget(reading);
  QObject::connect(chart, &ChartPanel::PointerReading, reading, &QLabel::setText);
  window.resize(569, 523);

  // Made once and kept, as the main window keeps them.
  TSequenceForm sequencer(data, view, settings, &window);
  TStatisticsForm statistics(data, view, &window);
  HookAnalysisWindows(*chart, sequencer, statistics);
  QObject::connect(sequencerButton, &QPushButton::clicked, &sequencer, [&sequencer] {
    sequencer.show();  // showing it puts the staircase on the strip
    sequencer.raise();
  });
  QObject::connect(statisticsButton, &QPushButton::clicked, &statistics, [&statistics] { statistics.exec(); });

  QObject::connect(mode, &QPushButton::clicked, chart, [chart] {
    chart->SetStripMode(0);
    chart->RunStripPass();
  });
  chart->DataLoaded();
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, chart, &ChartPanel::Tick);
  timer.start(250);
  window.show();
  chart->Tick();

  if (!grab.empty() || !picture.empty()) {
    QTimer::singleShot(300, &app, [&] {
      chart->Tick();
      bool ok = true;
      if (!grab.empty()) ok = window.grab().save(QString::fromLocal8Bit(grab.c_str())) && ok;
      if (!picture.empty()) {
        QImage image(chart->PictureSize(24), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        chart->PaintPicture(p, chart->Grid()->TopRow(), 24);
        p.end();
        ok = image.save(QString::fromLocal8Bit(picture.c_str())) && ok;
      }
      app.exit(ok ? 0 : 1);
    });
  }
  return app.exec();
}
