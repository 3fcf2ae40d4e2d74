#include "chart/qt/chart_panel.h"

#include <QCoreApplication>
#include <QEvent>

#include "chart/grid_fit.h"
#include "chart/live_frame_pacer.h"
#include "chart/qt/chart_pictures.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

constexpr int kButtonSide = 23;

TBtnTransparent* ZoomButton(QWidget* parent, ZoomGlyph glyph, const char* hint, int x) {
  auto* b = new TBtnTransparent(parent);
  b->SetGlyph(ZoomGlyphImage(glyph));
  b->setToolTip(QString::fromLatin1(hint));
  b->setGeometry(x, 4, kButtonSide, 22);
  return b;
}

// The glyph as a disabled button shows it: light grey, same outline.
QImage GreyedGlyph(const QImage& glyph) {
  QImage grey = glyph.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < grey.height(); ++y) {
    for (int x = 0; x < grey.width(); ++x) {
      const QRgb c = grey.pixel(x, y);
      const int v = 128 + qGray(c) / 2;
      grey.setPixel(x, y, qRgba(v, v, v, qAlpha(c)));
    }
  }
  return grey;
}

void ShowEnabled(TBtnTransparent* button, bool enabled, ZoomGlyph glyph) {
  if (button->isEnabled() == enabled && !button->Glyph().isNull()) return;
  button->setEnabled(enabled);
  button->SetGlyph(enabled ? ZoomGlyphImage(glyph) : GreyedGlyph(ZoomGlyphImage(glyph)));
}

}  // namespace

ChartPanel::ChartPanel(CaptureData& data, CaptureView& view, const LoggerSettings& settings, QWidget* parent)
    : QWidget(parent), data_(data), view_(view), settings_(settings), state_(data, view) {
  setFont(KitFont());
  BuildSummary();
  grid_ = new ChannelGrid(state_, [this] { return DrawContext(); }, this);
  grid_->setFont(font());
  sideScroll_ = new QScrollBar(Qt::Horizontal, this);
  sideScroll_->setObjectName(QStringLiteral("sbChart"));
  sideScroll_->hide();
  connect(sideScroll_, &QScrollBar::valueChanged, this, [this] { LayOutParts(); });
  connect(grid_, &ChannelGrid::ColumnsResized, this, [this] { LayOutParts(); });
  NameParts();
  ConnectSummaryButtons();
  connect(grid_, &ChannelGrid::SearchChanged, this, [this] { Refresh(); });
  BuildNavigation();
  BuildLive();

  state_.LabelWidth = label_->width();
  state_.UpdateZoomButtons();
  for (TBtnTransparent* b : {zoomWin_, zoomPrev_, zoomAll_}) b->setEnabled(true);  // so the first Refresh sets each
  resize(569, 523 - 33);
  Refresh();
}

void ChartPanel::BuildSummary() {
  const auto context = [this] { return DrawContext(); };
  summary_ = new QWidget(this);
  summary_->setAutoFillBackground(true);
  QPalette face = summary_->palette();
  face.setColor(QPalette::Window, SystemColourOf(SystemColour::ButtonFace, face));
  summary_->setPalette(face);
  zoomWin_ = ZoomButton(summary_, ZoomGlyph::Win, "Zoom into selection", 4);
  zoomPrev_ = ZoomButton(summary_, ZoomGlyph::Prev, "Zoom to previous zoom", 4 + kButtonSide + 1);
  zoomAll_ = ZoomButton(summary_, ZoomGlyph::All, "Zoom to entire capture", 4 + 2 * (kButtonSide + 1));
  sequencer_ = new TBtnTransparent(summary_);
  sequencer_->SetCaption(QStringLiteral("Sequencer"));
  sequencer_->setGeometry(4, 30, 3 * kButtonSide + 2, 22);
  label_ = new TNiceLabel(summary_);
  label_->SetAutoSize(true);
  label_->SetCaption(state_.ZoomLabel());
  stats_ = new ZoomStats(context, summary_);
  strip_ = new ZoomStrip(context, summary_);
  left_ = new THandle(summary_);
  right_ = new THandle(summary_);
  for (THandle* h : {left_, right_}) {
    h->SetSize(kHandleHalf);
    h->SetAllowVert(false);
    h->SetPosY(kStripTop + kStripHeight + 2);  // just under the strip
    connect(h, &THandle::OnChanging, this, &ChartPanel::SelectionHandleMoving);
    connect(h, &THandle::OnChange, this, &ChartPanel::SelectionHandleReleased);
  }
}

