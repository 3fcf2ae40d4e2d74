#pragma once
// The "Statistics" window: four lists on a toolbar (what to measure, the
// interval, the duration format, the active level), Copy and Copy All, and
// the table, rebuilt over the whole capture when the window is shown or a
// list changes and anything it shows changed since. Modal; created once and kept for the program run, so the
// choices stay as the user left them.
#include <QComboBox>
#include <QDialog>
#include <QTableView>
#include <functional>

#include "analysis/statistics_view.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

class StatisticsGridModel;
class TBtnTransparent;

class TStatisticsForm : public QDialog {
  Q_OBJECT

 public:
  TStatisticsForm(const CaptureData& data, const CaptureView& view, QWidget* parent = nullptr);
  ~TStatisticsForm() override;

  // The name column is as wide as the chart's, and wider when a name needs
  // it; the host tells how wide the chart's is, asked at every rebuild.
  void SetNameColumnWidth(std::function<int()> width) { nameWidth_ = std::move(width); }

  QComboBox* cbType() const { return lists_[0]; }
  QComboBox* cbInterval() const { return lists_[1]; }
  QComboBox* cbFormat() const { return lists_[2]; }
  QComboBox* cbActive() const { return lists_[3]; }
  TBtnTransparent* bCopy() const { return copy_; }
  TBtnTransparent* bCopyAll() const { return copyAll_; }
  QTableView* gStatistics() const { return grid_; }
  const StatisticsView& View() const { return view_; }

  // Reset, accumulate, build the table and show or hide the grid.
  void Recompute();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SettingChange(StatisticsList list, int index);
  void CopyClick(bool all);
  void TakeSelection();
  void ShowSelection();
  int NamesWidth() const;
  QWidget* MakeToolbar();

  StatisticsView view_;
  StatisticsGridModel* model_;
  QComboBox* lists_[4] = {};
  TBtnTransparent* copy_ = nullptr;
  TBtnTransparent* copyAll_ = nullptr;
  QWidget* toolbar_ = nullptr;
  QTableView* grid_;
  std::function<int()> nameWidth_;
  bool showingSelection_ = false;
};

}  // namespace korvalog
