#include "analysis/qt/statistics_grid_model.h"

#include "ui/qt/kit_look.h"

namespace korvalog {

int StatisticsGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !view_.GridVisible() ? 0 : view_.Table().RowCount() - 1;
}

int StatisticsGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !view_.GridVisible() ? 0 : view_.Table().ColumnCount() - 1;
}

QVariant StatisticsGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return KitText(view_.Table().CellText(index.row() + 1, index.column() + 1));
}

QVariant StatisticsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return KitText(view_.Table().CellText(0, section + 1));
  return KitText(view_.Table().CellText(section + 1, 0));
}

}  // namespace korvalog