// The names the main window knows the parts by.
void ChartPanel::NameParts() {
  summary_->setObjectName(QStringLiteral("pSummary"));
  grid_->setObjectName(QStringLiteral("gDisplay"));
  strip_->setObjectName(QStringLiteral("pbZoom"));
  stats_->setObjectName(QStringLiteral("pbZoomStats"));
  label_->setObjectName(QStringLiteral("lZoom"));
  left_->setObjectName(QStringLiteral("LeftHandle"));
  right_->setObjectName(QStringLiteral("RightHandle"));
  zoomWin_->setObjectName(QStringLiteral("bZoomWin"));
  zoomPrev_->setObjectName(QStringLiteral("bZoomPrev"));
  zoomAll_->setObjectName(QStringLiteral("bZoomAll"));
  sequencer_->setObjectName(QStringLiteral("bSequencer"));
  grid_->Cursor(MeasuringCursor::First)->setObjectName(QStringLiteral("Cursor1"));
  grid_->Cursor(MeasuringCursor::Second)->setObjectName(QStringLiteral("Cursor2"));
}

// Every zoom is laid out and painted at once.
void ChartPanel::ConnectSummaryButtons() {
  connect(zoomWin_, &TBtnTransparent::Clicked, this, [this] {
    live_.StopFollowing();
    state_.bZoomWinClick();
    LayOutNow();
  });
  connect(zoomPrev_, &TBtnTransparent::Clicked, this, [this] {
    live_.StopFollowing();
    state_.bZoomPrevClick();
    LayOutNow();
  });
  connect(zoomAll_, &TBtnTransparent::Clicked, this, [this] {
    if (live_.Active()) {
      live_.FollowWhole();
      LiveFrameNow();
      return;
    }
    state_.bZoomAllClick();
    LayOutNow();
  });
  connect(sequencer_, &TBtnTransparent::Clicked, this, [this] {
    state_.SetStripMode(kStripSequence);
    RunStripPass();
    emit SequencerRequested();
  });
  connect(strip_, &ZoomStrip::DoubleClicked, this, [this] {
    state_.pbZoomDblClick();
    Refresh();
  });
}

ChartDrawContext ChartPanel::DrawContext() const {
  return ChartDrawContext{data_,    view_,       state_, waves_,   stripImage_,
                          pictures_, colourMode_, font(), palette(), MarkupStyle{}};
}

QSize ChartPanel::PictureSize(int rows) const { return ChartPictureSize(DrawContext(), grid_->Layout(), rows); }

void ChartPanel::PaintPicture(QPainter& painter, int topRow, int rows) const {
  PaintChart(painter, DrawContext(), grid_->Layout(), topRow, rows);
}

void ChartPanel::SetStripMode(int mode) { state_.SetStripMode(static_cast<uint8_t>(mode)); }

void ChartPanel::RunStripPass() {
  state_.RenderSearchStrip();
  Refresh();
}

void ChartPanel::Tick() {
  const uint16_t stripLeft = state_.StripLeft, waveWidth = state_.WaveWidth;
  const uint32_t waves = state_.WaveformVersion(), strip = state_.StripVersion();
  // Summary and grid share their coordinates, however far they are scrolled.
  state_.LayoutChart(grid_->x() - summary_->x(), grid_->ColumnWidths());
  live_.Frame();  // the records that came in since the last tick
  const bool changed = stripLeft != state_.StripLeft || waveWidth != state_.WaveWidth ||
                       waves != state_.WaveformVersion() || strip != state_.StripVersion() ||
                       colourMode_ != settings_.ColourMode ||
                       // moved to a screen of another density: images drawn
                       // again from the plans, no event read
                       imageScale_ != ImageScaleFor(devicePixelRatioF());
  if (changed) Refresh();
  // The state column follows the inputs live; nothing else is read.
  if (data_.States.TakeStatesChanged()) grid_->update();
}

void ChartPanel::CaptureStarted() {
  navigator_.Invalidate();
  state_.CaptureStarted();
  live_.Start();
  state_.UpdateZoomButtons();
  LiveFrameNow();
  liveFrames_ = 0;
  liveTimer_.start(LiveFramePacer::kFrameMs);
}

void ChartPanel::CaptureStopped() {
  navigator_.Invalidate();
  liveTimer_.stop();
  live_.Stop();
  navigator_.Index();  // made now, not at the first step or hover
  state_.CaptureStopped();
  state_.UpdateZoomButtons();
  LayOutNow();
}

// Asks for the navigation index once the chart's painting, already asked
// for, is done: both wait in the same low-priority queue.
static const QEvent::Type kIndexAfterPaint = static_cast<QEvent::Type>(QEvent::registerEventType());

void ChartPanel::DataLoaded() {
  navigator_.Invalidate();
  state_.DataLoaded();
  state_.UpdateZoomButtons();
  LayOutNow();
  // Made right after the first picture of the file, not before it, and not
  // at the first step or hover.
  QCoreApplication::postEvent(this, new QEvent(kIndexAfterPaint), Qt::LowEventPriority);
}

