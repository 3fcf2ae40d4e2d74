#pragma once
// Tables of figures that open and take the focus within one frame. The
// style's item drawing lays every cell's text out as a paragraph (wrapping,
// icons, check boxes), so a screenful of figures took milliseconds to paint;
// and a table repainted every cell whenever it gained or lost the keyboard
// focus, though only the current cell's focus frame changes. These tables
// show one line of text per cell, so both are done the light way.
#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace korvalog {

// One line of text per cell, in the view's font, elided at the right when it
// does not fit; the selection drawn as the style draws it; sizes as the
// style measures them.
class PlainTextDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Gives `view` the plain text delegate; on a change of focus repaints its
// current cell only, and, in a window with the same look when inactive
// (SameLookWhenInactive), nothing when the window gains or loses the focus.
void MakeTableLight(QAbstractItemView& view);

}  // namespace korvalog
