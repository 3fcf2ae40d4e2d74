#include "analysis/qt/sequence_form.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>
#include <QCloseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "analysis/qt/sequence_grid.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/nice_label.h"

namespace korvalog {
namespace {

// The list drops down under the cell instead of covering it around the
// current item, as some styles would have it.
class DropDownStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

bool SameTable(const SequenceTable& a, const SequenceTable& b) {
  for (int i = 0; i < kSequenceRows; ++i) {
    if (a[i].signal != b[i].signal || a[i].event != b[i].event || a[i].minTime != b[i].minTime ||
        a[i].maxTime != b[i].maxTime)
      return false;
  }
  return true;
}

}  // namespace

TSequenceForm::TSequenceForm(CaptureData& data, CaptureView& view, const LoggerSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      data_(data),
      view_(view),
      editor_(view.Sequence, view.Traces),
      grid_(new TSequenceGrid(editor_, settings, this)),
      scroll_(new QScrollArea(this)),
      signals_(new QComboBox(grid_)),
      stateZero_(new TNiceLabel(this)) {
  setWindowTitle(QStringLiteral("Sequencer"));
  setFont(KitFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  // The whole grid as a rule; scrolled where the screen is too short for
  // it (twice the scale on a small screen) so the rest stays in reach.
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidget(grid_);
  scroll_->setFixedWidth(grid_->width());
  scroll_->setMinimumHeight(grid_->CellRect(4, 0).top());
  layout->addWidget(scroll_, 1);
  auto* title = new QLabel(QStringLiteral("State 0:"), this);
  layout->addWidget(title);
  stateZero_->setMinimumHeight(QFontMetrics(font()).height() * 3);
  stateZero_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  layout->addWidget(stateZero_);
  auto* violations = new QPushButton(QStringLiteral("Violations"), this);
  violations->setObjectName(QStringLiteral("bViolations"));
  violations->setToolTip(QStringLiteral("Every violation of the pattern in the capture"));
  connect(violations, &QPushButton::clicked, this, [this] {
    if (onViolations_) onViolations_();
  });
  layout->addWidget(violations, 0, Qt::AlignLeft);
  stateZero_->setFixedWidth(grid_->width());
  stateZero_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  fullHeight_ = layout->sizeHint().height() - scroll_->sizeHint().height() + grid_->height();
  setMaximumHeight(fullHeight_);
  resize(layout->sizeHint().width(), fullHeight_);

  signals_->hide();
  auto* style = new DropDownStyle;
  style->setParent(signals_);
  signals_->setStyle(style);
  signals_->setMaxVisibleItems(16);
  signals_->installEventFilter(this);
  // Picking an item in the list (click, or Enter in the open list) closes
  // the list and commits.
  connect(signals_, &QComboBox::activated, this, [this](int) { CommitSignalList(); });

  connect(grid_, &TSequenceGrid::CellActivated, this, &TSequenceForm::CellActivated);
  connect(grid_, &TSequenceGrid::EditTextChanged, this, [this](int row, int column, const QString& text) {
    Apply([&] { return editor_.SetEditText(row, column, KitBytes(text)); });
  });
  // A time typed and taken back, or typed as it was, is no change.
  connect(grid_, &TSequenceGrid::EditStarted, this, [this] {
    tableAtEdit_ = view_.Sequence;
    timeEdit_.Begin(data_);
  });
  connect(grid_, &TSequenceGrid::EditEnded, this, [this](bool) {
    if (SameTable(view_.Sequence, tableAtEdit_)) timeEdit_.Cancel(data_);
  });
  connect(grid_, &TSequenceGrid::RowMoved, this,
          [this](int from, int to) { Apply([&] { return editor_.MoveRow(from, to); }); });
  FillSignalList();
  RebuildStateZero();
}

// The grid and the drop-down read the editor, a member that is gone by the
// time the base class deletes its children; nothing may reach the host now.
TSequenceForm::~TSequenceForm() {
  onPatternChanged_ = nullptr;
  onClosed_ = nullptr;
  onViolations_ = nullptr;
  signalRow_ = 0;
  signals_->removeEventFilter(this);
  delete grid_;
}

void TSequenceForm::FillSignalList() {
  signals_->clear();
  for (const std::string& name : editor_.SignalItems()) signals_->addItem(KitText(name));
}

void TSequenceForm::RebuildStateZero() { stateZero_->SetCaption(editor_.StateZeroText()); }

void TSequenceForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // the window system showing it again
  FillSignalList();  // the names may have changed since the last time
  RebuildStateZero();
  grid_->setFocus(Qt::OtherFocusReason);
  if (onPatternChanged_) onPatternChanged_();
}

void TSequenceForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Room for the scroll bar only while it shows.
  const int bar = height() < fullHeight_ ? scroll_->verticalScrollBar()->sizeHint().width() : 0;
  if (scroll_->width() == grid_->width() + bar) return;
  scroll_->setFixedWidth(grid_->width() + bar);
  // Widened now, before the window is on the screen: a window manager may
  // take a later resize as a new place.
  layout()->activate();
}

void TSequenceForm::closeEvent(QCloseEvent* event) {
  if (signalRow_ != 0) CommitSignalList();
  QWidget::closeEvent(event);
  if (onClosed_) onClosed_();
}

void TSequenceForm::CellActivated(int row, int column) {
  if (column == kSeqColSignal)
    OpenSignalList(row);
  else if (column == kSeqColEvent)
    Apply([&] { return editor_.FlipEvent(row); });
}

void TSequenceForm::OpenSignalList(int row) {
  if (row < 1 || row > kSequenceRows) return;
  grid_->SetCurrent(row, kSeqColSignal);
  const QRect cell = grid_->CellRect(row, kSeqColSignal);
  signals_->setGeometry(cell.left() + 1, cell.top(), cell.width() + 2, cell.height());
  signals_->setCurrentIndex(editor_.SignalItem(row));
  signalRow_ = row;
  signals_->show();
  signals_->raise();
  signals_->setFocus(Qt::OtherFocusReason);
  signals_->showPopup();
}

// There is no cancel: however the list is left, its item is taken.
void TSequenceForm::CommitSignalList() {
  const int row = signalRow_;
  if (row == 0) return;
  signalRow_ = 0;  // before hiding: hiding moves the focus and would commit again
  const int item = signals_->currentIndex();
  signals_->hidePopup();
  signals_->hide();
  auto* style = new DropDownStyle;
  style->setParent(signals_);
  signals_->setStyle(style);
  grid_->setFocus(Qt::OtherFocusReason);
  Apply([&] { return editor_.SetSignal(row, item < 0 ? 0 : item); });
}

bool TSequenceForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == signals_ && signalRow_ != 0) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CommitSignalList();
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && !signals_->view()->isVisible()) {
      // Focus passing into the open list is not leaving the drop-down.
      CommitSignalList();
    }
  }
  return QWidget::eventFilter(watched, event);
}

template <typename Edit>
void TSequenceForm::Apply(Edit edit) {
  const SequenceTable before = view_.Sequence;
  const SequenceChange change = edit();
  if (!SameTable(view_.Sequence, before)) MarkUserEdit(data_);
  Changed(change);
}

void TSequenceForm::Changed(SequenceChange change) {
  if (change != SequenceChange::Times) RebuildStateZero();
  grid_->update();
  if (onPatternChanged_) onPatternChanged_();
}

}  // namespace korvalog