void ChartPanel::customEvent(QEvent* event) {
  if (event->type() == kIndexAfterPaint && navigator_.HasData()) navigator_.Index();
}

void ChartPanel::MarkStale() {
  state_.MarkStale();
  LayOutNow();
}

void ChartPanel::LayOutNow() {
  // Summary and grid share their coordinates, however far they are scrolled.
  state_.LayoutChart(grid_->x() - summary_->x(), grid_->ColumnWidths());
  Refresh();
}

void ChartPanel::Refresh() {
  const int scale = ImageScaleFor(devicePixelRatioF());
  const bool rescaled = scale != imageScale_;
  imageScale_ = scale;
  pictures_.Ensure(scale);
  if (rescaled || wavesVersion_ != state_.WaveformVersion() || colourMode_ != settings_.ColourMode) {
    colourMode_ = settings_.ColourMode;
    waves_.Render(state_.Waveforms(), state_.RowHeight, colourMode_, scale);
    wavesVersion_ = state_.WaveformVersion();
  }
  if (rescaled || stripVersion_ != state_.StripVersion()) {
    stripImage_.Render(state_.Strip(), kStripHeight, font(), scale);
    stripVersion_ = state_.StripVersion();
    label_->SetCaption(state_.ZoomLabel());
  }
  state_.LabelWidth = label_->width();
  state_.LabelLeft = state_.ZoomLeft - state_.LabelWidth;
  label_->move(state_.LabelLeft, kStripTop + 2);
  stats_->setGeometry(state_.ZoomLeft, kStatsTop, state_.ZoomWidth, kStripStatsHeight);
  strip_->setGeometry(state_.ZoomLeft, kStripTop, state_.ZoomWidth, kStripHeight);
  left_->SetPosX(state_.LeftHandle.PosX);
  left_->SetLimitsX(state_.LeftHandle.MinX, state_.LeftHandle.MaxX);
  right_->SetPosX(state_.RightHandle.PosX);
  right_->SetLimitsX(state_.RightHandle.MinX, state_.RightHandle.MaxX);
  left_->raise();
  right_->raise();
  grid_->SyncCursors();
  ShowEnabled(zoomWin_, state_.ZoomWinEnabled, ZoomGlyph::Win);
  ShowEnabled(zoomPrev_, state_.ZoomPrevEnabled, ZoomGlyph::Prev);
  ShowEnabled(zoomAll_, state_.ZoomAllEnabled, ZoomGlyph::All);
  PlaceNavigationButtons();
  PlaceLiveButton();
  if (timeOnly_) {
    // Names, levels and search conditions stay as they are.
    grid_->UpdateWaveColumn();
  } else {
    grid_->update();
  }
  strip_->update();
  stats_->update();
}

void ChartPanel::TimeStepped(const std::function<void()>& step) {
  timeOnly_ = true;
  step();
  timeOnly_ = false;
}

void ChartPanel::SelectionHandleMoving(THandle* handle) {
  state_.SelectionHandleMoving(handle == left_ ? SelectionHandle::Left : SelectionHandle::Right, handle->PosX());
  strip_->update();  // only the band follows during the drag
}

void ChartPanel::SelectionHandleReleased(THandle* handle) {
  live_.StopFollowing();  // the selection would move away under the handle
  state_.SelectionHandleChanged(handle == left_ ? SelectionHandle::Left : SelectionHandle::Right, handle->PosX());
  Refresh();
}

void ChartPanel::resizeEvent(QResizeEvent*) { LayOutParts(); }

void ChartPanel::LayOutParts() {
  if (layingOut_) return;
  layingOut_ = true;
  const ChartSpan span = FitChartSpan(width(), grid_->MinimumWidth());
  sideScroll_->setRange(0, span.scrollRange);
  sideScroll_->setPageStep(std::max(1, width()));
  sideScroll_->setSingleStep(20);
  sideScroll_->setVisible(span.scrollRange > 0);
  const int offset = span.scrollRange > 0 ? sideScroll_->value() : 0;
  const int barHeight = span.scrollRange > 0 ? sideScroll_->sizeHint().height() : 0;
  sideScroll_->setGeometry(0, height() - barHeight, width(), barHeight);
  summary_->setGeometry(-offset, 0, span.contentWidth, kSummaryHeight);
  grid_->setGeometry(-offset, kSummaryHeight, span.contentWidth, std::max(0, height() - kSummaryHeight - barHeight));
  grid_->SetVisibleRight(span.scrollRange > 0 ? offset + width() : 0);
  sideScroll_->raise();
  layingOut_ = false;
  LayOutNow();
}

}  // namespace korvalog
