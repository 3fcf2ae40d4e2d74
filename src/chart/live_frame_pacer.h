#pragma once
// When the chart takes its next frame while a capture runs: at the display's
// pace, 30 frames a second, but never so often that frames take more than a
// tenth of the interface thread, whatever one costs on this machine and in
// this window. The receiving thread never waits for a frame (a frame reads
// the store's published count and nothing else it shares), so the pace only
// spends the interface thread's time.
namespace korvalog {

struct LiveFramePacer {
  static constexpr int kFrameMs = 33;  // 30 frames a second
  // A frame may take at most 1 / kShare of the thread: it is followed by a
  // pause of at least kShare - 1 times its own length.
  static constexpr int kShare = 10;
  // Even a very slow frame is followed within a second.
  static constexpr int kLongestPauseMs = 1000;

  // The pause after a frame that took `frameMs` (interface thread, wall
  // time), before the next one.
  static int PauseAfter(double frameMs) {
    if (!(frameMs > 0)) frameMs = 0;  // a clock set back, or nothing measured
    const double toPace = kFrameMs - frameMs;
    const double toShare = (kShare - 1) * frameMs;
    const double pause = toPace > toShare ? toPace : toShare;
    if (pause >= kLongestPauseMs) return kLongestPauseMs;
    const int whole = static_cast<int>(pause);
    return whole < pause ? whole + 1 : (whole > 0 ? whole : 1);
  }
};

}  // namespace korvalog
