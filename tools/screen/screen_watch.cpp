#include "screen_watch.h"

#include <X11/Xutil.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

namespace korvalog::probe {
namespace {

// A step that changes nothing on the screen for this long changed nothing.
constexpr double kNothingMs = 3000;

double MsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

ScreenWatch::ScreenWatch(Display* display) : display_(display) {
  if (!XShmQueryExtension(display_)) return;
  const int screen = DefaultScreen(display_);
  width_ = DisplayWidth(display_, screen);
  height_ = DisplayHeight(display_, screen);
  image_ = XShmCreateImage(display_, DefaultVisual(display_, screen), DefaultDepth(display_, screen), ZPixmap,
                           nullptr, &shm_, width_, height_);
  if (image_ == nullptr) return;
  const size_t bytes = static_cast<size_t>(image_->bytes_per_line) * height_;
  shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shm_.shmid < 0) return;
  shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
  shmctl(shm_.shmid, IPC_RMID, nullptr);  // gone once both sides detach
  shm_.readOnly = False;
  if (shm_.shmaddr == reinterpret_cast<char*>(-1) || !XShmAttach(display_, &shm_)) return;
  XSync(display_, False);
  previous_.assign(bytes, 0);
  ok_ = true;
}

ScreenWatch::~ScreenWatch() {
  if (ok_) XShmDetach(display_, &shm_);
  if (shm_.shmaddr != nullptr && shm_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm_.shmaddr);
  if (image_ != nullptr) {
    image_->data = nullptr;
    XDestroyImage(image_);
  }
}

void ScreenWatch::Blank(const Area& a) {
  const int x0 = std::max(0, a.x), x1 = std::min(width_, a.x + a.width);
  const int bytes = image_->bits_per_pixel / 8;
  if (x1 <= x0) return;
  for (int y = std::max(0, a.y); y < std::min(height_, a.y + a.height); ++y) {
    std::memset(image_->data + static_cast<size_t>(y) * image_->bytes_per_line + x0 * bytes, 0,
                static_cast<size_t>(x1 - x0) * bytes);
  }
}

bool ScreenWatch::GrabChanged() {
  const std::vector<Area> ignored = ignored_ ? ignored_() : std::vector<Area>{};
  XShmGetImage(display_, DefaultRootWindow(display_), image_, 0, 0, AllPlanes);
  for (const Area& a : ignored) Blank(a);
  if (std::memcmp(previous_.data(), image_->data, previous_.size()) == 0) return false;
  std::memcpy(previous_.data(), image_->data, previous_.size());
  return true;
}

void ScreenWatch::Reset() { GrabChanged(); }

Settled ScreenWatch::WaitStill(Clock::time_point since, double quietMs, double timeoutMs, double intervalMs) {
  Settled s;
  Clock::time_point lastChange = since;
  const auto interval = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(intervalMs));
  Clock::time_point next = Clock::now();
  for (;;) {
    const Clock::time_point asked = Clock::now();
    const bool changed = GrabChanged();
    const Clock::time_point got = Clock::now();
    ++s.grabs;
    // The server took the picture somewhere between the request and the reply.
    const double at = MsBetween(since, asked) + MsBetween(asked, got) / 2;
    if (changed) {
      if (s.firstChangeMs < 0) s.firstChangeMs = at;
      s.lastChangeMs = at;
      lastChange = got;
    }
    // Before the first change the step may still be working: up to the timeout.
    if (s.firstChangeMs >= 0 && MsBetween(lastChange, got) >= quietMs) return s;
    if (s.firstChangeMs < 0 && MsBetween(since, got) >= std::min(timeoutMs, kNothingMs)) return s;
    if (MsBetween(since, got) >= timeoutMs) {
      s.timedOut = true;
      return s;
    }
    next += interval;
    if (next > Clock::now()) std::this_thread::sleep_until(next);
    else next = Clock::now();
  }
}

bool ScreenWatch::SavePpm(const char* path) const {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", width_, height_);
  std::vector<unsigned char> row(static_cast<size_t>(width_) * 3);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const unsigned long p = XGetPixel(image_, x, y);
      row[x * 3] = static_cast<unsigned char>(p >> 16);
      row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(p);
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace korvalog::probe
