// The chart panel while a capture runs: the Follow button beside the
// statistics line, and frames laid out at once after a step.
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
