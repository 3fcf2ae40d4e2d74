#pragma once
// The Sequencer and Statistics windows, made once for the whole run and hung
// on the main window's chart.
#include <memory>

#include "analysis/qt/sequence_form.h"
#include "analysis/qt/statistics_form.h"
#include "core/capture_data.h"
#include "core/capture_view.h"

namespace korvalog {

class TMainForm;

class AnalysisWindows {
 public:
  // Makes the Sequencer window.
  AnalysisWindows(CaptureData& data, CaptureView& view, LoggerSettings& settings, TMainForm& main);
  ~AnalysisWindows();
  // Makes the Statistics window (after the Inputs & Notes window) and hangs
  // both windows on the chart.
  void CreateStatistics();

  TSequenceForm* Sequencer() const { return sequencer_.get(); }
  TStatisticsForm* Statistics() const { return statistics_.get(); }

 private:
  CaptureData& data_;
  CaptureView& view_;
  TMainForm& main_;
  std::unique_ptr<TSequenceForm> sequencer_;
  std::unique_ptr<TStatisticsForm> statistics_;
};

}  // namespace korvalog
