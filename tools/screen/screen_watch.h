#pragma once
// Watches what an X display shows: the whole screen grabbed through shared
// memory every couple of milliseconds, each grab compared with the one
// before, until the picture stays still. What the user sees is what the
// server holds, so the moment of the last change is when a step was done.
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <chrono>
#include <functional>
#include <vector>

namespace korvalog::probe {

using Clock = std::chrono::steady_clock;

// What one wait for stillness saw, in milliseconds from `since`.
struct Settled {
  double firstChangeMs = -1;  // -1: nothing changed
  double lastChangeMs = -1;
  int grabs = 0;
  bool timedOut = false;
};

class ScreenWatch {
 public:
  explicit ScreenWatch(Display* display);
  ~ScreenWatch();
  ScreenWatch(const ScreenWatch&) = delete;
  ScreenWatch& operator=(const ScreenWatch&) = delete;

  struct Area {
    int x, y, width, height;  // on the screen
  };

  bool Ok() const { return ok_; }
  // Parts of the screen whose changes do not count (a ticking clock), asked
  // before every grab: the window they lie in may move.
  void SetIgnored(std::function<std::vector<Area>()> ignored) { ignored_ = std::move(ignored); }
  // Takes the current picture as the one changes are counted from.
  void Reset();
  // Grabs every `intervalMs` until nothing has changed for `quietMs` after
  // a change (or for 3 s without one, or `timeoutMs` have passed) and says when the picture changed first and
  // last, each counted at the middle of the grab that first showed it.
  Settled WaitStill(Clock::time_point since, double quietMs, double timeoutMs, double intervalMs = 2);
  // The last grab as a binary PPM, for finding where things are.
  bool SavePpm(const char* path) const;
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  // One grab; true when it differs from the previous one.
  bool GrabChanged();

  void Blank(const Area& a);

  Display* display_;
  std::function<std::vector<Area>()> ignored_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  std::vector<char> previous_;
  int width_ = 0, height_ = 0;
  bool ok_ = false;
};

}  // namespace korvalog::probe
