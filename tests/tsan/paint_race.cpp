// Deliberate data races between a writer thread (as the receive thread
// writes levels) and the window's handlers that read them (a paint event, or
// a timer event), built only under ThreadSanitizer: the report each must
// give shows that the Qt suppressions still let our own races through, though
// Qt's event loop is in the stacks of the window's thread. `paint_race paint`
// races a paint event, `paint_race timer` a timer.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>

namespace {

// The levels a receive thread writes, read by the window's handlers without
// any ordering: the fault ThreadSanitizer is to catch.
struct UnguardedLevels {
  uint8_t level[128] = {};
};

class LevelsWidget final : public QWidget {
 public:
  explicit LevelsWidget(const UnguardedLevels& levels) : levels_(levels) { resize(256, 64); }
  int ticks = 0;
  int highSeen = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int c = 0; c < 128; ++c) p.fillRect(2 * c, 0, 2, levels_.level[c] != 0 ? 64 : 8, Qt::black);
  }
  void timerEvent(QTimerEvent*) override {
    ++ticks;
    for (int c = 0; c < 128; ++c) highSeen += levels_.level[c];
  }

 private:
  const UnguardedLevels& levels_;
};

void WriteLevels(UnguardedLevels& levels, const std::atomic<bool>& stop) {
  for (uint32_t i = 0; !stop.load(std::memory_order_relaxed); ++i) levels.level[i % 128] ^= 1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const bool timer = argc > 1 && std::strcmp(argv[1], "timer") == 0;
  UnguardedLevels levels;
  LevelsWidget widget(levels);
  if (!timer) widget.show();  // the timer's race alone, without paints
  std::atomic<bool> stop{false};
  std::thread writer(WriteLevels, std::ref(levels), std::cref(stop));
  if (timer) {
    widget.startTimer(1);
    while (widget.ticks < 50) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  } else {
    for (int i = 0; i < 50; ++i) {
      widget.repaint();
      QApplication::processEvents();
    }
  }
  stop = true;
  writer.join();
  return 0;
}
