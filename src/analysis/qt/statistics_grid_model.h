#pragma once
// The statistics table as a Qt item model: the channel rows and interval
// columns as cells, the header row and the name column as the two headers,
// each text made when the view asks for it.
#include <QAbstractTableModel>

#include "analysis/statistics_view.h"

namespace korvalog {

class StatisticsGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit StatisticsGridModel(const StatisticsView& view, QObject* parent = nullptr)
      : QAbstractTableModel(parent), view_(view) {}

  // Around every rebuild of the view: the table is replaced underneath.
  void BeginRebuild() { beginResetModel(); }
  void EndRebuild() { endResetModel(); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const StatisticsView& view_;
};

}  // namespace korvalog
