#pragma once
// "Markers": the capture's markers in time order; a label is renamed in
// place, Delete removes the chosen one, a double click (or Go to) goes there.
#include <QTableWidget>
#include <QWidget>
#include <functional>

#include "core/marker_list.h"

class QPushButton;

namespace korvalog {

class MarkersForm : public QWidget {
  Q_OBJECT

 public:
  MarkersForm(MarkerList& markers, QWidget* parent = nullptr);

  void SetOnGoTo(std::function<void(double)> hook) { goTo_ = std::move(hook); }
  // Called after a rename or a delete (the chart redraws, the data counts
  // as modified).
  void SetOnEdited(std::function<void()> hook) { edited_ = std::move(hook); }
  // Fills the list from the markers again.
  void Reload();
  QTableWidget* Table() { return table_; }
  QPushButton* DeleteButton() { return delete_; }

 private:
  void Renamed(int row, int column);
  void DeleteChosen();
  void GoToRow(int row);

  MarkerList& markers_;
  QTableWidget* table_;
  QPushButton* goTo_button_;
  QPushButton* delete_;
  std::function<void(double)> goTo_;
  std::function<void()> edited_;
  bool filling_ = false;
};

}  // namespace korvalog
