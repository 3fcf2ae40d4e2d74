// Checks a screenshot of the running program: not blank, and the waveform
// column of the chart holds vertical edges (a channel with transitions drew
// its waveform). The window sits at the screen's top-left corner (no window
// manager under the virtual display).
//
// usage: korvalog_screenshot_check SHOT.png
// Exit 0 when both hold, 1 with the reason otherwise.
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <cstdio>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvalog_screenshot_check SHOT.png\n");
    return 2;
  }
  const QImage shot(QString::fromLocal8Bit(argv[1]));
  if (shot.isNull()) {
    std::fprintf(stderr, "%s: not an image\n", argv[1]);
    return 1;
  }
  // The window's design size from the corner.
  const QRect window = QRect(0, 0, 569, 523).intersected(shot.rect());
  QSet<QRgb> colours;
  for (int y = window.top(); y <= window.bottom(); y += 3)
    for (int x = window.left(); x <= window.right(); x += 3) colours.insert(shot.pixel(x, y));
  if (colours.size() < 8) {
    std::fprintf(stderr, "blank: %lld colours in the window area\n", static_cast<long long>(colours.size()));
    return 1;
  }
  // Waveform cells: right of the fixed columns, below the headers. An edge
  // is a column with a vertical run of at least 10 pixels of one colour that
  // differs from the pixel to its left.
  const QRect waves(140, 160, 400, 330);
  int edgeColumns = 0;
  for (int x = waves.left(); x <= waves.right(); ++x) {
    int run = 0, best = 0;
    for (int y = waves.top(); y <= waves.bottom(); ++y) {
      const QRgb p = shot.pixel(x, y);
      const bool edge = p == shot.pixel(x, y - 1) && p != shot.pixel(x - 1, y) && qGray(p) < 200;
      run = edge ? run + 1 : 0;
      best = std::max(best, run);
    }
    if (best >= 10) ++edgeColumns;
  }
  if (edgeColumns < 5) {
    std::fprintf(stderr, "no waveform edges: %d edge columns\n", edgeColumns);
    return 1;
  }
  std::printf("ok: %lld colours, %d edge columns\n", static_cast<long long>(colours.size()), edgeColumns);
  return 0;
}
