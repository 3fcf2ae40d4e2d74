// The chart panel while a capture runs: the Follow button beside the
// statistics line, frames at the display's pace, and frames laid out at once
// after a step.
#include <chrono>

#include "chart/live_frame_pacer.h"
#include "chart/qt/chart_panel.h"

namespace korvalog {
namespace {

constexpr int kFollowWidth = 46;
constexpr int kFollowHeight = 16;

}  // namespace

void ChartPanel::BuildLive() {
  navigator_.SetLive(&live_);
  followButton_ = new TBtnTransparent(summary_);
  followButton_->SetCaption(QStringLiteral("Follow"));
  followButton_->setObjectName(QStringLiteral("bFollow"));
  followButton_->setToolTip(QStringLiteral("Follow the newest events while capturing (End)"));
  followButton_->resize(kFollowWidth, kFollowHeight);
  followButton_->hide();
  connect(followButton_, &TBtnTransparent::Clicked, this, [this] { SetFollowing(!live_.Following()); });
  liveTimer_.setSingleShot(true);
  liveTimer_.setTimerType(Qt::PreciseTimer);
  connect(&liveTimer_, &QTimer::timeout, this, &ChartPanel::LiveFrameOnTime);
}

void ChartPanel::LiveFrameOnTime() {
  if (!live_.Active()) return;
  const auto started = std::chrono::steady_clock::now();
  const uint32_t waves = state_.WaveformVersion(), strip = state_.StripVersion();
  live_.Frame();
  // Images are drawn again only for plans that changed; a view standing
  // still costs a look at the count.
  if (waves != state_.WaveformVersion() || strip != state_.StripVersion()) Refresh();
  ++liveFrames_;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
  liveTimer_.start(LiveFramePacer::PauseAfter(took.count()));
}

void ChartPanel::SetFollowing(bool on) {
  if (!live_.Active()) return;
  if (on) {
    live_.Follow();
  } else {
    live_.StopFollowing();
  }
  LiveFrameNow();
}

void ChartPanel::LiveFrameNow() {
  if (live_.Active()) {
    state_.LayoutChart(grid_->x() - summary_->x(), grid_->ColumnWidths());
    live_.Frame();
  }
  Refresh();
}

void ChartPanel::PlaceLiveButton() {
  if (followButton_ == nullptr) return;
  followButton_->setVisible(live_.Active());
  if (followButton_->Down() != live_.Following()) followButton_->SetDown(live_.Following());
  followButton_->move(findPrevious_->x() - kFollowWidth - 6, kStatsTop);
}

}  // namespace korvalog
