#include "ui/qt/light_table.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QTableView>
#include <QPainter>

namespace korvalog {
namespace {

QPalette::ColorGroup GroupOf(const QStyleOptionViewItem& option) {
  if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
  return (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

// The view's own focus handling repaints the whole table (the frame and
// every cell). What changes is the current cell's focus frame, so the event
// is taken here and only that cell is repainted. A view that gains the keys
// with no current cell is given its first one, as the view itself does.
class CurrentCellFocus : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
    // Not a view any more while it is being destroyed (it gives up the
    // focus then): left to the base class.
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    if (view == nullptr) return false;
    QModelIndex current = view->currentIndex();
    const auto* focus = static_cast<QFocusEvent*>(event);
    if (event->type() == QEvent::FocusIn && !current.isValid() && view->model() != nullptr &&
        focus->reason() != Qt::MouseFocusReason && view->selectionModel() != nullptr) {
      current = view->model()->index(0, 0, view->rootIndex());
      if (current.isValid()) view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
    if (current.isValid()) view->viewport()->update(view->visualRect(current));
    return true;
  }
};

// A view repaints all it shows when its window gains or loses the focus, so
// that the selection takes the active or inactive colours. A window that
// draws with the same colours either way has nothing to repaint.
class SameLookActivation : public QObject {
 public:
  SameLookActivation(QWidget& viewport, const QWidget& view) : QObject(&viewport), view_(view) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::WindowActivate && event->type() != QEvent::WindowDeactivate) return false;
    return view_.palette().isEqual(QPalette::Active, QPalette::Inactive);
  }

 private:
  const QWidget& view_;
};

void KeepLookOnActivation(QAbstractItemView& view) {
  view.viewport()->installEventFilter(new SameLookActivation(*view.viewport(), view));
}

}  // namespace

void PlainTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : nullptr;
  const QPalette::ColorGroup group = GroupOf(option);
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    // The margin the style leaves on either side of an item's text.
    const int margin = (style ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) : 2) + 1;
    const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics& metrics = option.fontMetrics;  // the view's, made once a paint
    int width = metrics.horizontalAdvance(text);
    QString shown = text;
    if (width > room.width()) {
      shown = metrics.elidedText(text, Qt::ElideRight, room.width());
      width = metrics.horizontalAdvance(shown);
    }
    const QVariant aligned = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment alignment = aligned.isValid() ? Qt::Alignment(aligned.toInt()) : option.displayAlignment;
    int x = room.left();
    if (alignment & Qt::AlignRight) x = room.right() + 1 - width;
    else if (alignment & Qt::AlignHCenter) x = room.left() + (room.width() - width) / 2;
    const int y = room.top() + (room.height() - metrics.height() + 1) / 2 + metrics.ascent();
    painter->save();
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QPoint(x, y), shown);
    painter->restore();
  }
  if ((option.state & QStyle::State_HasFocus) && style) {
    QStyleOptionFocusRect frame;
    frame.QStyleOption::operator=(option);
    frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    frame.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, widget);
  }
}

void MakeTableLight(QAbstractItemView& view) {
  view.setItemDelegate(new PlainTextDelegate(&view));
  view.installEventFilter(new CurrentCellFocus(&view));
  KeepLookOnActivation(view);
  if (auto* table = qobject_cast<QTableView*>(&view)) {
    KeepLookOnActivation(*table->horizontalHeader());
    KeepLookOnActivation(*table->verticalHeader());
  }
}

}  // namespace korvalog
