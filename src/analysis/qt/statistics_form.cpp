#include "analysis/qt/statistics_form.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyleOptionHeader>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "analysis/qt/statistics_grid_model.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/light_table.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {
namespace {

constexpr int kDefaultNameWidth = 100;
constexpr int kIntervalColumnWidth = 64;

// Draws the header's top-left corner: the title of the name column.
class CornerTitle : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* corner = static_cast<QWidget*>(watched);
    QPainter p(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    // The corner never takes clicks, yet reads as a title.
    option.state |= QStyle::State_Enabled;
    option.palette.setCurrentColorGroup(QPalette::Active);
    option.rect = corner->rect();
    option.text = QStringLiteral("Channel");
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    corner->style()->drawControl(QStyle::CE_Header, &option, &p, corner);
    return true;
  }
};

}  // namespace

TStatisticsForm::TStatisticsForm(const CaptureData& data, const CaptureView& view, QWidget* parent)
    : QDialog(parent), view_(data, view), model_(new StatisticsGridModel(view_, this)), grid_(new QTableView(this)) {
  setWindowTitle(QStringLiteral("Statistics"));
  setModal(true);
  setFont(KitFont());
  SameLookWhenInactive(*this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  toolbar_ = MakeToolbar();
  layout->addWidget(toolbar_);
  layout->addWidget(grid_, 1);

  grid_->setModel(model_);
  MakeTableLight(*grid_);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->horizontalHeader()->setDefaultSectionSize(kIntervalColumnWidth);
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->horizontalHeader()->setSectionsClickable(false);
  grid_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->verticalHeader()->setSectionsClickable(false);
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
  grid_->setCornerButtonEnabled(false);
  if (auto* corner = grid_->findChild<QAbstractButton*>()) corner->installEventFilter(new CornerTitle(this));
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeSelection(); });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { TakeSelection(); });
  grid_->hide();
}

// The grid and its model read the view, a member that is gone by the time
// the base class deletes its children.
TStatisticsForm::~TStatisticsForm() {
  delete grid_;
  delete model_;
}

QWidget* TStatisticsForm::MakeToolbar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(4);
  auto fill = [](QComboBox* list, const auto& names) {
    for (const char* name : names) list->addItem(QString::fromLatin1(name));
  };
  const StatisticsList kinds[4] = {StatisticsList::Type, StatisticsList::Interval, StatisticsList::Format,
                                   StatisticsList::Active};
  for (int i = 0; i < 4; ++i) {
    auto* list = new QComboBox(bar);
    lists_[i] = list;
    row->addWidget(list);
  }
  fill(lists_[0], kStatisticTypeNames);
  fill(lists_[1], kIntervalNames);
  fill(lists_[2], kDurationFormatNames);
  fill(lists_[3], kActiveLevelNames);
  for (int i = 0; i < 4; ++i) {
    lists_[i]->setCurrentIndex(view_.Choice(kinds[i]));
    connect(lists_[i], &QComboBox::currentIndexChanged, this,
            [this, kind = kinds[i]](int index) { SettingChange(kind, index); });
  }
  auto button = [&](const char* caption, bool all) {
    auto* b = new TBtnTransparent(bar);
    b->SetCaption(QString::fromLatin1(caption));
    b->SetGlyph(ButtonGlyphImage(kGlyphCopy));
    b->setFixedSize(80, 26);
    connect(b, &TBtnTransparent::Clicked, this, [this, all] { CopyClick(all); });
    row->addWidget(b);
    return b;
  };
  copy_ = button("Copy", false);
  copyAll_ = button("Copy All", true);
  row->addStretch(1);
  return bar;
}

void TStatisticsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Recompute();
}

void TStatisticsForm::SettingChange(StatisticsList list, int index) {
  model_->BeginRebuild();
  view_.SetChoice(list, index);
  model_->EndRebuild();
  ShowSelection();
  grid_->setVisible(view_.GridVisible());
}

void TStatisticsForm::Recompute() {
  // The same figures as last time keep the grid as it is.
  if (view_.Stale()) {
    model_->BeginRebuild();
    view_.Rebuild();
    model_->EndRebuild();
  }
  const int nameWidth = std::max(nameWidth_ ? nameWidth_() : kDefaultNameWidth, NamesWidth());
  grid_->verticalHeader()->setFixedWidth(std::max(nameWidth, 1));
  ShowSelection();
  const bool visible = view_.GridVisible();
  grid_->setVisible(visible);
  if (!visible) {
    resize(toolbar_->sizeHint().width(), toolbar_->sizeHint().height());
    return;
  }
  // Room for the whole table, as far as the screen allows.
  const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
  const int columns = view_.Table().ColumnCount() - 1, rows = view_.Table().RowCount() - 1;
  const int w = nameWidth + columns * kIntervalColumnWidth + 24;
  const int h = toolbar_->sizeHint().height() + (rows + 1) * grid_->verticalHeader()->defaultSectionSize() + 24;
  resize(std::clamp(w, toolbar_->sizeHint().width(), screen.width() * 3 / 4),
         std::clamp(h, toolbar_->sizeHint().height() + 80, screen.height() * 3 / 4));
  FitOnScreen(*this, parentWidget() ? parentWidget()->window() : nullptr);
}

// As wide as the longest name (and the column's title) needs, with the
// header's margins: no name is cut off, whatever the chart's column.
int TStatisticsForm::NamesWidth() const {
  QHeaderView* header = grid_->verticalHeader();
  QFont font = header->font();
  font.setBold(true);  // the names of selected rows are drawn bold
  const QFontMetrics metrics(font);
  int widest = metrics.horizontalAdvance(QStringLiteral("Channel"));
  for (int row = 0; row < model_->rowCount(); ++row) {
    widest = std::max(widest, metrics.horizontalAdvance(model_->headerData(row, Qt::Vertical, Qt::DisplayRole).toString()));
  }
  const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  return widest + 2 * margin + 4;
}

// The view's selection, held to the table, is what the grid shows.
void TStatisticsForm::ShowSelection() {
  if (!view_.GridVisible()) return;
  const CellBlock b = view_.Selection();
  showingSelection_ = true;
  const QModelIndex topLeft = model_->index(b.top - 1, b.left - 1);
  grid_->selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
  grid_->selectionModel()->select(QItemSelection(topLeft, model_->index(b.bottom - 1, b.right - 1)),
                                  QItemSelectionModel::ClearAndSelect);
  showingSelection_ = false;
}

void TStatisticsForm::TakeSelection() {
  if (showingSelection_) return;
  const QItemSelection selection = grid_->selectionModel()->selection();
  QModelIndex a, b;
  if (!selection.isEmpty()) {
    // One block at a time: its bounding rectangle.
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QItemSelectionRange& r : selection) {
      top = std::min(top, r.top());
      left = std::min(left, r.left());
      bottom = std::max(bottom, r.bottom());
      right = std::max(right, r.right());
    }
    view_.Select({top + 1, left + 1, bottom + 1, right + 1});
  } else if (const QModelIndex current = grid_->currentIndex(); current.isValid()) {
    view_.Select({current.row() + 1, current.column() + 1, current.row() + 1, current.column() + 1});
  }
}

void TStatisticsForm::CopyClick(bool all) {
  if (!view_.GridVisible()) return;
  QGuiApplication::clipboard()->setText(KitText(view_.CopyText(all)));
}

}  // namespace korvalog
